#pragma once

#include <span>
#include <vector>

#include "simulator/simulated_device.h"

namespace kvx {

using DeviceList = std::vector<SimulatedDevice*>;  // not owned; the devices outlive their host

// Whether a request is a control frame (it starts A5 6C); anything else is an ASCII text.
bool startsLikeFrame(std::span<const uint8_t> request);

// Hands one request, as it came from a datagram or the serial line, to the devices it is for: the discovery
// probe to all of them, in order, another frame to the devices it addresses, and a text to all of them.
void deliverRequest(const DeviceList& devices, std::span<const uint8_t> request,
                    const SimulatedDevice::Reply& reply);

}  // namespace kvx
