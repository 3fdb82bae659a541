#pragma once
// Sockets on 127.0.0.1, for tests that run the same cases over the machine's own sockets (nothing beyond
// loopback) and over the in-memory network.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/sim_network.h"
#include "platform/system_platform.h"

namespace kvx::test {

// A non-blocking socket bound to some free loopback port, which is returned in `port`; nullptr when none of
// the bounded tries found one.
inline std::unique_ptr<UdpSocket> loopbackSocket(Network& net, uint16_t& port) {
    for (int i = 0; i < 200; ++i) {
        auto socket = net.createUdpSocket();
        if (!socket) return nullptr;
        const auto candidate = static_cast<uint16_t>(20000 + (getpid() * 7 + i * 131) % 30000);
        if (socket->bind({kLoopbackAddress, candidate}) && socket->setNonBlocking()) {
            port = candidate;
            return socket;
        }
    }
    return nullptr;
}

// A network to run a parameterised test on; a datagram sent to 127.0.0.1 reaches the same host on both.
struct NetworkKind {
    const char* name;
    std::function<std::shared_ptr<Network>()> make;
};

inline const NetworkKind kLoopbackNetwork{"Loopback", [] { return std::make_shared<PosixNetwork>(); }};
inline const NetworkKind kInMemoryNetwork{"InMemory", [] { return SimNetwork().host(0x0A000001); }};

inline void PrintTo(const NetworkKind& kind, std::ostream* out) { *out << kind.name; }

inline std::string networkKindName(const ::testing::TestParamInfo<NetworkKind>& info) {
    return info.param.name;
}

}  // namespace kvx::test
