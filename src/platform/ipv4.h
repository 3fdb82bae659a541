#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvx {

// An IPv4 address in host byte order (192.168.1.2 is 0xC0A80102) and a port.
struct Ipv4Endpoint {
    uint32_t address = 0;
    uint16_t port = 0;
    friend bool operator==(const Ipv4Endpoint&, const Ipv4Endpoint&) = default;
};

inline constexpr uint32_t kAnyAddress = 0;
inline constexpr uint32_t kBroadcastAddress = 0xFFFFFFFFu;
inline constexpr uint32_t kLoopbackAddress = 0x7F000001u;

// "192.168.1.2" for 0xC0A80102.
std::string formatIpv4(uint32_t address);
// Dotted decimal with exactly four octets of 0 to 255; nothing else is accepted.
std::optional<uint32_t> parseIpv4(std::string_view text);

}  // namespace kvx
