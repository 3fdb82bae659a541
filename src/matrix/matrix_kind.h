#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/control_frame.h"

namespace kvx {

// The routing fields keep 16 elements whatever the switcher; the 8x8 uses the first 8.
inline constexpr int kMaxMatrixPorts = 16;

// What tells the two matrix switchers apart, for the routing logic, the replies and the exchanges.
struct MatrixKind {
    uint8_t type;                // DeviceType, also the type byte of the read routing request
    int ports;                   // inputs, and as many outputs
    bool hasOutputFormat;        // the routing reply carries the output format code before the name
    bool applyNeedsRoutedInput;  // apply does nothing unless the input is marked or routed somewhere
    size_t serialRoutingSize;    // a serial read routing waits for this many bytes
    int serialPollMs;            // pause between two serial polls of a read
};

inline constexpr MatrixKind kMatrix8x8{kType8x8, 8, false, false, 64, 50};
inline constexpr MatrixKind kMatrix16x16{kType16x16, 16, true, true, 73, 100};

}  // namespace kvx
