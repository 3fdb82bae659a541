#include "simulator/demo_devices.h"

#include <cstdio>
#include <utility>

#include "simulator/generic_device.h"
#include "simulator/matrix_switcher_device.h"
#include "simulator/multiviewer_device.h"

namespace kvx {

namespace {
constexpr uint8_t kTypeListedOnly = 0x60;

// Names carry no '-': the search ends a name at the first '-', x, '-' it finds.
const char* demoName(uint8_t type) {
    switch (type) {
        case kTypeMultiviewer:
            return "KVX_MV16";
        case kType8x8:
            return "KVX_MX0808";
        case kType16x16:
            return "TQL2408P";
        case kTypeListedOnly:
            return "KVX_EXT60";
        default:
            return nullptr;
    }
}
}  // namespace

SimulatedDevice::Identity defaultIdentity(uint8_t type, size_t position) {
    SimulatedDevice::Identity identity;
    identity.type = type;
    identity.sub = 0x01;
    if (const char* name = demoName(type)) {
        identity.name = name;
    } else {
        char generic[8];
        std::snprintf(generic, sizeof generic, "KVX_%02X", type);
        identity.name = generic;
    }
    // 'K', 'V', the position and the type: distinct within a set, and free of '-' (which would make the
    // search see a second name pattern) while the set holds fewer than 44 devices.
    identity.id = {0x4B, 0x56, static_cast<uint8_t>(position + 1), type};
    return identity;
}

std::vector<SimulatedDevice::Identity> demoIdentities() {
    const uint8_t types[] = {kTypeMultiviewer, kType8x8, kType16x16, kTypeListedOnly};
    std::vector<SimulatedDevice::Identity> set;
    for (uint8_t type : types) set.push_back(defaultIdentity(type, set.size()));
    return set;
}

std::unique_ptr<SimulatedDevice> makeSimulatedDevice(SimulatedDevice::Identity identity) {
    if (identity.type == kTypeMultiviewer) return std::make_unique<MultiviewerDevice>(std::move(identity));
    if (identity.type == kType8x8 || identity.type == kType16x16) {
        return std::make_unique<MatrixSwitcherDevice>(std::move(identity));
    }
    return std::make_unique<GenericDevice>(std::move(identity));
}

std::vector<std::unique_ptr<SimulatedDevice>> makeSimulatedDevices(
    const std::vector<SimulatedDevice::Identity>& set) {
    std::vector<std::unique_ptr<SimulatedDevice>> devices;
    for (const auto& identity : set) devices.push_back(makeSimulatedDevice(identity));
    return devices;
}

}  // namespace kvx
