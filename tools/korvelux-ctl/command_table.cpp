#include "ctl_command.h"

#include <cstdio>

#include "ctl_session.h"
#include "matrix_ctl_commands.h"
#include "multiviewer_ctl_commands.h"

namespace kvx {

const std::vector<CtlCommand>& ctlCommands() {
    static const std::vector<CtlCommand> commands{discoverCommand(), statusCommand(), watchCommand(),
                                                  mvCommand(),       routeCommand(),  matrixCommand(),
                                                  backlightCommand()};
    return commands;
}

void printCommandHelp(const CtlCommand& command) {
    std::printf("%sLink options:\n%sOutput options:\n%s", command.help, kLinkOptionsHelp, kOutputOptionsHelp);
}

}  // namespace kvx
