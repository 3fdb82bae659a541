// A multiviewer panel under a flood of reports: the connected device sends 10,000 reports a second for 10 s
// while a stranger (another DeviceId) sends as many. The panel runs offscreen on the in-memory network; the
// reports come paced in real time from a flood socket (support/report_flood.h). A 1 ms timer on the UI thread
// measures the gaps between its ticks during the flood (the longest is the longest pause of the window), and
// once the last report has been taken, how long until the model shows the last value of every field.
#include <QApplication>

#include "bench/bench_table.h"
#include "bench/in_memory_multiviewer.h"
#include "bench/ui_pause.h"
#include "controls/set_bitmap_resource.h"
#include "multiviewer/ui/multiviewer_panel.h"
#include "resources/skin_renderer.h"
#include "support/panel_host.h"
#include "support/report_flood.h"

namespace kvx::bench {
namespace {

constexpr DeviceId kStranger{0x53, 0x54, 0x52, 0xA1};
constexpr int kReportsPerSecond = 10000;  // of each sender
constexpr int kSeconds = 10;
constexpr size_t kDatagrams = 2 * size_t{kReportsPerSecond} * kSeconds;
constexpr auto kInterval = std::chrono::nanoseconds(std::chrono::seconds(1)) / (2 * kReportsPerSecond);
constexpr int kTimeoutMs = 60000;

}  // namespace
}  // namespace kvx::bench

int main(int argc, char** argv) {
    using namespace kvx;
    using namespace kvx::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installBitmapSource(renderSkinBitmap);

    InMemoryMultiviewer lan;
    ReportFlood flood;
    FloodNetwork floodNetwork{*lan.pc, flood};
    PanelHost host(floodNetwork, InMemoryMultiviewer::kAddress, lan.device.identity().id);
    MultiviewerState state;
    CClass_child_main_dlg panel(host, state);
    panel.resize(1240, 540);
    panel.show();
    tickGapsUntil([&] { return panel.receiverRunning(); }, kTimeoutMs);
    if (!panel.receiverRunning() || state.CurrentPage != kPageLayout) {
        std::fprintf(stderr, "the panel did not start on page 1\n");
        return 1;
    }
    MultiviewerState expected = state;
    FloodReports::applyDevicesReports(kDatagrams, expected);

    flood.start(*lan.pc, kDatagrams, FloodReports{lan.device.identity().id, kStranger}, kInterval);
    const std::vector<double> gaps = tickGapsUntil([&] { return !flood.running(); }, kTimeoutMs);
    tickGapsUntil([&] { return FloodReports::sameReportedFields(state, expected); }, kTimeoutMs);
    const double catchUp = msSince(flood.endedAt());
    if (!FloodReports::sameReportedFields(state, expected)) {
        std::fprintf(stderr, "the model did not reach the last values sent\n");
        return 1;
    }
    row("longest UI-thread pause during a flood of " + std::to_string(kReportsPerSecond) +
            " reports/s from the device and as many from a stranger, " + std::to_string(kSeconds) + " s",
        format("max %.1f ms", percentile(gaps, 1.0)) + format(", p99 %.1f ms", percentile(gaps, 0.99)),
        "< 16 ms");
    row("catch-up after the flood stops (last report taken to the model current)", format("%.1f ms", catchUp),
        "< 50 ms");
    return 0;
}
