#include "simulator/sim_network_host.h"

#include <atomic>
#include <utility>

#include "protocol/udp_link.h"

namespace kvx {

struct SimNetworkDeviceHost::State {
    State(SimNetwork& onNetwork, uint32_t hostAddress, DeviceList hosted)
        : network(onNetwork), address(hostAddress), devices(std::move(hosted)) {}

    SimNetwork& network;
    uint32_t address;
    DeviceList devices;
    std::atomic<uint32_t> lastPc{0};  // 0 until a PC has spoken

    Ipv4Endpoint self() const { return {address, kControlPort}; }
};

SimNetworkDeviceHost::SimNetworkDeviceHost(SimNetwork& network, uint32_t hostAddress, DeviceList devices)
    : state_(std::make_shared<State>(network, hostAddress, std::move(devices))) {
    std::weak_ptr<State> weak = state_;
    listening_ = network.listen(
        hostAddress, kControlPort, [weak](std::span<const uint8_t> datagram, Ipv4Endpoint from) {
            const auto state = weak.lock();
            if (!state) return;
            state->lastPc = from.address;
            deliverRequest(state->devices, datagram, [&state, from](const Bytes& answer) {
                state->network.sendFrom(state->self(), answer, from);
            });
        });
    for (SimulatedDevice* device : state_->devices) {
        device->setReportSink([weak](const Bytes& frame) {
            const auto state = weak.lock();
            if (!state || state->lastPc == 0) return;
            state->network.sendFrom(state->self(), frame, {state->lastPc, kReportPort});
        });
    }
}

SimNetworkDeviceHost::~SimNetworkDeviceHost() {
    for (SimulatedDevice* device : state_->devices) device->setReportSink({});
    if (listening_) state_->network.unlisten(state_->address, kControlPort);
}

uint32_t SimNetworkDeviceHost::address() const {
    return state_->address;
}

}  // namespace kvx
