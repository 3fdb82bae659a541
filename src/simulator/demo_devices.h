#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "simulator/simulated_device.h"

namespace kvx {

// The standard demo set, in this order: a multiviewer (0xA1), an 8x8 matrix switcher (0x82), a 16x16 matrix
// switcher named "TQL2408P" (so its entry carries the model flag) and a device of type 0x60 that can only be
// listed. Distinct DeviceIds; callers may change names, sub codes and ids before making the devices.
std::vector<SimulatedDevice::Identity> demoIdentities();

// A device of the given type with the demo name of that type (or "KVX_<TT>"), sub code 1 and a DeviceId made
// from its position in a set, so that the devices of one set differ.
SimulatedDevice::Identity defaultIdentity(uint8_t type, size_t position);

// A device of the class that simulates its type (the generic device for types without a class of their own).
std::unique_ptr<SimulatedDevice> makeSimulatedDevice(SimulatedDevice::Identity identity);
std::vector<std::unique_ptr<SimulatedDevice>> makeSimulatedDevices(
    const std::vector<SimulatedDevice::Identity>& set);

}  // namespace kvx
