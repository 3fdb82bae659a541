#include <gtest/gtest.h>

#include <thread>

#include "platform/sim_network.h"

namespace kvx {
namespace platform_sim_network_test {

constexpr uint32_t kPc = 0xC0A8010Au;       // 192.168.1.10
constexpr uint32_t kDeviceA = 0xC0A80114u;  // 192.168.1.20
constexpr uint32_t kDeviceB = 0xC0A80115u;  // 192.168.1.21

using Bytes = std::vector<uint8_t>;

class SimNetworkTest : public ::testing::Test {
protected:
    std::unique_ptr<UdpSocket> boundSocket(uint32_t host, uint16_t port) {
        auto socket = net.host(host)->createUdpSocket();
        EXPECT_TRUE(socket->bind({kAnyAddress, port}));
        EXPECT_TRUE(socket->setNonBlocking());
        return socket;
    }

    // The next waiting datagram, or nothing.
    static std::optional<Bytes> take(UdpSocket& socket, Ipv4Endpoint* from = nullptr, size_t room = 2048) {
        Bytes buffer(room);
        Ipv4Endpoint sender;
        const int length = socket.receiveFrom(buffer, sender);
        if (length <= 0) return std::nullopt;
        buffer.resize(static_cast<size_t>(length));
        if (from) *from = sender;
        return buffer;
    }

    SimNetwork net;
};

TEST_F(SimNetworkTest, BroadcastReachesThatPortOnEveryHostAndNoOtherPort) {
    auto pc = boundSocket(kPc, 7000);
    auto deviceA = boundSocket(kDeviceA, 7000);
    auto deviceB = boundSocket(kDeviceB, 7000);
    auto deviceBReports = boundSocket(kDeviceB, 7001);
    ASSERT_TRUE(pc->enableBroadcast());

    const Bytes probe{0xA5, 0x6C, 0x1B, 0x00, 0xFF};
    ASSERT_EQ(pc->sendTo(probe, {kBroadcastAddress, 7000}), 5);

    for (UdpSocket* receiver : {pc.get(), deviceA.get(), deviceB.get()}) {
        Ipv4Endpoint from;
        EXPECT_EQ(take(*receiver, &from), probe);
        EXPECT_EQ(from, (Ipv4Endpoint{kPc, 7000}));
    }
    EXPECT_EQ(take(*deviceBReports), std::nullopt);
}

TEST_F(SimNetworkTest, BroadcastFailsUnlessEnabled) {
    auto pc = boundSocket(kPc, 7000);
    auto device = boundSocket(kDeviceA, 7000);
    EXPECT_EQ(pc->sendTo(Bytes{1, 2}, {kBroadcastAddress, 7000}), -1);
    EXPECT_EQ(take(*device), std::nullopt);
    EXPECT_TRUE(net.traffic().empty());
}

TEST_F(SimNetworkTest, UnicastReachesOnlyThatHostAndTheReplyFindsTheSender) {
    auto pc = boundSocket(kPc, 7000);
    auto deviceA = boundSocket(kDeviceA, 7000);
    auto deviceB = boundSocket(kDeviceB, 7000);

    ASSERT_EQ(pc->sendTo(Bytes{0x0A}, {kDeviceA, 7000}), 1);
    Ipv4Endpoint from;
    EXPECT_EQ(take(*deviceA, &from), Bytes{0x0A});
    EXPECT_EQ(from, (Ipv4Endpoint{kPc, 7000}));
    EXPECT_EQ(take(*deviceB), std::nullopt);

    ASSERT_EQ(deviceA->sendTo(Bytes{0x0B, 0x0C}, from), 2);
    Ipv4Endpoint replyFrom;
    EXPECT_EQ(take(*pc, &replyFrom), (Bytes{0x0B, 0x0C}));
    EXPECT_EQ(replyFrom, (Ipv4Endpoint{kDeviceA, 7000}));
}

TEST_F(SimNetworkTest, LoopbackStaysOnTheSendersHost) {
    auto pcReports = boundSocket(kPc, 7001);
    auto deviceReports = boundSocket(kDeviceA, 7001);
    auto pc = boundSocket(kPc, 7000);

    ASSERT_EQ(pc->sendTo(Bytes{7}, {kLoopbackAddress, 7001}), 1);
    Ipv4Endpoint from;
    EXPECT_EQ(take(*pcReports, &from), Bytes{7});
    EXPECT_EQ(from, (Ipv4Endpoint{kLoopbackAddress, 7000}));
    EXPECT_EQ(take(*deviceReports), std::nullopt);
}

TEST_F(SimNetworkTest, DatagramToNowhereIsDroppedButRecorded) {
    auto pc = boundSocket(kPc, 7000);
    auto device = boundSocket(kDeviceA, 7000);
    EXPECT_EQ(pc->sendTo(Bytes{1}, {0xC0A80163u, 7000}), 1);  // no such host
    EXPECT_EQ(pc->sendTo(Bytes{2}, {kDeviceA, 7005}), 1);     // nothing bound there
    EXPECT_EQ(take(*device), std::nullopt);

    const auto traffic = net.traffic();
    ASSERT_EQ(traffic.size(), 2u);
    EXPECT_EQ(traffic[0].to, (Ipv4Endpoint{0xC0A80163u, 7000}));
    EXPECT_EQ(traffic[1].from, (Ipv4Endpoint{kPc, 7000}));
    EXPECT_EQ(traffic[1].bytes, Bytes{2});
    net.clearTraffic();
    EXPECT_TRUE(net.traffic().empty());
}

TEST_F(SimNetworkTest, UnboundSenderGetsDistinctEphemeralPorts) {
    auto device = boundSocket(kDeviceA, 7000);
    auto first = net.host(kPc)->createUdpSocket();
    auto second = net.host(kPc)->createUdpSocket();
    ASSERT_EQ(first->sendTo(Bytes{1}, {kDeviceA, 7000}), 1);
    ASSERT_EQ(second->sendTo(Bytes{2}, {kDeviceA, 7000}), 1);

    Ipv4Endpoint fromFirst, fromSecond;
    ASSERT_TRUE(take(*device, &fromFirst));
    ASSERT_TRUE(take(*device, &fromSecond));
    EXPECT_GE(fromFirst.port, 49152);
    EXPECT_GE(fromSecond.port, 49152);
    EXPECT_NE(fromFirst.port, fromSecond.port);
    EXPECT_EQ(fromFirst.address, kPc);

    // The port stays the socket's own: an answer to it comes back.
    ASSERT_EQ(device->sendTo(Bytes{3}, fromFirst), 1);
    EXPECT_EQ(take(*first), Bytes{3});
}

enum class Holder { Socket, Listener };

struct BindConflictCase {
    const char* name;
    Holder first;
    Holder second;
};

class SimNetworkBindConflict : public SimNetworkTest, public ::testing::WithParamInterface<BindConflictCase> {
protected:
    // Takes port 7000 of the PC host; the socket (when it is one) is kept in `socket`.
    bool take7000(Holder holder, std::unique_ptr<UdpSocket>& socket) {
        if (holder == Holder::Listener) return net.listen(kPc, 7000, [](auto, auto) {});
        socket = net.host(kPc)->createUdpSocket();
        return socket->bind({kAnyAddress, 7000});
    }
};

TEST_P(SimNetworkBindConflict, SecondHolderOfAPortIsRefusedUntilTheFirstLetsGo) {
    std::unique_ptr<UdpSocket> firstSocket, secondSocket;
    ASSERT_TRUE(take7000(GetParam().first, firstSocket));
    EXPECT_FALSE(take7000(GetParam().second, secondSocket));

    // The same port on another host is free.
    auto elsewhere = net.host(kDeviceA)->createUdpSocket();
    EXPECT_TRUE(elsewhere->bind({kAnyAddress, 7000}));

    if (firstSocket) {
        firstSocket->close();
    } else {
        net.unlisten(kPc, 7000);
    }
    EXPECT_TRUE(take7000(GetParam().second, secondSocket));
}

INSTANTIATE_TEST_SUITE_P(
    Holders, SimNetworkBindConflict,
    ::testing::Values(BindConflictCase{"SocketThenSocket", Holder::Socket, Holder::Socket},
                      BindConflictCase{"SocketThenListener", Holder::Socket, Holder::Listener},
                      BindConflictCase{"ListenerThenSocket", Holder::Listener, Holder::Socket},
                      BindConflictCase{"ListenerThenListener", Holder::Listener, Holder::Listener}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimNetworkTest, DestroyingASocketFreesItsPort) {
    boundSocket(kPc, 7000).reset();
    auto again = net.host(kPc)->createUdpSocket();
    EXPECT_TRUE(again->bind({kPc, 7000}));
}

TEST_F(SimNetworkTest, BindRefusesAForeignAddressAndASecondBind) {
    auto socket = net.host(kPc)->createUdpSocket();
    EXPECT_FALSE(socket->bind({kDeviceA, 7000}));
    EXPECT_TRUE(socket->bind({kAnyAddress, 7000}));
    EXPECT_FALSE(socket->bind({kAnyAddress, 7002}));
}

TEST_F(SimNetworkTest, ListenerAnswerIsQueuedBeforeSendToReturns) {
    std::optional<Ipv4Endpoint> requester;
    ASSERT_TRUE(net.listen(kDeviceA, 7000, [&](std::span<const uint8_t> datagram, Ipv4Endpoint from) {
        requester = from;
        Bytes answer(datagram.begin(), datagram.end());
        answer.push_back(0xAE);
        net.sendFrom({kDeviceA, 7000}, answer, from);
    }));
    auto pc = boundSocket(kPc, 7000);

    ASSERT_EQ(pc->sendTo(Bytes{0xA5, 0x6C}, {kDeviceA, 7000}), 2);
    EXPECT_EQ(requester, (Ipv4Endpoint{kPc, 7000}));
    Ipv4Endpoint from;
    EXPECT_EQ(take(*pc, &from), (Bytes{0xA5, 0x6C, 0xAE}));
    EXPECT_EQ(from, (Ipv4Endpoint{kDeviceA, 7000}));

    net.unlisten(kDeviceA, 7000);
    requester.reset();
    pc->sendTo(Bytes{1}, {kDeviceA, 7000});
    EXPECT_FALSE(requester);
}

TEST_F(SimNetworkTest, ListenersOnEveryHostHearABroadcast) {
    int heard = 0;
    for (uint32_t device : {kDeviceA, kDeviceB}) {
        ASSERT_TRUE(net.listen(device, 7000, [&heard](auto, auto) { ++heard; }));
    }
    auto pc = boundSocket(kPc, 7000);
    ASSERT_TRUE(pc->enableBroadcast());
    pc->sendTo(Bytes{0xFF}, {kBroadcastAddress, 7000});
    EXPECT_EQ(heard, 2);
}

TEST_F(SimNetworkTest, FullQueueDropsFurtherDatagramsAndKeepsTheEarlierOnes) {
    auto pc = boundSocket(kPc, 7000);
    auto receiver = boundSocket(kDeviceA, 7001);
    constexpr int kSent = 4096 + 10;
    for (int i = 0; i < kSent; ++i) {
        pc->sendTo(Bytes{static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)}, {kDeviceA, 7001});
    }
    int received = 0;
    while (auto datagram = take(*receiver)) {
        ASSERT_EQ(*datagram, (Bytes{static_cast<uint8_t>(received >> 8), static_cast<uint8_t>(received)}));
        ++received;
    }
    EXPECT_EQ(received, 4096);
}

TEST_F(SimNetworkTest, ShortBufferCutsTheDatagramAndLosesTheRest) {
    auto pc = boundSocket(kPc, 7000);
    auto device = boundSocket(kDeviceA, 7000);
    pc->sendTo(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {kDeviceA, 7000});
    pc->sendTo(Bytes{11}, {kDeviceA, 7000});
    EXPECT_EQ(take(*device, nullptr, 4), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(take(*device, nullptr, 4), Bytes{11});
    EXPECT_EQ(take(*device), std::nullopt);
}

TEST_F(SimNetworkTest, ClosedSocketNeitherSendsNorReceives) {
    auto pc = boundSocket(kPc, 7000);
    auto device = boundSocket(kDeviceA, 7000);
    pc->sendTo(Bytes{1}, {kDeviceA, 7000});
    device->close();
    EXPECT_EQ(take(*device), std::nullopt);
    EXPECT_EQ(device->sendTo(Bytes{2}, {kPc, 7000}), -1);
    EXPECT_EQ(take(*pc), std::nullopt);
}

TEST(SimNetworkLifetime, SocketsOutliveTheNetwork) {
    auto net = std::make_unique<SimNetwork>();
    auto socket = net->host(kPc)->createUdpSocket();
    ASSERT_TRUE(socket->bind({kAnyAddress, 7001}));
    net.reset();
    ASSERT_EQ(socket->sendTo(Bytes{9}, {kLoopbackAddress, 7001}), 1);
    Bytes buffer(16);
    Ipv4Endpoint from;
    EXPECT_EQ(socket->receiveFrom(buffer, from), 1);
    EXPECT_EQ(buffer[0], 9);
}

TEST_F(SimNetworkTest, ConcurrentSendersLoseNothing) {
    auto receiver = boundSocket(kDeviceA, 7000);
    constexpr int kThreads = 4, kEach = 250;
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([this] {
            auto socket = net.host(kPc)->createUdpSocket();
            for (int i = 0; i < kEach; ++i) socket->sendTo(Bytes{1}, {kDeviceA, 7000});
        });
    }
    for (auto& sender : senders) sender.join();
    int received = 0;
    while (take(*receiver)) ++received;
    EXPECT_EQ(received, kThreads * kEach);
    EXPECT_EQ(net.traffic().size(), static_cast<size_t>(kThreads * kEach));
}

}  // namespace platform_sim_network_test
}  // namespace kvx
