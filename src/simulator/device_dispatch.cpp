#include "simulator/device_dispatch.h"

#include <string_view>

namespace kvx {

bool startsLikeFrame(std::span<const uint8_t> request) {
    return request.size() >= 2 && request[0] == frame::kStart0 && request[1] == frame::kStart1;
}

void deliverRequest(const DeviceList& devices, std::span<const uint8_t> request,
                    const SimulatedDevice::Reply& reply) {
    if (request.empty()) return;
    if (!startsLikeFrame(request)) {
        const std::string_view text(reinterpret_cast<const char*>(request.data()), request.size());
        for (SimulatedDevice* device : devices) device->handleText(text);
        return;
    }
    const bool probe = SimulatedDevice::isDiscoveryProbe(request);
    for (SimulatedDevice* device : devices) {
        if (probe || device->isAddressedBy(request)) device->handleFrame(request, reply);
    }
}

}  // namespace kvx
