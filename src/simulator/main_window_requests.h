#pragma once

#include <cstdint>

namespace kvx {

// The main window's requests, which every simulated device takes whatever its type.
namespace windowreq {
inline constexpr uint8_t kNetworkSettings = 0x05;
inline constexpr uint8_t kCustomName = 0x0F;
inline constexpr uint8_t kPanelLock = 0x50;  // the matrix backlight read's code too, told apart by the type byte
}  // namespace windowreq

}  // namespace kvx
