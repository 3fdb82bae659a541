#include "simulator/generic_device.h"

#include "simulator/main_window_requests.h"

namespace kvx {

bool GenericDevice::panelLocked() const {
    std::lock_guard lock(mutex_);
    return panelLocked_;
}

std::u16string GenericDevice::customName() const {
    std::lock_guard lock(mutex_);
    return customName_;
}

void GenericDevice::onFrame(std::span<const uint8_t> frame, const Reply&) {
    // The payload lies between byte 17 and the checksum; the length field may not be trusted.
    const std::span<const uint8_t> payload =
        frame.subspan(frame::kPayloadOffset, frame.size() - frame::kOverhead);
    std::lock_guard lock(mutex_);
    switch (frame[frame::kCommandOffset]) {
        case windowreq::kPanelLock:
            if (!payload.empty()) panelLocked_ = payload[0] != 0;
            break;
        case windowreq::kCustomName:
            customName_.clear();
            for (size_t i = 0; i + 1 < payload.size(); i += 2) {
                customName_.push_back(static_cast<char16_t>(payload[i] | (payload[i + 1] << 8)));
            }
            break;
        default:
            break;
    }
}

}  // namespace kvx
