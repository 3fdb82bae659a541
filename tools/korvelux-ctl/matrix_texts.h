#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "matrix/backlight_times.h"

namespace kvx {

// The list text of a BacklightTime; a value the list does not hold, as a number.
std::string backlightTimeText(uint8_t time);
// A list position 0 to 4 or its text (letter case aside); UsageError otherwise.
uint8_t parseBacklightTime(const std::string& text);
// The position in the 16x16's output format list of one of its texts (letter case aside); UsageError
// otherwise.
int parseMatrixOutputFormat(const std::string& text);

}  // namespace kvx
