#pragma once

#include "ctl_command.h"

namespace kvx {

// The matrix switchers' commands of korvelux-ctl.
CtlCommand routeCommand();   // one routing text, built as the panels build it
CtlCommand matrixCommand();  // matrix status (both read-backs) and matrix format (the 16x16's output format)
CtlCommand backlightCommand();  // the front panel's backlight time and brightness

}  // namespace kvx
