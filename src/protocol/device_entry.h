#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kvx {

// One discovered device, 23 bytes as the main window's table keeps it.
struct DeviceEntry {
    std::array<char, 16> addressText{};  // dotted decimal, zero padded (empty for a serial find)
    uint8_t subCode = 0;
    uint8_t deviceType = 0;
    std::array<uint8_t, 4> deviceId{};
    uint8_t modelFlag = 0;  // 1 when the device's name is exactly "TQL2408P"

    std::string address() const;  // the address text up to its first zero byte
    void setAddress(const std::string& dotted);
    friend bool operator==(const DeviceEntry&, const DeviceEntry&) = default;
};
static_assert(sizeof(DeviceEntry) == 23, "a device entry is 23 bytes");

inline constexpr size_t kDeviceTableSize = 256;
inline constexpr const char* kModelFlagName = "TQL2408P";

}  // namespace kvx
