#include "multiviewer/ui/multiviewer_panel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "controls/thread_inbox.h"
#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/status_encode.h"
#include "platform/sim_network.h"
#include "platform/sim_serial.h"
#include "platform/system_platform.h"
#include "protocol/cn_comm.h"
#include "protocol/device_link.h"
#include "protocol/exchange_worker.h"
#include "protocol/udp_link.h"

namespace kvx {
namespace {

constexpr uint32_t kPcAddress = 0xC0A8010A;      // 192.168.1.10
constexpr uint32_t kDeviceAddress = 0xC0A80165;  // 192.168.1.101
constexpr DeviceId kDeviceId{0x4B, 0x56, 0x00, 0xA1};

// The window's side of the panel, on an in-memory network: the selected multiviewer, the links, the worker
// and a dispatch to the UI thread. It records what the panel asks of the main window.
class FakeWindow : public PanelContext, public ErrorSink {
public:
    FakeWindow() {
        entry.deviceType = 0xA1;
        entry.subCode = 0x01;
        entry.deviceId = kDeviceId;
        std::strcpy(entry.addressText.data(), "192.168.1.101");
    }

    Target currentTarget() const override { return Target{kLinkLan, entry}; }
    bool panelLocked() const override { return false; }
    void setPanelLocked(bool) override {}
    void refreshLockButton() override { ++lockRefreshes; }
    std::u16string deviceName() const override { return {}; }
    void setDeviceName(const std::u16string&) override {}
    void showNameBox(const std::u16string& text) override { nameBox = text; }
    uint8_t deviceDhcpOn() const override { return 0; }
    void setDeviceDhcpOn(uint8_t) override {}
    int dpiX() const override { return 96; }
    int dpiY() const override { return 96; }
    ExchangeWorker& worker() override { return worker_; }
    DeviceLink& link() override { return link_; }
    ResultDispatch uiDispatch() override { return dispatchTo(&uiObject_); }
    void showError(const std::string& text, const std::string&) override { errors.push_back(text); }

    SimNetwork network;
    DeviceEntry entry;
    std::u16string nameBox = u"(never shown)";
    int lockRefreshes = 0;
    std::vector<std::string> errors;

private:
    QObject uiObject_;
    std::shared_ptr<Network> pcHost_ = network.host(kPcAddress);
    SystemClock clock_;
    SimSerialPorts serialPorts_;
    UdpLink udp_{*pcHost_, *this};
    CnComm serial_{serialPorts_};
    DeviceLink link_{udp_, serial_, clock_};
    // Declared last so that it stops before the links go.
    ExchangeWorker worker_;
};

class MultiviewerPanelTest : public ::testing::Test {
protected:
    MultiviewerPanelTest() {
        device.LayoutMode = 7;
        device.SwitcherMode = 0;
        device.WindowSource[2] = 5;
        device.DeviceName = u"MV_DESK";
        // The device answers ReadStatus with its whole status block.
        window.network.listen(kDeviceAddress, kControlPort,
                              [this](std::span<const uint8_t> frame, Ipv4Endpoint from) {
                                  if (frame.size() < 20 || frame[16] != mv::kReadStatus) return;
                                  Bytes reply(809, 0);
                                  reply[0] = 0xA5;
                                  reply[1] = 0x6C;
                                  reply[4] = 0xA1;
                                  reply[16] = mv::kReadStatus;
                                  {
                                      std::lock_guard lock(deviceMutex);
                                      const StatusBlock block = encodeStatusBlock(device);
                                      std::copy(block.begin(), block.end(), reply.begin() + 18);
                                  }
                                  window.network.sendFrom({kDeviceAddress, kControlPort}, reply, from);
                              });
    }
    ~MultiviewerPanelTest() override {
        panel.reset();
        window.network.unlisten(kDeviceAddress, kControlPort);
    }

    void startPanel() {
        panel = std::make_unique<CClass_child_main_dlg>(window, state);
        ASSERT_TRUE(QTest::qWaitFor([this] { return panel->receiverRunning(); }, 10000));
    }
    // A report of the device (or of another one) to the PC's report port.
    void sendReport(uint8_t code, uint8_t d0, uint8_t d1 = 0, const DeviceId& id = kDeviceId) {
        Bytes frame(20, 0);
        frame[0] = 0xA5;
        frame[1] = 0x6C;
        frame[2] = 20;
        frame[4] = 0xA1;
        std::copy(id.begin(), id.end(), frame.begin() + 10);
        frame[16] = code;
        frame[18] = d0;
        frame[19] = d1;
        window.network.sendFrom({kDeviceAddress, kControlPort}, frame, {kPcAddress, kReportPort});
    }

    FakeWindow window;
    std::mutex deviceMutex;
    MultiviewerState device;  // what the simulated multiviewer reports as its status
    MultiviewerState state;   // the PC's model
    std::unique_ptr<CClass_child_main_dlg> panel;
};

TEST_F(MultiviewerPanelTest, StartReadsTheDeviceStatusAndShowsIt) {
    state.CurrentPage = kPageLayout;
    startPanel();
    EXPECT_EQ(state.CurrentPage, kPageNone);
    EXPECT_EQ(state.LayoutMode, 7);
    EXPECT_EQ(state.WindowSource[2], 5);
    EXPECT_EQ(state.StatusLoaded, 1);
    EXPECT_EQ(state.DeviceName, u"MV_DESK");
    EXPECT_EQ(window.nameBox, u"MV_DESK");
    EXPECT_EQ(window.lockRefreshes, 1);
    const QString summary = panel->summaryText();
    EXPECT_TRUE(summary.contains(QStringLiteral("Device: MV_DESK"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("LayoutMode: 7"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("Window 3: input 5, No Signal"))) << summary.toStdString();
    EXPECT_TRUE(window.errors.empty());
}

TEST_F(MultiviewerPanelTest, ReportOfTheDeviceChangesTheLayoutAndOneOfAnotherDeviceDoesNot) {
    startPanel();
    sendReport(mv::kSetLayout, 4);
    ASSERT_TRUE(QTest::qWaitFor([this] { return state.LayoutMode == 4; }, 10000));
    EXPECT_TRUE(panel->summaryText().contains(QStringLiteral("LayoutMode: 4")));

    const DeviceId other{0x4B, 0x56, 0x01, 0xA1};
    sendReport(mv::kSetLayout, 9, 0, other);
    // Reports are handled in order: once the next one of the device is in, the foreign one has been seen.
    const uint8_t format = static_cast<uint8_t>(state.OutputFormat == 3 ? 5 : 3);
    sendReport(mv::kSetOutputFormat, 0, format);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.OutputFormat == format; }, 10000));
    EXPECT_EQ(state.LayoutMode, 4);
}

TEST_F(MultiviewerPanelTest, WholeStateReportReadsTheStatusAgain) {
    startPanel();
    {
        std::lock_guard lock(deviceMutex);
        device.LayoutMode = 12;
    }
    sendReport(mv::kLoadCustom, 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return state.LayoutMode == 12; }, 10000));
    EXPECT_TRUE(panel->summaryText().contains(QStringLiteral("LayoutMode: 7")));
    // The summary follows after the fixed wait that the device needs after a preset.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return panel->summaryText().contains(QStringLiteral("LayoutMode: 12")); }, 10000));
    EXPECT_EQ(window.lockRefreshes, 2);
}

TEST_F(MultiviewerPanelTest, WithoutTheReportPortThePanelWorksWithoutReports) {
    auto pcHost = window.network.host(kPcAddress);
    std::unique_ptr<UdpSocket> taken = pcHost->createUdpSocket();
    ASSERT_TRUE(taken->bind({kAnyAddress, kReportPort}));
    panel = std::make_unique<CClass_child_main_dlg>(window, state);
    ASSERT_TRUE(QTest::qWaitFor([this] { return state.LayoutMode == 7; }, 10000));
    window.worker().waitIdle();
    QCoreApplication::processEvents();
    EXPECT_FALSE(panel->receiverRunning());
}

TEST_F(MultiviewerPanelTest, DestroyingThePanelWhileReportsArriveIsSafe) {
    std::atomic<bool> sending{true};
    std::thread device([&] {
        uint8_t layout = 1;
        while (sending) {
            sendReport(mv::kSetLayout, layout);
            layout = static_cast<uint8_t>(layout % 16 + 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    for (int round = 0; round < 3; ++round) {
        startPanel();
        // Let reports queue up for the UI thread, then destroy the panel with some still pending.
        QTest::qWait(30);
        panel.reset();
        QCoreApplication::processEvents();
    }
    sending = false;
    device.join();
    // The last receiver closed its socket: a new panel can open the report port again.
    startPanel();
    EXPECT_TRUE(panel->receiverRunning());
}

}  // namespace
}  // namespace kvx
