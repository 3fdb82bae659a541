#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace kvx {

using Bytes = std::vector<uint8_t>;

// Frame byte 6: the link a request goes out on. The main window's link choice holds the same value.
using LinkKind = uint8_t;
inline constexpr LinkKind kLinkSerial = 0;
inline constexpr LinkKind kLinkLan = 1;

namespace frame {
inline constexpr uint8_t kStart0 = 0xA5;
inline constexpr uint8_t kStart1 = 0x6C;
inline constexpr uint8_t kEnd = 0xAE;
inline constexpr size_t kHeaderSize = 17;   // bytes 0 to 16, the command byte included
inline constexpr size_t kOverhead = 20;     // header, checksum and end byte
inline constexpr size_t kTypeOffset = 4;
inline constexpr size_t kSubOffset = 5;
inline constexpr size_t kLinkOffset = 6;
inline constexpr size_t kDeviceIdOffset = 10;
inline constexpr size_t kCommandOffset = 16;
inline constexpr size_t kPayloadOffset = 17;
inline constexpr size_t kDataOffset = 18;   // where the data of a frame from a device starts
}  // namespace frame

// Device type codes (frame byte 4).
inline constexpr uint8_t kType8x8 = 0x82;
inline constexpr uint8_t kType16x16 = 0x83;
inline constexpr uint8_t kTypeMultiviewer = 0xA1;

// The 16-bit sum of the bytes, each taken unsigned, modulo 65536.
uint16_t checksum(std::span<const uint8_t> bytes);
// Packed BCD of 0 to 99: (v / 10) * 16 + v % 10.
uint8_t toBcd(int value);

// The one build rule of every request: header, payload from byte 17, checksum (low byte first), 0xAE.
Bytes buildFrame(uint8_t type, uint8_t sub, LinkKind link, uint8_t command, std::span<const uint8_t> payload = {});
inline Bytes buildFrame(uint8_t type, uint8_t sub, LinkKind link, uint8_t command,
                        std::initializer_list<uint8_t> payload) {
    return buildFrame(type, sub, link, command, std::span<const uint8_t>(payload.begin(), payload.size()));
}

// The fixed forms.
Bytes buildDiscoveryProbe(LinkKind link, const LocalDateTime& now);
Bytes buildPanelLock(uint8_t type, uint8_t sub, LinkKind link, bool locked);
Bytes buildCustomName(uint8_t type, uint8_t sub, LinkKind link, std::u16string_view name);
Bytes buildIndexedText(uint8_t type, uint8_t sub, LinkKind link, uint8_t index, std::u16string_view text);
Bytes buildNetworkSettings(uint8_t type, uint8_t sub, LinkKind link, const std::array<uint8_t, 12>& addresses,
                           uint8_t dhcpOn);
Bytes buildBacklightTime(uint8_t sub, LinkKind link, uint8_t value);        // type 0x03, command 0x51
Bytes buildBacklightBrightness(uint8_t sub, LinkKind link, uint8_t value);  // type 0x03, command 0x52
Bytes buildMatrixOutputFormat(uint8_t sub, LinkKind link, uint8_t code);    // type 0x83, command 0x19

// UTF-16LE code units of a text, two bytes each, no terminator.
Bytes utf16le(std::u16string_view text);

}  // namespace kvx
