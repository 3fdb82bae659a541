#pragma once

#include "platform/clock.h"
#include "platform/serial_device.h"
#include "platform/udp_socket.h"

namespace kvx {

// What the window runs on: the real sockets, ports and clock, or the demo's simulated ones.
struct AppPlatform {
    Network& network;
    Clock& clock;
    SerialPorts& serialPorts;
    // Pixels per inch, read once at set-up; 0 asks the screen.
    int dpiX = 0;
    int dpiY = 0;
};

}  // namespace kvx
