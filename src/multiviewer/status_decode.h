#pragma once

#include <optional>
#include <span>
#include <string>

#include "multiviewer/multiviewer_state.h"

namespace kvx {

inline constexpr const char16_t* kCustomNameText = u"Custom Name";
inline constexpr int kLockButtonLockedBitmap = 135;
inline constexpr int kLockButtonUnlockedBitmap = 132;

// What the main window shows after a decode.
struct DecodeResult {
    std::u16string nameBoxText;
    int lockButtonBitmap = kLockButtonUnlockedBitmap;
};

// Decodes the model's StatusBlock into its device fields and sets StatusLoaded. Derived data and pages are
// the caller's to refresh.
DecodeResult decodeStatusBlock(MultiviewerState& state);

// A datagram on the command socket is the status reply when it is not empty, answers 0x0A, comes from a
// multiviewer and carries the whole block (809 bytes or more).
bool isLanStatusReply(std::span<const uint8_t> datagram);
// Frame bytes 18 to 806 of a reply (an accepted LAN reply, or the 809 bytes that the serial read-back takes
// as they come); none when the reply is too short to hold them.
std::optional<StatusBlock> statusBlockOf(std::span<const uint8_t> reply);

}  // namespace kvx
