#include "ctl_command.h"

#include <cstdio>

#include "ctl_session.h"

namespace kvx {

const std::vector<CtlCommand>& ctlCommands() {
    static const std::vector<CtlCommand> commands{discoverCommand()};
    return commands;
}

void printCommandHelp(const CtlCommand& command) {
    std::printf("%sLink options:\n%s", command.help, kLinkOptionsHelp);
}

}  // namespace kvx
