#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/discovery.h"

// Where the multiviewer's status reply carries each field. Offsets are offsets of the reply frame; the status
// block keeps frame bytes 18 to 806, so frame offset o is block byte o - 18. The decoder and the encoder both
// read their positions from here.
namespace kvx::status {

inline constexpr size_t kBlockFirstFrameByte = 18;
inline constexpr size_t kBlockLastFrameByte = kBlockFirstFrameByte + kStatusBlockSize - 1;  // 806
inline constexpr size_t kSerialReplySize = 809;                   // what the serial read-back takes at once
inline constexpr size_t kMinReplyLength = kStatusBlockSize + 20;  // 809: 20 bytes of frame around the data

inline constexpr size_t kLayoutMode = 18;
inline constexpr size_t kOutputFormat = 19;  // bits 0 to 3
inline constexpr size_t kAudio = 20;         // bits 0 to 4 AudioSourceWindow, bit 7 AllAudioMeterOn
inline constexpr size_t kFlags = 21;         // the switches below
inline constexpr size_t kWindowSource = 22;  // 16 bytes, window 1 first
inline constexpr size_t kMatrixRoute = 38;   // 16 bytes, output 1 first

inline constexpr int kAudioSourceBits = 5;
inline constexpr int kAllAudioMeterBit = 7;

inline constexpr int kAllUmdOnBit = 0;
inline constexpr int kFormatStatusOnBit = 1;
inline constexpr int kTimecodeOnBit = 2;
inline constexpr int kAudioAlarmOnBit = 3;
inline constexpr int kBorderOnBit = 4;
inline constexpr int kDeviceDhcpOnBit = 6;
inline constexpr int kSwitcherModeBit = 7;

// Input records: byte 0 bit 0 UmdOn, bits 1 to 4 UmdTextColor; byte 1 bits 0 to 4 UmdBackColor.
inline constexpr size_t kInputRecords = 54;
inline constexpr size_t kInputRecordSize = 2;

// Window records: byte 0 bit 0 AudioMeterOn, bits 1 to 4 AudioChannelPair; byte 1 bits 0 to 5 signal format,
// bit 6 signal present; byte 2 bits 1 to 4 FormatTextColor; byte 3 bits 0 to 4 FormatBackColor; byte 4 bit 0
// kept, bits 1 to 4 TimecodeTextColor; byte 5 bits 0 to 4 TimecodeBackColor; byte 6 bit 0 kept; byte 7
// unused.
inline constexpr size_t kWindowRecords = 86;
inline constexpr size_t kWindowRecordSize = 8;
inline constexpr int kSignalPresentBit = 6;
inline constexpr int kSignalFormatBits = 6;

// UMD name records: byte 0 the length in bytes, then 34 bytes of UTF-16LE text.
inline constexpr size_t kUmdNameRecords = 214;
inline constexpr size_t kUmdNameRecordSize = 35;
inline constexpr size_t kUmdNameTextBytes = 34;
inline constexpr size_t kUmdNameMaxUnits = 16;  // the model keeps at most 16 code units

inline constexpr size_t kDeviceNameLength = 774;
inline constexpr size_t kDeviceName = 775;
inline constexpr size_t kDeviceNameMaxBytes = 32;

inline constexpr int kColorBits = 4;      // text colours
inline constexpr int kBackColorBits = 5;  // background colours
inline constexpr int kChannelPairBits = 4;

// Block index of a frame offset.
constexpr size_t at(size_t frameOffset) {
    return frameOffset - kBlockFirstFrameByte;
}

// Bits first .. first + count - 1 of a byte, shifted down.
constexpr uint8_t bitsOf(uint8_t value, int first, int count) {
    return static_cast<uint8_t>((value >> first) & ((1u << count) - 1u));
}
// Writes a field into those bits, leaving the others.
constexpr uint8_t withBits(uint8_t byte, int first, int count, uint8_t field) {
    const unsigned mask = ((1u << count) - 1u) << first;
    return static_cast<uint8_t>((byte & ~mask) | ((static_cast<unsigned>(field) << first) & mask));
}

}  // namespace kvx::status
