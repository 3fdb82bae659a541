#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ipv4.h"
#include "simulator/simulated_device.h"

namespace kvx {

struct SimOptions {
    Ipv4Endpoint bind{kAnyAddress, 7000};
    bool udp = true;
    std::vector<SimulatedDevice::Identity> devices;  // the demo set when none is given
    bool serial = false;
    int serialPieces = 1;
    bool frontPanelDemo = false;   // the multiviewers change something on their front panel every few seconds
    int frontPanelIntervalMs = 4000;
    bool frontPanelInput = false;  // front-panel actions of the first multiviewer read from standard input
    std::vector<uint8_t> ignoredCommands;  // request codes that the devices do not act on
    bool help = false;
};

// The options, or nothing with the reason in `error`.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string& error);
// TYPE[:NAME[:SUB[:ID]]]: hex type, a name without '-', hex sub code, 8 hex digits of DeviceId.
std::optional<SimulatedDevice::Identity> parseDeviceOption(const std::string& option, size_t position,
                                                           std::string& error);
const char* simUsage();

}  // namespace kvx
