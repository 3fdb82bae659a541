#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kvx {

// One entry of the 16x16 switcher's output format list: its text and the code the device uses for it
// (a code plus 16 is the same rate divided by 1.001).
struct MatrixOutputFormatEntry {
    std::string_view text;
    uint8_t code;
};

// By list position.
inline constexpr std::array<MatrixOutputFormatEntry, 21> kMatrixOutputFormats{{
    {"1080p60", 7},    {"1080p59.94", 23}, {"1080p50", 11},    {"1080p30", 3}, {"1080p29.97", 19},
    {"1080p25", 13},   {"1080p24", 5},     {"1080p23.98", 21}, {"1080i60", 9}, {"1080i59.94", 25},
    {"1080i50", 1},    {"720p60", 14},     {"720p59.94", 30},  {"720p50", 6},  {"720p30", 10},
    {"720p29.97", 26}, {"720p25", 2},      {"720p24", 12},     {"625i50", 4},  {"525i60", 8},
    {"525i59.94", 24},
}};

// The list position of a code the device reports; 0 ("1080p60") for a code the list does not hold.
inline constexpr uint8_t matrixOutputFormatPosition(uint8_t code) {
    for (size_t position = 0; position < kMatrixOutputFormats.size(); ++position) {
        if (kMatrixOutputFormats[position].code == code) return static_cast<uint8_t>(position);
    }
    return 0;
}

// The code of a list position; nothing for a position outside the list.
inline constexpr std::optional<uint8_t> matrixOutputFormatCode(int position) {
    if (position < 0 || position >= static_cast<int>(kMatrixOutputFormats.size())) return std::nullopt;
    return kMatrixOutputFormats[static_cast<size_t>(position)].code;
}

}  // namespace kvx
