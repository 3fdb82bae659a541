#pragma once

#include "multiviewer/multiviewer_state.h"

namespace kvx {

// The status block that a device in the given state answers with: the inverse of decodeStatusBlock for every
// device field (bits that nothing decodes are zero). Names longer than their record are cut: a UMD name to
// 16 code units, the device name to 16 code units (32 bytes).
StatusBlock encodeStatusBlock(const MultiviewerState& state);

}  // namespace kvx
