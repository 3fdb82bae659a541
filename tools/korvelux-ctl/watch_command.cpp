// korvelux-ctl watch: the reports of a multiviewer as they arrive, decoded, until interrupted.
#include <signal.h>

#include <cstdio>
#include <ctime>
#include <memory>

#include "ctl_session.h"
#include "multiviewer/report_description.h"
#include "multiviewer/state_json.h"
#include "multiviewer/state_print.h"
#include "multiviewer_ctl_commands.h"
#include "multiviewer_target.h"
#include "report_listener.h"
#include "simulator/front_panel_demo.h"
#include "simulator/multiviewer_device.h"

namespace kvx {

namespace {

constexpr int kStopCheckMs = 100;
constexpr int kReadTries = 3;
constexpr int kReadRetryMs = 100;

// SIGINT and SIGTERM wait for interrupted() from here on, in every thread started afterwards too.
sigset_t blockStopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

bool interrupted(const sigset_t& signals) {
    const timespec now{0, 0};
    return sigtimedwait(&signals, nullptr, &now) > 0;
}

// The demo's multiviewer is operated on its own front panel, as in the window's demo, so there is
// something to watch.
std::unique_ptr<FrontPanelDemo> frontPanelOf(CtlSession& session) {
    if (!session.demo()) return nullptr;
    for (const auto& device : session.demo()->devices()) {
        if (auto* multiviewer = dynamic_cast<MultiviewerDevice*>(device.get()))
            return std::make_unique<FrontPanelDemo>(*multiviewer);
    }
    return nullptr;
}

void print(const ReportDescription& report, const MultiviewerState* readBack, const OutputOptions& output) {
    if (output.json) {
        Json object = reportJson(report);
        if (readBack) object.add("state", multiviewerStateJson(*readBack));
        std::fputs(writeJson(object).c_str(), stdout);
    } else {
        std::printf("%s\n", reportText(report).c_str());
        if (readBack) printMultiviewerState(*readBack, stdout);
    }
    std::fflush(stdout);
}

int runWatch(const std::vector<std::string>& args, const OutputOptions& output) {
    MultiviewerOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") {
            printCommandHelp(watchCommand());
            return kExitOk;
        }
        if (!takeMultiviewerOption(args, i, options))
            throw UsageError("unknown option '" + args[i] + "' for watch");
    }
    const sigset_t stopSignals = blockStopSignals();
    CtlSession session(options.link);
    Target target;
    if (const int found = findMultiviewer(session, options.device, target); found != kExitOk) return found;
    // The state read first tells whether a source report routes an output or fills a window.
    MultiviewerState state;
    if (const int read = readMultiviewerState(session, target, state); read != kExitOk) return read;
    ReportListener reports(session, target);
    if (!reports.listening()) return kExitError;
    const std::unique_ptr<FrontPanelDemo> frontPanel = frontPanelOf(session);
    std::fprintf(stderr, "korvelux-ctl: watching the multiviewer %s; interrupt to stop\n",
                 target.entry->address().empty() ? "on the serial port" : target.entry->address().c_str());

    while (!interrupted(stopSignals)) {
        const std::optional<Bytes> datagram = reports.next(kStopCheckMs);
        if (!datagram) continue;
        const ReportDescription report = describeReport(*datagram, state.SwitcherMode != 0);
        if (report.kind != ReportDescription::Kind::WholeState) {
            print(report, nullptr, output);
            continue;
        }
        // As the window does: the whole state is read back. Another program of this PC may hold port 7000 for
        // a moment (the one whose request caused the report, say), so a read that cannot open its socket is
        // tried again. A failed read is said on stderr; watching goes on.
        int read = readMultiviewerState(session, target, state);
        for (int tries = 1; read == kExitError && tries < kReadTries; ++tries) {
            session.clock().sleepMs(kReadRetryMs);
            read = readMultiviewerState(session, target, state);
        }
        print(report, read == kExitOk ? &state : nullptr, output);
    }
    return kExitOk;
}

}  // namespace

CtlCommand watchCommand() {
    static const std::string help =
        std::string(
            "usage: korvelux-ctl watch [--device ADDRESS] [--serial PATH [--baud N]] [--demo]\n"
            "Reads the multiviewer's state once, listens on UDP port 7001 as the window does, and prints "
            "every\n"
            "report of that multiviewer as it arrives, until interrupted (SIGINT or SIGTERM), one line "
            "each:\n"
            "  0xCC NAME FIELD=VALUE      such as 0x33 SetLayout LayoutMode=90, 0x34 SetSource\n"
            "                             WindowSource[3]=5 (MatrixRoute in switcher mode), 0x3B\n"
            "                             SetUmdTextColor UmdTextColor[all]=6, 0x51 WindowSignal\n"
            "                             WindowSignal[1]=1/31 (PRESENT/FORMAT)\n"
            "  0xCC NAME                  a whole-state report (0x0B LoadDefault, 0x38 StateChanged, 0x59\n"
            "                             LoadCustom), followed by the state read back, as status prints it\n"
            "  0xCC NAME ignored: DATA    a report whose index is out of range or whose data is short\n"
            "  0xCC unknown: DATA         a code that no report has (DATA in hex)\n"
            "With --json one object per line: {\"code\": C, \"name\": NAME, \"field\": FIELD, \"index\": K,\n"
            "\"value\": V} (\"index\" only for array fields, counting from 1, 0 for all), with \"state\": "
            "{...}\n"
            "after a whole-state report, or \"ignored\": true / \"data\": [bytes]. With --demo the "
            "simulated\n"
            "multiviewer changes something on its own front panel every 4 seconds. A line on stderr says "
            "when\n"
            "watching starts.\n"
            "Exit status: 0 interrupted, 1 no multiviewer or no status reply, 2 usage error, port or socket\n"
            "error (port 7001 taken by another program).\n"
            "Options:\n") +
        kDeviceOptionHelp + "  --help          show this text\n";
    return {"watch", "print a multiviewer's reports as they arrive, until interrupted", help.c_str(),
            runWatch};
}

}  // namespace kvx
