#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/ipv4.h"

namespace kvx {

// How a wait for a datagram ended.
enum class SocketWait {
    Datagram,     // one is waiting (or an error is, which the next receive takes)
    Interrupted,  // interruptWait() was called
    Failed,       // the socket is closed, or the wait itself failed
};

// One IPv4 datagram socket. The real one sits on BSD sockets; the simulated network provides a twin.
class UdpSocket {
public:
    virtual ~UdpSocket() = default;

    virtual bool enableBroadcast() = 0;
    virtual bool bind(Ipv4Endpoint local) = 0;
    virtual bool setNonBlocking() = 0;
    // Sends one datagram; returns the bytes sent or -1.
    virtual int sendTo(std::span<const uint8_t> datagram, Ipv4Endpoint to) = 0;
    // Takes one waiting datagram into the buffer (a longer datagram is cut to the buffer's size, the rest is
    // lost as with any datagram socket). Returns its length, or 0 or less when none is waiting or on error.
    // `from` receives the sender's address and port.
    virtual int receiveFrom(std::span<uint8_t> buffer, Ipv4Endpoint& from) = 0;
    // Blocks the calling thread, using no processor time, until a datagram is waiting or the wait is
    // interrupted. Returns at once when one is already waiting.
    virtual SocketWait waitForDatagram() = 0;
    // Ends the wait in progress and makes every later wait return Interrupted at once, so a thread that
    // checks its own stop flag between waits cannot miss it. Safe from any thread until the socket is
    // destroyed, also while another thread closes it.
    virtual void interruptWait() = 0;
    virtual void close() = 0;
};

// Makes sockets: the machine's own network, or a simulated one.
class Network {
public:
    virtual ~Network() = default;
    // Starts the sockets library where the platform has one; false when it cannot be started.
    virtual bool start() { return true; }
    // An unbound datagram socket, or nullptr when the platform refuses to create one.
    virtual std::unique_ptr<UdpSocket> createUdpSocket() = 0;
};

}  // namespace kvx
