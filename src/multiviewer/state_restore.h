#pragma once

#include <vector>

#include "multiviewer/multiviewer_state.h"
#include "protocol/control_frame.h"
#include "protocol/device_link.h"

namespace kvx {

// The requests that bring a multiviewer to the settings of `wanted` (the restored fields of stateFields()),
// built by the panel's own senders for the target, in an order the device can follow:
//   multiviewer mode, the layout and each window's source; switcher mode and each output's route; then the
//   wanted mode; the UMD names, each label's switch and the all-labels switch; the six colours of each input
//   and window; border, format status and time code; audio source, each meter and the all-meters switch,
//   each channel pair and the alarm; the output format last, as it may restart the device's output.
// A value that a sender refuses (a source of 0, say) sends nothing; the read-back then shows the field.
std::vector<Bytes> restoreFrames(const MultiviewerState& wanted, const Target& target);

}  // namespace kvx
