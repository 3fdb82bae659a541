#pragma once

#include <string>

#include "simulator/simulated_device.h"

namespace kvx {

// A device of a type that has no protocol of its own here (and the stand-in for one whose protocol is not
// simulated yet): it answers the probe and keeps what every device is told, the panel lock and custom name.
class GenericDevice : public SimulatedDevice {
public:
    using SimulatedDevice::SimulatedDevice;

    bool panelLocked() const;
    std::u16string customName() const;

protected:
    void onFrame(std::span<const uint8_t> frame, const Reply& reply) override;

private:
    bool panelLocked_ = false;
    std::u16string customName_;
};

}  // namespace kvx
