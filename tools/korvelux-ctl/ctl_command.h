#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace kvx {

// Exit codes of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNotFound = 1;  // the exchange ran but no device answered
inline constexpr int kExitError = 2;     // a usage error, or a port or socket that cannot be opened

// A bad command line; main prints it on one line and exits with kExitError.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A whole decimal number from first to last; UsageError naming `what` otherwise.
int parseNumber(const std::string& text, int first, int last, const char* what);

// One command of korvelux-ctl, each in a file of its own and listed in the command table.
struct CtlCommand {
    const char* name;
    const char* summary;                               // one line for the command list
    const char* help;                                  // the command's usage and every option it takes
    int (*run)(const std::vector<std::string>& args);  // the arguments after the command's name
};

const std::vector<CtlCommand>& ctlCommands();
// The command's help followed by the link options that every command takes, on stdout.
void printCommandHelp(const CtlCommand& command);

// The commands themselves.
CtlCommand discoverCommand();

}  // namespace kvx
