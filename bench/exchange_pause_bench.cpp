// How long the UI thread pauses at most while the window runs its exchanges with the devices: a LAN search,
// a serial search, a status read-back of the multiviewer and a refresh of the 16x16 matrix switcher's panel.
// The real main window runs offscreen on the real clock, against the demo set of simulated devices that
// answer as slowly as real ones (bench/paced_devices.h), all in this process: nothing goes on the machine's
// network. A window that waited for the device on the UI thread would show the whole wait (2000 ms for a
// LAN search) as one pause.
#include <QApplication>
#include <QComboBox>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "bench/paced_devices.h"
#include "bench/ui_pause.h"
#include "controls/message_boxes.h"
#include "controls/set_bitmap_resource.h"
#include "matrix/ui/matrix_panel.h"
#include "multiviewer/ui/multiviewer_panel.h"
#include "platform/system_platform.h"
#include "resources/skin_renderer.h"

namespace kvx::bench {
namespace {

constexpr int kLanSearches = 5;
constexpr int kSerialSearches = 3;
constexpr int kReadbacks = 20;
constexpr int kRefreshes = 20;
constexpr const char* kTarget = "< 16 ms";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "exchange_pause_bench: %s\n", what);
    std::exit(1);
}

// Runs the event loop until every exchange queued on the window's worker so far has run and handed its
// result back; returns the longest pause meanwhile. The worker runs its jobs in order, and their results
// come back in order.
double pauseUntilExchangesDone(CKORVELUX_16_VIEWDlg& window) {
    bool done = false;
    window.worker().request<bool>([] { return true; }, [&done](bool) { done = true; }, window.uiDispatch());
    const double pause = longestPauseUntil([&] { return done; });
    if (!done) fail("the window's exchanges did not end");
    return pause;
}

// Chooses the first device of this type in the list, as the operator would, and lets its panel start.
template <class Panel>
Panel& openPanelOf(CKORVELUX_16_VIEWDlg& window, uint8_t type) {
    for (int i = 0; i < window.deviceList()->count(); ++i) {
        if (window.deviceTable()[static_cast<size_t>(i)].deviceType != type) continue;
        window.deviceList()->setCurrentIndex(i);
        window.chooseDevice(i);
        break;
    }
    auto* panel = qobject_cast<Panel*>(window.currentPanel());
    if (!panel) fail("a device's panel did not open");
    pauseUntilExchangesDone(window);
    return *panel;
}

// Searches `runs` times on the window's link; after each, the panel that the search opened (for the device
// that answered first) has done its start's exchanges before the next search. Returns the pauses of the
// searches, and their durations in `took`.
std::vector<double> searchPauses(CKORVELUX_16_VIEWDlg& window, int runs, int devicesExpected,
                                 std::vector<double>& took) {
    std::vector<double> pauses;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        window.search();
        pauses.push_back(longestPauseUntil([&] { return !window.isSearching(); }));
        took.push_back(msSince(start));
        if (window.isSearching()) fail("a search did not end");
        if (window.deviceList()->count() != devicesExpected) fail("a search did not find every device");
        pauseUntilExchangesDone(window);
    }
    return pauses;
}

}  // namespace
}  // namespace kvx::bench

int main(int argc, char** argv) {
    using namespace kvx;
    using namespace kvx::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installBitmapSource(renderSkinBitmap);
    // No question or error box may wait for an operator here.
    setMessageHook([](MessageKind, const QString& caption, const QString& text) {
        std::fprintf(stderr, "message box %s: %s\n", qPrintable(caption), qPrintable(text));
        return true;
    });
    SystemClock clock;
    PacedDemoDevices devices(clock);
    CKORVELUX_16_VIEWDlg window(AppPlatform{devices.pcNetwork(), clock, devices.pcSerialPorts(), 96, 96});
    window.show();
    longestIdlePause(300);

    std::vector<double> took;
    const std::vector<double> lan = searchPauses(window, kLanSearches, static_cast<int>(devices.count()), took);
    row("longest UI-thread pause during a LAN search (2000 ms window, " + std::to_string(devices.count()) +
            " simulated devices answering after " + std::to_string(PacedDemoDevices::lanAnswerMs(0)) + " to " +
            std::to_string(PacedDemoDevices::lanAnswerMs(devices.count() - 1)) + " ms), " +
            std::to_string(kLanSearches) + " searches",
        pauseFigure(lan) + format("; search p50 %.0f ms", percentile(took, 0.5)), kTarget);

    // The multiviewer's whole-state read-back, as after a preset or a report.
    auto& multiviewer = openPanelOf<CClass_child_main_dlg>(window, kTypeMultiviewer);
    std::vector<double> readbacks;
    took.clear();
    for (int run = 0; run < kReadbacks; ++run) {
        bool read = false;
        const auto start = bench::Clock::now();
        multiviewer.readDeviceState([&read] { read = true; });
        readbacks.push_back(longestPauseUntil([&] { return read; }));
        took.push_back(msSince(start));
        if (!read) fail("a status read-back did not end");
    }
    row("longest UI-thread pause during a multiviewer status read-back over the LAN, " +
            std::to_string(kReadbacks) + " read-backs",
        pauseFigure(readbacks) + format("; read-back p50 %.0f ms", percentile(took, 0.5)), kTarget);

    auto& matrix = openPanelOf<MatrixPanel>(window, kType16x16);
    std::vector<double> refreshes;
    took.clear();
    for (int run = 0; run < kRefreshes; ++run) {
        const auto start = bench::Clock::now();
        matrix.pressRefresh();
        refreshes.push_back(pauseUntilExchangesDone(window));
        took.push_back(msSince(start));
    }
    row("longest UI-thread pause during a 16x16 matrix refresh over the LAN, " + std::to_string(kRefreshes) +
            " refreshes",
        pauseFigure(refreshes) + format("; refresh p50 %.0f ms", percentile(took, 0.5)), kTarget);

    // The serial link, with COM1 open as CONNECT in the settings dialog leaves it.
    bool opened = false;
    window.worker().request<bool>(
        [&port = window.serialPort()] { return port.open(PacedDemoDevices::kSerialPortName, 9600); },
        [&opened](bool ok) { opened = ok; }, window.uiDispatch());
    pauseUntilExchangesDone(window);
    if (!opened) fail("the simulated serial port did not open");
    window.setLinkChoice(kLinkSerial);
    window.portOpenFlag = 1;
    took.clear();
    const std::vector<double> serial = searchPauses(window, kSerialSearches, 1, took);
    row("longest UI-thread pause during a serial search (the multiviewer answering in " +
            std::to_string(PacedDemoDevices::kSerialPacing.pieces) + " pieces " +
            std::to_string(PacedDemoDevices::kSerialPacing.pauseMs) + " ms apart), " +
            std::to_string(kSerialSearches) + " searches",
        pauseFigure(serial) + format("; search p50 %.0f ms", percentile(took, 0.5)), kTarget);
    return 0;
}
