#include <gtest/gtest.h>

#include <future>

#include "unit/support/loopback_socket.h"

namespace kvx {
namespace platform_socket_wait_test {

using Bytes = std::vector<uint8_t>;

// The same cases over the machine's loopback and over the in-memory network, which must behave alike.
class SocketWaitTest : public ::testing::TestWithParam<test::NetworkKind> {
protected:
    void SetUp() override {
        receiver = test::loopbackSocket(*net, port);
        sender = net->createUdpSocket();
        ASSERT_TRUE(receiver && sender);
    }
    void send(const Bytes& datagram) {
        ASSERT_EQ(sender->sendTo(datagram, {kLoopbackAddress, port}), int(datagram.size()));
    }

    std::shared_ptr<Network> net = GetParam().make();
    uint16_t port = 0;
    std::unique_ptr<UdpSocket> receiver;
    std::unique_ptr<UdpSocket> sender;
};

TEST_P(SocketWaitTest, AWaitingDatagramEndsTheWaitAtOnceAndStaysToBeReceived) {
    send({1, 2, 3});
    EXPECT_EQ(receiver->waitForDatagram(), SocketWait::Datagram);
    Bytes buffer(8);
    Ipv4Endpoint from;
    EXPECT_EQ(receiver->receiveFrom(buffer, from), 3);
    EXPECT_LE(receiver->receiveFrom(buffer, from), 0);
}

TEST_P(SocketWaitTest, ADatagramSentWhileAnotherThreadWaitsEndsItsWait) {
    auto waited = std::async(std::launch::async, [this] { return receiver->waitForDatagram(); });
    send({7});
    EXPECT_EQ(waited.get(), SocketWait::Datagram);
}

TEST_P(SocketWaitTest, AnInterruptEndsAWaitWithNothingArrivingAndEveryLaterWait) {
    auto waited = std::async(std::launch::async, [this] { return receiver->waitForDatagram(); });
    receiver->interruptWait();
    EXPECT_EQ(waited.get(), SocketWait::Interrupted);
    EXPECT_EQ(receiver->waitForDatagram(), SocketWait::Interrupted);
    send({9});  // the socket still receives
    Bytes buffer(8);
    Ipv4Endpoint from;
    EXPECT_EQ(receiver->receiveFrom(buffer, from), 1);
}

TEST_P(SocketWaitTest, AClosedSocketFailsItsWaitAndStillTakesAnInterrupt) {
    receiver->close();
    EXPECT_EQ(receiver->waitForDatagram(), SocketWait::Failed);
    receiver->interruptWait();
    EXPECT_EQ(receiver->waitForDatagram(), SocketWait::Failed);
}

INSTANTIATE_TEST_SUITE_P(Networks, SocketWaitTest,
                         ::testing::Values(test::kLoopbackNetwork, test::kInMemoryNetwork),
                         test::networkKindName);

}  // namespace platform_socket_wait_test
}  // namespace kvx
