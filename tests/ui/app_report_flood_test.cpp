// A multiviewer panel under a flood of reports: the connected device sends 100,000 reports (the 10,000 a
// second of ten seconds, here as fast as the receiver takes them) while a stranger sends as many. The window
// keeps answering, what waits for the UI thread stays bounded, the stranger changes nothing, and once the
// flood ends the model holds the last value the device sent for each field.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <atomic>

#include "controls/set_bitmap_resource.h"
#include "controls/thread_inbox.h"
#include "multiviewer/geometry.h"
#include "multiviewer/ui/multiviewer_panel.h"
#include "platform/sim_network.h"
#include "resources/skin_renderer.h"
#include "simulator/demo_devices.h"
#include "simulator/multiviewer_device.h"
#include "simulator/sim_network_host.h"
#include "support/panel_host.h"
#include "support/report_flood.h"

namespace kvx {
namespace app_report_flood_test {

constexpr uint32_t kPcAddress = 0xC0A8010A;
constexpr uint32_t kDeviceAddress = 0xC0A80165;  // 192.168.1.101
constexpr size_t kDatagrams = 200000;            // 100,000 of the device, 100,000 of the stranger
constexpr DeviceId kStranger{0x53, 0x54, 0x52, 0xA1};
// Distinct fields of the flood: the layout and three per input or window. A report waiting for the UI
// thread, folded or not, is one of them; twice as many leaves room for the hand-over in progress.
constexpr size_t kWaitingBound = 2 * (1 + 3 * 16);

class ReportFloodTest : public ::testing::Test {
protected:
    ReportFloodTest() { installBitmapSource(renderSkinBitmap); }

    SimNetwork network;
    MultiviewerDevice device{defaultIdentity(kTypeMultiviewer, 0)};
    SimNetworkDeviceHost deviceHost{network, kDeviceAddress, DeviceList{&device}};
    std::shared_ptr<Network> pc = network.host(kPcAddress);
    ReportFlood flood;
    FloodNetwork floodNetwork{*pc, flood};
    PanelHost host{floodNetwork, "192.168.1.101", device.identity().id};
    MultiviewerState state;
};

TEST_F(ReportFloodTest, TheWindowAnswersWhatWaitsStaysBoundedAndTheLastValuesWin) {
    CClass_child_main_dlg panel(host, state);
    panel.resize(1240, 540);
    panel.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.receiverRunning(); }, 10000));
    ASSERT_EQ(state.CurrentPage, kPageLayout);
    MultiviewerState expected = state;
    FloodReports::applyDevicesReports(kDatagrams, expected);

    // What the receiver has handed to the UI thread and it has not yet taken, seen from the receiver; and a
    // call handed to the UI thread a quarter into the flood, which notes how far the flood had come when it
    // ran: in a window that answers, long before the flood ends.
    const std::shared_ptr<ThreadInbox::Queue> inbox = host.uiObject().findChild<ThreadInbox*>()->queue();
    const ResultDispatch toUiThread = host.uiDispatch();
    std::atomic<size_t> mostHandedOver{0};
    std::atomic<size_t> takenWhenTheCallRan{0};
    const auto sample = [&](size_t taken) {
        if (taken == kDatagrams / 4) toUiThread([&] { takenWhenTheCallRan = flood.taken(); });
        if (taken % 64 != 0) return;
        const size_t waiting = inbox->size();
        if (waiting > mostHandedOver.load()) mostHandedOver = waiting;
    };
    // What waits in the panel whenever the UI thread looks.
    size_t mostWaitingInPanel = 0;
    QTimer looker;
    looker.setInterval(1);
    QObject::connect(&looker, &QTimer::timeout,
                     [&] { mostWaitingInPanel = std::max(mostWaitingInPanel, panel.reportsWaiting()); });
    looker.start();

    flood.start(*pc, kDatagrams, FloodReports{device.identity().id, kStranger}, {}, sample);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !flood.running(); }, 60000)) << flood.taken() << " taken";
    EXPECT_TRUE(QTest::qWaitFor([&] { return FloodReports::sameReportedFields(state, expected); }, 10000))
        << "layout " << int(state.LayoutMode) << ", expected " << int(expected.LayoutMode);
    looker.stop();

    EXPECT_GT(takenWhenTheCallRan.load(), 0u);
    EXPECT_LT(takenWhenTheCallRan.load(), kDatagrams)
        << "a call handed to the UI thread waited for the flood's end";
    EXPECT_LE(mostHandedOver.load(), kWaitingBound);
    EXPECT_LE(mostWaitingInPanel, kWaitingBound);
    EXPECT_EQ(panel.reportsWaiting(), 0u);
    EXPECT_FALSE(panel.busy());
    recomputeLayoutGeometry(expected);
    EXPECT_EQ(state.WindowGeometry, expected.WindowGeometry) << "the derived data follow the last layout";

    // The next report and the next request go through as ever.
    ASSERT_TRUE(device.changeLayout(90));
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.LayoutMode == 90; }, 10000));
}

}  // namespace app_report_flood_test
}  // namespace kvx
