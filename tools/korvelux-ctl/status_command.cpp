// korvelux-ctl status: the multiviewer's status read-back, decoded into the model and printed.
#include <cstdio>

#include "ctl_session.h"
#include "multiviewer/state_json.h"
#include "multiviewer/state_print.h"
#include "multiviewer_ctl_commands.h"
#include "multiviewer_target.h"

namespace kvx {

namespace {

int runStatus(const std::vector<std::string>& args, const OutputOptions& output) {
    MultiviewerOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") {
            printCommandHelp(statusCommand());
            return kExitOk;
        }
        if (!takeMultiviewerOption(args, i, options))
            throw UsageError("unknown option '" + args[i] + "' for status");
    }
    CtlSession session(options.link);
    Target target;
    if (const int found = findMultiviewer(session, options.device, target); found != kExitOk) return found;
    MultiviewerState state;
    if (const int read = readMultiviewerState(session, target, state); read != kExitOk) return read;
    if (output.json) {
        printJson(multiviewerStateJson(state));
    } else {
        printMultiviewerState(state, stdout);
        std::fflush(stdout);
    }
    return kExitOk;
}

}  // namespace

CtlCommand statusCommand() {
    static const std::string help =
        std::string(
            "usage: korvelux-ctl status [--device ADDRESS] [--serial PATH [--baud N]] [--demo]\n"
            "Reads the whole state of a multiviewer (ReadStatus, 0x0A) and waits up to 2000 ms for its\n"
            "status reply.\n") +
        kStatusPrintHelp +
        "With --json: one object of the same fields, numbers as numbers, texts as strings, arrays as arrays\n"
        "of 16, WindowSignal elements as {\"present\": P, \"format\": F}.\n" +
        "Exit status: 0 the state was read, 1 no multiviewer or no reply, 2 usage error, port or socket\n"
        "error.\n"
        "Options:\n" +
        kDeviceOptionHelp + "  --help          show this text\n";
    return {"status", "read a multiviewer's whole state and print it field by field", help.c_str(),
            runStatus};
}

}  // namespace kvx
