// korvelux-ctl: the control panel's exchanges from the command line, one command per run.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ctl_command.h"
#include "ctl_session.h"
#include "protocol/error_sink.h"
#include "protocol/frame_trace.h"

namespace {

void printUsage() {
    std::printf("usage: korvelux-ctl COMMAND [options]\n       korvelux-ctl COMMAND --help\n\nCommands:\n");
    for (const kvx::CtlCommand& command : kvx::ctlCommands())
        std::printf("  %-12s%s\n", command.name, command.summary);
    for (const kvx::CtlCommand& command : kvx::ctlCommands()) {
        std::printf("\n");
        kvx::printCommandHelp(command);
    }
}

// Takes every `option` out of args; true when there was one.
bool takeFlag(std::vector<std::string>& args, const char* option) {
    const auto end = std::remove(args.begin(), args.end(), option);
    const bool found = end != args.end();
    args.erase(end, args.end());
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    kvx::OutputOptions output;
    output.json = takeFlag(args, "--json");
    // Standard output then holds the JSON document alone.
    if (output.json) kvx::sendDiagnosticsTo(stderr);
    if (takeFlag(args, "--trace")) kvx::enableFrameTrace(stderr);
    if (!args.empty() && (args[0] == "--help" || args[0] == "help")) {
        printUsage();
        return kvx::kExitOk;
    }
    try {
        if (args.empty()) throw kvx::UsageError("no command given");
        for (const kvx::CtlCommand& command : kvx::ctlCommands()) {
            if (args[0] == command.name) return command.run({args.begin() + 1, args.end()}, output);
        }
        throw kvx::UsageError("unknown command '" + args[0] + "'");
    } catch (const kvx::UsageError& error) {
        std::fprintf(stderr, "korvelux-ctl: %s (see korvelux-ctl --help)\n", error.what());
        return kvx::kExitError;
    }
}
