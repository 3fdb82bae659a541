#pragma once

#include "ctl_command.h"

namespace kvx {

// The multiviewer's commands of korvelux-ctl.
CtlCommand statusCommand();  // the status read-back, printed field by field
CtlCommand mvCommand();     // one request of the multiviewer's command set, or a save or restore of its state
CtlCommand watchCommand();  // the multiviewer's reports as they arrive

}  // namespace kvx
