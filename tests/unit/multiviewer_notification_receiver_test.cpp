#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "multiviewer/notification_receiver.h"
#include "platform/sim_network.h"
#include "platform/system_platform.h"
#include "protocol/udp_link.h"
#include "unit/support/loopback_socket.h"

namespace kvx {
namespace multiviewer_notification_receiver_test {

constexpr uint32_t kPcAddress = 0x0A000001;
constexpr uint32_t kDeviceAddress = 0x0A000002;
const DeviceId kConnected{0x11, 0x22, 0x33, 0x44};

class SilentErrors : public ErrorSink {
public:
    void showError(const std::string&, const std::string&) override {}
};

Bytes report(uint8_t code, uint8_t d0, const DeviceId& id = kConnected) {
    Bytes frame = buildFrame(0xA1, 0x01, kLinkLan, code, {0x00, d0});
    std::copy(id.begin(), id.end(), frame.begin() + 10);
    return frame;
}

// Collects what the receiver hands over, from its thread.
class Inbox {
public:
    void put(Bytes datagram) {
        std::lock_guard lock(mutex_);
        received_.push_back(std::move(datagram));
        arrived_.notify_all();
    }
    // Waits (bounded) until n datagrams have come.
    std::vector<Bytes> awaitCount(size_t n) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return received_.size() >= n; });
        return received_;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Bytes> received_;
};

class NotificationReceiverTest : public ::testing::Test {
protected:
    NotificationReceiverTest() {
        entry.setAddress("10.0.0.2");
        entry.deviceType = kTypeMultiviewer;
        entry.deviceId = kConnected;
    }
    std::unique_ptr<NotificationReceiver> start() {
        auto socket = udp.openNotificationSocket(entry);
        EXPECT_NE(socket, nullptr);
        return std::make_unique<NotificationReceiver>(
            std::move(socket), kConnected, clock, [this](Bytes datagram) { inbox.put(std::move(datagram)); });
    }
    void deviceSends(const Bytes& datagram) {
        net.sendFrom({kDeviceAddress, kReportPort}, datagram, {kPcAddress, kReportPort});
    }

    SimNetwork net;
    std::shared_ptr<Network> pc = net.host(kPcAddress);
    SilentErrors errors;
    UdpLink udp{*pc, errors};
    SystemClock clock;
    DeviceEntry entry;
    Inbox inbox;
};

TEST_F(NotificationReceiverTest, HandsOverTheConnectedDevicesReportsInOrder) {
    auto receiver = start();
    deviceSends(report(0x33, 40));
    deviceSends(report(0x33, 41, {0x11, 0x22, 0x33, 0x00}));  // another device
    deviceSends(Bytes{0xA5, 0x6C});                           // too short to carry a DeviceId
    deviceSends(report(0x5C, 1));
    const std::vector<Bytes> received = inbox.awaitCount(2);
    receiver->stop();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], report(0x33, 40));
    EXPECT_EQ(received[1], report(0x5C, 1));
}

TEST_F(NotificationReceiverTest, StopEndsTheThreadAndClosesItsSocket) {
    auto receiver = start();
    EXPECT_TRUE(receiver->running());
    EXPECT_EQ(udp.openNotificationSocket(entry), nullptr);  // port 7001 is the receiver's
    receiver->stop();
    EXPECT_FALSE(receiver->running());
    EXPECT_NE(udp.openNotificationSocket(entry), nullptr);
    receiver->stop();  // a second stop does nothing
}

TEST_F(NotificationReceiverTest, DestructionStopsTheThread) {
    start().reset();
    EXPECT_NE(udp.openNotificationSocket(entry), nullptr);
}

TEST_F(NotificationReceiverTest, WithoutASocketItOnlyWaitsForStop) {
    NotificationReceiver receiver(nullptr, kConnected, clock, [this](Bytes d) { inbox.put(std::move(d)); });
    EXPECT_TRUE(receiver.running());
    receiver.stop();
    EXPECT_FALSE(receiver.running());
}

// Passes everything to a socket of a real or in-memory network and records what the receiver does with it.
class WatchedSocket : public UdpSocket {
public:
    explicit WatchedSocket(std::unique_ptr<UdpSocket> inner) : inner_(std::move(inner)) {}

    bool enableBroadcast() override { return inner_->enableBroadcast(); }
    bool bind(Ipv4Endpoint local) override { return inner_->bind(local); }
    bool setNonBlocking() override { return inner_->setNonBlocking(); }
    int sendTo(std::span<const uint8_t> datagram, Ipv4Endpoint to) override {
        return inner_->sendTo(datagram, to);
    }
    int receiveFrom(std::span<uint8_t> buffer, Ipv4Endpoint& from) override {
        ++receiveAttempts;
        return inner_->receiveFrom(buffer, from);
    }
    SocketWait waitForDatagram() override {
        {
            std::lock_guard lock(mutex_);
            ++waitsBegun_;
            waitBegun_.notify_all();
        }
        return inner_->waitForDatagram();
    }
    void interruptWait() override { inner_->interruptWait(); }
    void close() override {
        closed = true;
        inner_->close();
    }

    // Waits (bounded) until the receiver has gone into its n-th wait; false when it never does.
    bool awaitWait(int n) {
        std::unique_lock lock(mutex_);
        return waitBegun_.wait_for(lock, std::chrono::seconds(10), [&] { return waitsBegun_ >= n; });
    }

    std::atomic<int> receiveAttempts{0};
    std::atomic<bool> closed{false};

private:
    std::unique_ptr<UdpSocket> inner_;
    std::mutex mutex_;
    std::condition_variable waitBegun_;
    int waitsBegun_ = 0;
};

// The receiver on a socket of 127.0.0.1, over the machine's loopback and over the in-memory network, with a
// device socket on the same host that sends the reports.
class ReceiverWaitTest : public ::testing::TestWithParam<test::NetworkKind> {
protected:
    void SetUp() override {
        auto socket = test::loopbackSocket(*net, port);
        ASSERT_NE(socket, nullptr);
        ASSERT_NE(device, nullptr);
        auto watchedSocket = std::make_unique<WatchedSocket>(std::move(socket));
        watched = watchedSocket.get();
        receiver = std::make_unique<NotificationReceiver>(
            std::move(watchedSocket), kConnected, clock,
            [this](Bytes datagram) { inbox.put(std::move(datagram)); });
    }
    void deviceSends(const Bytes& datagram) {
        ASSERT_EQ(device->sendTo(datagram, {kLoopbackAddress, port}), static_cast<int>(datagram.size()));
    }

    std::shared_ptr<Network> net = GetParam().make();
    std::unique_ptr<UdpSocket> device = net->createUdpSocket();
    uint16_t port = 0;
    SystemClock clock;
    Inbox inbox;
    WatchedSocket* watched = nullptr;  // owned by the receiver
    std::unique_ptr<NotificationReceiver> receiver;
};

TEST_P(ReceiverWaitTest, AReportSentWhileTheReceiverWaitsIsHandedOverAndItWaitsAgain) {
    ASSERT_TRUE(watched->awaitWait(1));
    deviceSends(report(0x33, 40));
    EXPECT_EQ(inbox.awaitCount(1), std::vector<Bytes>{report(0x33, 40)});
    ASSERT_TRUE(watched->awaitWait(2));
    deviceSends(report(0x34, 3, {0x11, 0x22, 0x33, 0x00}));  // another device's, dropped
    deviceSends(report(0x5C, 1));
    EXPECT_EQ(inbox.awaitCount(2), (std::vector<Bytes>{report(0x33, 40), report(0x5C, 1)}));
}

TEST_P(ReceiverWaitTest, StopEndsAReceiverBlockedWithNothingArrivingAndItClosesItsSocket) {
    ASSERT_TRUE(watched->awaitWait(1));
    receiver->stop();
    EXPECT_FALSE(receiver->running());
    EXPECT_TRUE(watched->closed);
}

TEST_P(ReceiverWaitTest, AQuietSocketIsNotPolled) {
    ASSERT_TRUE(watched->awaitWait(1));
    // A receiver that polled every 20 ms would try about 15 times in this window; a waiting one tried once,
    // before its wait.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LE(watched->receiveAttempts.load(), 2);
    receiver->stop();
}

INSTANTIATE_TEST_SUITE_P(Networks, ReceiverWaitTest,
                         ::testing::Values(test::kLoopbackNetwork, test::kInMemoryNetwork),
                         test::networkKindName);

}  // namespace multiviewer_notification_receiver_test
}  // namespace kvx
