#pragma once

#include <cstdint>
#include <memory>

#include "platform/sim_network.h"
#include "simulator/device_dispatch.h"

namespace kvx {

// Puts devices on one host of the in-memory network: they listen on port 7000 of the host's address, answer
// the sender, and send their reports to port 7001 of the PC that last spoke to them.
class SimNetworkDeviceHost {
public:
    SimNetworkDeviceHost(SimNetwork& network, uint32_t hostAddress, DeviceList devices);
    ~SimNetworkDeviceHost();
    SimNetworkDeviceHost(const SimNetworkDeviceHost&) = delete;
    SimNetworkDeviceHost& operator=(const SimNetworkDeviceHost&) = delete;

    // False when port 7000 of the host was taken already.
    bool listening() const { return listening_; }
    uint32_t address() const;

    struct State;

private:
    std::shared_ptr<State> state_;  // shared with the handler and the report sinks
    bool listening_ = false;
};

}  // namespace kvx
