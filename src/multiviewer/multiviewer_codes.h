#pragma once

#include <cstdint>

namespace kvx {

// Command codes (frame byte 16) of the multiviewer's requests, and of its reports, which reuse the request's
// code for the same change.
namespace mv {
inline constexpr uint8_t kReadStatus = 0x0A;
inline constexpr uint8_t kLoadDefault = 0x0B;
inline constexpr uint8_t kSetOutputFormat = 0x19;
inline constexpr uint8_t kSetUmdName = 0x1E;
inline constexpr uint8_t kSetLayout = 0x33;
inline constexpr uint8_t kSetSource = 0x34;
inline constexpr uint8_t kSetUmdOn = 0x36;
inline constexpr uint8_t kSetAudioMeterOn = 0x37;
inline constexpr uint8_t kStateChanged = 0x38;  // report only
inline constexpr uint8_t kSetAudioSource = 0x39;
inline constexpr uint8_t kFormatStatusSwitched = 0x3A;  // report only
inline constexpr uint8_t kSetUmdTextColor = 0x3B;
inline constexpr uint8_t kSetUmdBackColor = 0x3C;
inline constexpr uint8_t kSetFormatTextColor = 0x3D;
inline constexpr uint8_t kSetFormatBackColor = 0x3E;
inline constexpr uint8_t kSetBorder = 0x3F;
inline constexpr uint8_t kWindowSignal = 0x51;  // report only
inline constexpr uint8_t kSetAudioChannel = 0x52;
inline constexpr uint8_t kTimecodeSwitched = 0x53;  // report only
inline constexpr uint8_t kSetTimecodeTextColor = 0x54;
inline constexpr uint8_t kSetTimecodeBackColor = 0x55;
inline constexpr uint8_t kSetAudioAlarm = 0x56;
inline constexpr uint8_t kSetUmdSize = 0x57;
inline constexpr uint8_t kSaveCustom = 0x58;
inline constexpr uint8_t kLoadCustom = 0x59;
inline constexpr uint8_t kResetMatrix = 0x5A;
inline constexpr uint8_t kSetAllAudioMeters = 0x5B;
inline constexpr uint8_t kSetAllUmd = 0x5C;
inline constexpr uint8_t kSetFormatStatus = 0x5D;
inline constexpr uint8_t kSetTimecode = 0x5E;
inline constexpr uint8_t kSetWorkMode = 0x62;
inline constexpr uint8_t kSetDhcp = 0x63;

inline constexpr int kAllMetersIndex = 64;  // SetAudioMeterOn's index for the all-meters switch
}  // namespace mv

}  // namespace kvx
