#pragma once
// Frames as korvelux-sim logs them on stderr: " A5 6C 15 ...", each byte after a space.
#include <cstdio>
#include <string>

#include "protocol/control_frame.h"

namespace kvx::e2e {

inline std::string hex(const Bytes& bytes) {
    std::string out;
    char byte[4];
    for (uint8_t b : bytes) {
        std::snprintf(byte, sizeof byte, " %02X", b);
        out += byte;
    }
    return out;
}

}  // namespace kvx::e2e
