#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/udp_socket.h"

namespace kvx {

// An in-memory IPv4 network of hosts. A datagram to 255.255.255.255 reaches the sockets bound to its port on
// every host (the sender's own host included, as on a LAN); one to a host's address or to 127.0.0.1 reaches
// that host. The receiver sees the sender's true address and port. Nothing ever leaves the process.
//
// A simulated device can listen on a port without a thread of its own: its handler is called, in the sending
// thread and after the network's lock is released, for every datagram that reaches the port, and it answers
// through sendFrom(). So a request and its answer are in the requester's queue before sendTo() returns.
class SimNetwork {
public:
    using DatagramHandler = std::function<void(std::span<const uint8_t> datagram, Ipv4Endpoint from)>;

    SimNetwork();
    ~SimNetwork();
    SimNetwork(const SimNetwork&) = delete;
    SimNetwork& operator=(const SimNetwork&) = delete;

    // A Network whose sockets live on the host with this address (made on first use); it keeps the network
    // alive.
    std::shared_ptr<Network> host(uint32_t address);

    // Binds a handler to a port of a host; false when the port is taken. Undone by unlisten().
    bool listen(uint32_t hostAddress, uint16_t port, DatagramHandler handler);
    void unlisten(uint32_t hostAddress, uint16_t port);
    // Sends a datagram from a host's port (a listener's answer or a report of its own).
    void sendFrom(Ipv4Endpoint from, std::span<const uint8_t> datagram, Ipv4Endpoint to);

    // Every datagram that has crossed the network, in order, for tests.
    struct Record {
        Ipv4Endpoint from;
        Ipv4Endpoint to;
        std::vector<uint8_t> bytes;
    };
    std::vector<Record> traffic() const;
    void clearTraffic();

    struct Impl;

private:
    std::shared_ptr<Impl> impl_;
};

}  // namespace kvx
