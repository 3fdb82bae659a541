#include "simulator/demo_world.h"

namespace kvx {

DemoWorld::DemoWorld(Clock& clock, const std::vector<SimulatedDevice::Identity>& set,
                     SerialReplyPacing serialPacing)
    : devices_(makeSimulatedDevices(set)), serialLine_(std::make_shared<SimSerialLine>(clock)) {
    for (size_t i = 0; i < devices_.size(); ++i) {
        hosts_.push_back(std::make_unique<SimNetworkDeviceHost>(network_, deviceAddress(i),
                                                                DeviceList{devices_[i].get()}));
    }
    if (!devices_.empty()) {
        serialHost_ = std::make_unique<SimSerialLineHost>(*serialLine_, *devices_.front(), serialPacing);
    }
    serialPorts_.add(kSerialPortName, serialLine_);
}

DemoWorld::~DemoWorld() = default;

std::shared_ptr<Network> DemoWorld::pcNetwork() {
    return network_.host(kPcAddress);
}

}  // namespace kvx
