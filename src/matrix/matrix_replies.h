#pragma once

// The two read-back replies of the matrix switchers, read in place from the received bytes.
//
// Untrusted input: nothing is read past the received bytes. A reply too short to hold its fixed fields (up to
// and including the name length byte, or both backlight bytes) is not used at all. A name that is cut short
// keeps the whole UTF-16 code units that arrived; an odd last byte is dropped.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "matrix/matrix_kind.h"
#include "matrix/output_formats.h"
#include "protocol/control_frame.h"

namespace kvx {

inline constexpr uint8_t kReadRoutingCommand = 0x53;
inline constexpr uint8_t kBacklightType = 0x03;  // type byte of every backlight request
inline constexpr uint8_t kReadBacklightCommand = 0x50;
inline constexpr size_t kBacklightReplySize = 23;  // what a serial read backlight waits for
inline constexpr size_t kMaxMatrixNameBytes = 32;

struct MatrixRoutingReply {
    std::array<uint8_t, kMaxMatrixPorts> routes{};  // input carried by output k in element k - 1
    uint8_t panelLocked = 0;                        // as the device sent it
    uint8_t dhcpOn = 0;
    uint8_t outputFormatCode = 0;      // 16x16 only
    uint8_t outputFormatPosition = 0;  // its list position, 0 for a code the list does not hold
    // The device's name when the length byte is 1 to 32; otherwise none, and the name box shows "Custom
    // Name".
    std::optional<std::u16string> name;
};

struct BacklightReply {
    uint8_t time = 0;        // list position of the backlight time
    uint8_t brightness = 0;  // percent
};

// Where the fields of a routing reply sit: the routes from byte 18, then lock, DHCP, (the 16x16's format
// code), the name length and the name.
struct RoutingReplyOffsets {
    size_t lock, dhcp, format, nameLength, name;
};

inline constexpr RoutingReplyOffsets routingReplyOffsets(const MatrixKind& kind) {
    const size_t lock = frame::kDataOffset + static_cast<size_t>(kind.ports);
    const size_t format = lock + 2;
    const size_t nameLength = kind.hasOutputFormat ? format + 1 : format;
    return {lock, lock + 1, format, nameLength, nameLength + 1};
}

std::optional<MatrixRoutingReply> parseRoutingReply(std::span<const uint8_t> bytes, const MatrixKind& kind);
std::optional<BacklightReply> parseBacklightReply(std::span<const uint8_t> bytes);

}  // namespace kvx
