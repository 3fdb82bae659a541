// How long the UI thread pauses at most while Load Custom 2 reloads the device: the command, the device's
// 3000 ms, the read-back and the page's steps. The multiviewer panel runs offscreen on a simulated
// multiviewer of the in-memory network; a 1 ms timer on the UI thread measures the gaps between its ticks
// from the click until the reload has ended. A frozen window would show one pause of over 3000 ms; a window
// that keeps answering stays under a frame (16 ms).
#include <QAbstractButton>
#include <QApplication>

#include "bench/in_memory_multiviewer.h"
#include "bench/ui_pause.h"
#include "controls/set_bitmap_resource.h"
#include "multiviewer/ui/multiviewer_panel.h"
#include "multiviewer/ui/preset_reload.h"
#include "multiviewer/ui/settings_page.h"
#include "resources/skin_renderer.h"
#include "support/panel_host.h"

namespace kvx::bench {
namespace {

constexpr int kRuns = 5;
constexpr int kLoadCustom2 = 1122;

}  // namespace
}  // namespace kvx::bench

int main(int argc, char** argv) {
    using namespace kvx;
    using namespace kvx::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installBitmapSource(renderSkinBitmap);

    InMemoryMultiviewer lan;
    PanelHost host(*lan.pc, InMemoryMultiviewer::kAddress, lan.device.identity().id);
    MultiviewerState state;
    CClass_child_main_dlg panel(host, state);
    panel.resize(1240, 540);
    panel.show();
    longestPauseUntil([&] { return panel.receiverRunning(); });
    panel.showPage(kPageSettings);
    auto* settings = qobject_cast<CClass_16_view_set*>(panel.currentPage());
    if (!settings) {
        std::fprintf(stderr, "the settings page did not open\n");
        return 1;
    }

    std::vector<double> pauses;
    std::vector<double> reloads;
    for (int run = 0; run < kRuns; ++run) {
        // The device reports the preset it loaded, and the panel reads its state once more: that goes first.
        longestPauseUntil([&] { return !panel.busy(); });
        const auto clicked = bench::Clock::now();
        qobject_cast<QAbstractButton*>(settings->control(kLoadCustom2))->click();
        pauses.push_back(longestPauseUntil([&] { return !settings->reload().running(); }));
        reloads.push_back(msSince(clicked));
    }
    row("longest UI-thread pause during Load Custom 2 (3000 ms wait and read-back), " +
            std::to_string(kRuns) + " reloads",
        pauseFigure(pauses) + format("; reload p50 %.0f ms", percentile(reloads, 0.5)), "< 16 ms");
    longestPauseUntil([&] { return !panel.busy(); });
    row("longest UI-thread pause of the idle panel over 3 s (the machine's own scheduling)",
        format("%.1f ms", longestIdlePause(3000)));
    return 0;
}
