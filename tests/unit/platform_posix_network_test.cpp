#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/system_platform.h"
#include "unit/support/loopback_socket.h"

namespace kvx {
namespace platform_posix_network_test {

using Bytes = std::vector<uint8_t>;

// Everything here stays on 127.0.0.1.
class PosixNetworkTest : public ::testing::Test {
protected:
    std::unique_ptr<UdpSocket> loopbackSocket(uint16_t& port) { return test::loopbackSocket(net, port); }

    // Polls the non-blocking socket for a bounded while; loopback delivery is normally immediate.
    static int receiveWithin(UdpSocket& socket, Bytes& buffer, Ipv4Endpoint& from) {
        for (int i = 0; i < 200; ++i) {
            const int length = socket.receiveFrom(buffer, from);
            if (length > 0) return length;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    PosixNetwork net;
};

TEST_F(PosixNetworkTest, TwoLoopbackSocketsExchangeADatagramAndSeeEachOthersPort) {
    uint16_t portA = 0, portB = 0;
    auto a = loopbackSocket(portA);
    auto b = loopbackSocket(portB);
    ASSERT_TRUE(a && b);

    const Bytes request{0xA5, 0x6C, 0x14, 0x00, 0xA1};
    ASSERT_EQ(a->sendTo(request, {kLoopbackAddress, portB}), 5);
    Bytes buffer(64);
    Ipv4Endpoint from;
    ASSERT_EQ(receiveWithin(*b, buffer, from), 5);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 5), request);
    EXPECT_EQ(from, (Ipv4Endpoint{kLoopbackAddress, portA}));

    ASSERT_EQ(b->sendTo(Bytes{0xAE}, from), 1);
    Ipv4Endpoint replyFrom;
    ASSERT_EQ(receiveWithin(*a, buffer, replyFrom), 1);
    EXPECT_EQ(buffer[0], 0xAE);
    EXPECT_EQ(replyFrom, (Ipv4Endpoint{kLoopbackAddress, portB}));
}

TEST_F(PosixNetworkTest, NonBlockingReceiveOnAnEmptySocketReturnsAtOnce) {
    uint16_t port = 0;
    auto socket = loopbackSocket(port);
    ASSERT_TRUE(socket);
    Bytes buffer(64);
    Ipv4Endpoint from;
    EXPECT_LE(socket->receiveFrom(buffer, from), 0);
}

TEST_F(PosixNetworkTest, APortTakenOnceCannotBeBoundAgainUntilClosed) {
    uint16_t port = 0;
    auto first = loopbackSocket(port);
    ASSERT_TRUE(first);
    auto second = net.createUdpSocket();
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->bind({kLoopbackAddress, port}));
    first->close();
    EXPECT_TRUE(second->bind({kLoopbackAddress, port}));
}

TEST_F(PosixNetworkTest, ShortBufferTakesTheStartOfTheDatagram) {
    uint16_t portA = 0, portB = 0;
    auto a = loopbackSocket(portA);
    auto b = loopbackSocket(portB);
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->sendTo(Bytes{1, 2, 3, 4, 5, 6}, {kLoopbackAddress, portB}), 6);
    Bytes buffer(3);
    Ipv4Endpoint from;
    ASSERT_EQ(receiveWithin(*b, buffer, from), 3);
    EXPECT_EQ(buffer, (Bytes{1, 2, 3}));
    EXPECT_LE(b->receiveFrom(buffer, from), 0);
}

TEST_F(PosixNetworkTest, ClosedSocketRefusesEverything) {
    auto socket = net.createUdpSocket();
    ASSERT_TRUE(socket);
    EXPECT_TRUE(socket->enableBroadcast());
    socket->close();
    Bytes buffer(8);
    Ipv4Endpoint from;
    EXPECT_FALSE(socket->enableBroadcast());
    EXPECT_FALSE(socket->setNonBlocking());
    EXPECT_EQ(socket->sendTo(Bytes{1}, {kLoopbackAddress, 9}), -1);
    EXPECT_EQ(socket->receiveFrom(buffer, from), -1);
}

}  // namespace platform_posix_network_test
}  // namespace kvx
