// An open multiviewer panel on the machine's own loopback: how long a device report takes to reach the
// preview (from the datagram sent to the paint that shows it), and how often the program wakes up while
// the device is quiet.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <fstream>
#include <map>
#include <memory>

#include "bench/bench_table.h"
#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/ui/multiviewer_panel.h"
#include "platform/system_platform.h"
#include "support/panel_host.h"

namespace kvx::bench {
namespace {

constexpr int kReports = 10000;
constexpr int kQuietSeconds = 10;
constexpr DeviceId kDevice{0x4B, 0x56, 0x42, 0xA1};
// Nothing answers here: the panel's start read-back waits its 2 s and goes on without a reply.
constexpr const char* kSilentDevice = "127.0.0.9";

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

Bytes layoutReport(uint8_t layout) {
    Bytes frame = buildFrame(kTypeMultiviewer, 0x01, kLinkLan, mv::kSetLayout, {0x00, layout});
    std::copy(kDevice.begin(), kDevice.end(), frame.begin() + 10);
    return frame;
}

// Voluntary and involuntary context switches of each thread of this process so far, by thread id.
std::map<QString, long> contextSwitches() {
    std::map<QString, long> switches;
    for (const QString& task :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream status(("/proc/self/task/" + task + "/status").toStdString());
        for (std::string line; std::getline(status, line);) {
            if (line.find("ctxt_switches:") != std::string::npos)
                switches[task] += std::stol(line.substr(line.find(':') + 1));
        }
    }
    return switches;
}

// Switches between two readings; a thread that ended meanwhile counts what it did until the first reading
// only, one that started counts all of its own.
long switchesBetween(const std::map<QString, long>& before, const std::map<QString, long>& after) {
    long total = 0;
    for (const auto& [task, count] : after) {
        const auto earlier = before.find(task);
        total += count - (earlier == before.end() ? 0 : earlier->second);
    }
    return total;
}

void waitMs(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace
}  // namespace kvx::bench

int main(int argc, char** argv) {
    using namespace kvx;
    using namespace kvx::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PosixNetwork network;
    PanelHost host(network, kSilentDevice, kDevice);
    MultiviewerState state;
    auto panel = std::make_unique<CClass_child_main_dlg>(host, state);
    panel->resize(1240, 540);
    panel->show();
    QElapsedTimer started;
    started.start();
    while (!panel->receiverRunning() && started.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!panel->receiverRunning()) {
        std::fprintf(stderr, "the panel could not open UDP port 7001\n");
        return 1;
    }
    PaintCounter counter;
    panel->installEventFilter(&counter);

    std::unique_ptr<UdpSocket> device = network.createUdpSocket();
    const Ipv4Endpoint reportPort{kLoopbackAddress, kReportPort};
    std::vector<double> latencies;
    int lost = 0;
    for (int i = 0; i < kReports; ++i) {
        const int paintsBefore = counter.paints;
        const Bytes report = layoutReport(i % 2 ? 40 : 160);
        const auto sent = bench::Clock::now();
        device->sendTo(report, reportPort);
        while (counter.paints == paintsBefore && msSince(sent) < 1000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (counter.paints == paintsBefore)
            ++lost;
        else
            latencies.push_back(msSince(sent));
    }
    row("report to repaint over loopback UDP, " + std::to_string(kReports) + " reports",
        format("p50 %.3f ms", percentile(latencies, 0.5)) +
            format(", p99 %.3f ms", percentile(latencies, 0.99)) +
            format(", max %.3f ms", percentile(latencies, 1.0)) +
            (lost ? ", " + std::to_string(lost) + " not shown" : ""),
        "p99 < 2 ms");

    const auto before = contextSwitches();
    waitMs(kQuietSeconds * 1000);
    const long wakeups = switchesBetween(before, contextSwitches());
    row("wake-ups of the program with a panel open and a quiet device, over " +
            std::to_string(kQuietSeconds) + " s",
        format("%.1f per second", static_cast<double>(wakeups) / kQuietSeconds), "~0");
    panel.reset();
    return 0;
}
