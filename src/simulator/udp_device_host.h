#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "platform/udp_socket.h"
#include "simulator/device_dispatch.h"

namespace kvx {

// Called for every request a host takes in, before the devices see it (the simulator's log).
using RequestMonitor = std::function<void(Ipv4Endpoint from, std::span<const uint8_t> request)>;

// Puts devices on one UDP socket of a real (or any) network: a receive thread hands every datagram to the
// devices, answers go back to the sender, reports go to port 7001 of the last sender.
class UdpDeviceHost {
public:
    static constexpr uint16_t kDefaultPort = 7000;

    UdpDeviceHost(Network& network, DeviceList devices, RequestMonitor monitor = {});
    ~UdpDeviceHost();
    UdpDeviceHost(const UdpDeviceHost&) = delete;
    UdpDeviceHost& operator=(const UdpDeviceHost&) = delete;

    // Creates and binds the socket and starts the receive thread; false when the socket cannot be made or
    // bound (the port in use, an address the machine does not have).
    bool start(Ipv4Endpoint local);
    // Ends the receive thread and closes the socket; also done by the destructor.
    void stop();

private:
    void receiveLoop();
    void sendTo(std::span<const uint8_t> datagram, Ipv4Endpoint to);

    Network& network_;
    DeviceList devices_;
    RequestMonitor monitor_;
    std::mutex socketMutex_;  // the receive thread and reports from other threads share the socket
    std::unique_ptr<UdpSocket> socket_;
    std::atomic<bool> running_{false};
    std::atomic<uint32_t> lastSender_{0};
    std::thread thread_;
};

}  // namespace kvx
