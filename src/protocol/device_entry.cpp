#include "protocol/device_entry.h"

#include <algorithm>
#include <cstring>

namespace kvx {

std::string DeviceEntry::address() const {
    const auto end = std::find(addressText.begin(), addressText.end(), '\0');
    return std::string(addressText.begin(), end);
}

void DeviceEntry::setAddress(const std::string& dotted) {
    addressText.fill('\0');
    // At most 15 characters, so the text always ends with a zero byte.
    std::memcpy(addressText.data(), dotted.data(), std::min(dotted.size(), addressText.size() - 1));
}

}  // namespace kvx
