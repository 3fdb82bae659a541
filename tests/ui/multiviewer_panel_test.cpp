#include "multiviewer/ui/multiviewer_panel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/status_encode.h"
#include "multiviewer/ui/layout_mode_page.h"
#include "platform/sim_network.h"
#include "support/panel_host.h"

namespace kvx {
namespace multiviewer_panel_test {

constexpr uint32_t kPcAddress = 0xC0A8010A;      // 192.168.1.10
constexpr uint32_t kDeviceAddress = 0xC0A80165;  // 192.168.1.101
constexpr DeviceId kDeviceId{0x4B, 0x56, 0x00, 0xA1};

class MultiviewerPanelTest : public ::testing::Test {
protected:
    MultiviewerPanelTest() {
        device.LayoutMode = 7;
        device.SwitcherMode = 0;
        device.WindowSource[2] = 5;
        device.DeviceName = u"MV_DESK";
        // The device answers ReadStatus with its whole status block.
        network.listen(kDeviceAddress, kControlPort,
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
                           network.sendFrom({kDeviceAddress, kControlPort}, reply, from);
                       });
    }
    ~MultiviewerPanelTest() override {
        panel.reset();
        network.unlisten(kDeviceAddress, kControlPort);
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
        network.sendFrom({kDeviceAddress, kControlPort}, frame, {kPcAddress, kReportPort});
    }

    SimNetwork network;
    std::shared_ptr<Network> pcHost = network.host(kPcAddress);
    PanelHost window{*pcHost, "192.168.1.101", kDeviceId};
    std::mutex deviceMutex;
    MultiviewerState device;  // what the simulated multiviewer reports as its status
    MultiviewerState state;   // the PC's model
    std::unique_ptr<CClass_child_main_dlg> panel;
};

TEST_F(MultiviewerPanelTest, StartReadsTheDeviceStatusAndShowsIt) {
    state.CurrentPage = kPageSettings;  // from an earlier panel
    startPanel();
    // The device is in multiviewer mode: the layout page, and the geometry of its layout.
    EXPECT_EQ(state.CurrentPage, kPageLayout);
    EXPECT_NE(qobject_cast<CClass_16_view_mode*>(panel->currentPage()), nullptr);
    EXPECT_EQ(state.WindowGeometry[0], (GeometryRecord{0, 0, 720, 480, 7}));
    EXPECT_EQ(state.LayoutMode, 7);
    EXPECT_EQ(state.WindowSource[2], 5);
    EXPECT_EQ(state.StatusLoaded, 0);  // set by the read-back, taken by the first page shown
    EXPECT_EQ(state.DeviceName, u"MV_DESK");
    EXPECT_EQ(window.nameBox, u"MV_DESK");
    EXPECT_EQ(window.lockRefreshes, 1);
    EXPECT_EQ(state.WindowFormatText[2], u"No Signal");
    EXPECT_TRUE(window.errors.empty());
}

TEST_F(MultiviewerPanelTest, ALockedPanelWithoutAReadBackStillShowsItsFirstPage) {
    window.linkChoice = static_cast<LinkKind>(2);  // neither LAN nor serial: the read-back cannot run
    state.PanelLocked = 1;
    state.StatusLoaded = 0;
    panel = std::make_unique<CClass_child_main_dlg>(window, state);
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel->started(); }, 10000));
    EXPECT_EQ(state.CurrentPage, kPageLayout);
    EXPECT_NE(panel->currentPage(), nullptr);
    EXPECT_EQ(window.lockRefreshes, 0);  // nothing was decoded
}

TEST_F(MultiviewerPanelTest, ReportOfTheDeviceChangesTheLayoutAndOneOfAnotherDeviceDoesNot) {
    startPanel();
    sendReport(mv::kSetLayout, 4);
    ASSERT_TRUE(QTest::qWaitFor([this] { return state.LayoutMode == 4; }, 10000));
    EXPECT_EQ(state.WindowGeometry[0].number, 4);

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
    EXPECT_EQ(state.WindowGeometry[0].number, 7);
    EXPECT_TRUE(panel->busy());
    // The geometry follows after the fixed wait that the device needs after a preset.
    ASSERT_TRUE(QTest::qWaitFor([this] { return state.WindowGeometry[0].number == 12; }, 10000));
    EXPECT_FALSE(panel->busy());
    EXPECT_EQ(window.lockRefreshes, 2);
}

TEST_F(MultiviewerPanelTest, WithoutTheReportPortThePanelWorksWithoutReports) {
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

}  // namespace multiviewer_panel_test
}  // namespace kvx
