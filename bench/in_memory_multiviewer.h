#pragma once

// A simulated multiviewer at 192.168.1.101 on an in-memory network, and the PC's end of that network: for the
// benchmarks that open its panel without a real socket.

#include <memory>

#include "platform/sim_network.h"
#include "simulator/demo_devices.h"
#include "simulator/multiviewer_device.h"
#include "simulator/sim_network_host.h"

namespace kvx::bench {

struct InMemoryMultiviewer {
    static constexpr const char* kAddress = "192.168.1.101";

    SimNetwork network;
    MultiviewerDevice device{defaultIdentity(kTypeMultiviewer, 0)};
    SimNetworkDeviceHost deviceHost{network, 0xC0A80165, DeviceList{&device}};
    std::shared_ptr<Network> pc = network.host(0xC0A8010A);
};

}  // namespace kvx::bench
