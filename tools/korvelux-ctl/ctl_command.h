#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "protocol/json_text.h"

namespace kvx {

// Exit codes of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNotFound = 1;  // the exchange ran but no device answered
inline constexpr int kExitError = 2;     // a usage error, or a port or socket that cannot be opened
inline constexpr int kExitDiffers = 3;   // mv restore or --confirm: the device's state is not the one wanted

// A bad command line; main prints it on one line and exits with kExitError.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A whole decimal number from first to last; UsageError naming `what` otherwise.
int parseNumber(const std::string& text, int first, int last, const char* what);

// A JSON document on stdout, flushed.
void printJson(const Json& document);

// The options that every command takes, wherever they stand on the command line; main takes them out.
struct OutputOptions {
    bool json = false;  // one JSON document on stdout instead of the text lines
};
inline constexpr const char* kOutputOptionsHelp =
    "  --json          print one JSON document (watch: one JSON object per line) instead of text lines\n"
    "  --trace         write every frame sent and received to stderr, one line each: a monotonic time in\n"
    "                  seconds, send or recv, the link (lan:ADDRESS:PORT, report:ADDRESS:PORT or\n"
    "                  serial:PORT) and the bytes in hex\n";

// One command of korvelux-ctl, each in a file of its own and listed in the command table.
struct CtlCommand {
    const char* name;
    const char* summary;  // one line for the command list
    const char* help;     // the command's usage and every option it takes
    // The arguments after the command's name (without the output options).
    int (*run)(const std::vector<std::string>& args, const OutputOptions& output);
};

const std::vector<CtlCommand>& ctlCommands();
// The command's help followed by the link and output options that every command takes, on stdout.
void printCommandHelp(const CtlCommand& command);

// The commands themselves.
CtlCommand discoverCommand();

}  // namespace kvx
