#pragma once

#include <array>
#include <string_view>

namespace kvx {

// The backlight time list of both matrix panels, by BacklightTime.
inline constexpr std::array<std::string_view, 5> kBacklightTimeTexts{"15s Dim", "60s Dim", "15s Off", "60s Off",
                                                                     "Always On"};

}  // namespace kvx
