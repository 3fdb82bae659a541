#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "multiviewer/notification_receiver.h"
#include "platform/sim_network.h"
#include "platform/system_platform.h"
#include "protocol/udp_link.h"

namespace kvx {
namespace {

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

}  // namespace
}  // namespace kvx
