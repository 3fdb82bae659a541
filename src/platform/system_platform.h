#pragma once

#include "platform/clock.h"
#include "platform/serial_device.h"
#include "platform/udp_socket.h"

namespace kvx {

// The machine's own clock, sockets and serial ports.
class SystemClock : public Clock {
public:
    int64_t steadyMs() override;
    LocalDateTime localNow() override;
    void sleepMs(int ms) override;
};

class PosixNetwork : public Network {
public:
    std::unique_ptr<UdpSocket> createUdpSocket() override;
};

class TermiosSerialPorts : public SerialPorts {
public:
    std::unique_ptr<SerialDevice> open(const std::string& name) override;
    // On Linux the ttyS, ttyUSB and ttyACM devices under /dev that exist, sorted by name.
    std::vector<std::string> list() override;
};

}  // namespace kvx
