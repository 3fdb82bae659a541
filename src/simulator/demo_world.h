#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/sim_network.h"
#include "platform/sim_serial.h"
#include "simulator/demo_devices.h"
#include "simulator/serial_device_host.h"
#include "simulator/sim_network_host.h"

namespace kvx {

// Simulated devices for the demo and for tests, with no network at all: each device of the set on its own
// host of an in-memory network (192.168.1.101, .102, ...), the PC at 192.168.1.10, and the first device also
// on a simulated serial line named "COM1".
class DemoWorld {
public:
    static constexpr uint32_t kPcAddress = 0xC0A8010A;           // 192.168.1.10
    static constexpr uint32_t kFirstDeviceAddress = 0xC0A80165;  // 192.168.1.101
    static constexpr const char* kSerialPortName = "COM1";

    explicit DemoWorld(Clock& clock, const std::vector<SimulatedDevice::Identity>& set = demoIdentities(),
                       SerialReplyPacing serialPacing = {});
    ~DemoWorld();
    DemoWorld(const DemoWorld&) = delete;
    DemoWorld& operator=(const DemoWorld&) = delete;

    // The PC's side: sockets on the PC's host, and serial ports with the demo line.
    std::shared_ptr<Network> pcNetwork();
    SerialPorts& pcSerialPorts() { return serialPorts_; }

    SimNetwork& network() { return network_; }
    SimSerialLine& serialLine() { return *serialLine_; }
    const std::vector<std::unique_ptr<SimulatedDevice>>& devices() const { return devices_; }
    uint32_t deviceAddress(size_t index) const { return kFirstDeviceAddress + static_cast<uint32_t>(index); }

private:
    SimNetwork network_;
    std::vector<std::unique_ptr<SimulatedDevice>> devices_;
    std::vector<std::unique_ptr<SimNetworkDeviceHost>> hosts_;
    std::shared_ptr<SimSerialLine> serialLine_;
    std::unique_ptr<SimSerialLineHost> serialHost_;
    SimSerialPorts serialPorts_;
};

}  // namespace kvx
