#include "matrix_texts.h"

#include <strings.h>

#include "ctl_command.h"
#include "matrix/output_formats.h"
#include "matrix_target.h"

namespace kvx {

namespace {
bool sameText(const std::string& a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), b.size()) == 0;
}
}  // namespace

std::string backlightTimeText(uint8_t time) {
    if (time < kBacklightTimeTexts.size()) return std::string(kBacklightTimeTexts[time]);
    return std::to_string(time);
}

uint8_t parseBacklightTime(const std::string& text) {
    for (size_t position = 0; position < kBacklightTimeTexts.size(); ++position) {
        if (sameText(text, kBacklightTimeTexts[position])) return static_cast<uint8_t>(position);
    }
    return static_cast<uint8_t>(
        parseNumber(text, 0, static_cast<int>(kBacklightTimeTexts.size()) - 1, "backlight time"));
}

int parseMatrixOutputFormat(const std::string& text) {
    for (size_t position = 0; position < kMatrixOutputFormats.size(); ++position) {
        if (sameText(text, kMatrixOutputFormats[position].text)) return static_cast<int>(position);
    }
    throw UsageError("unknown output format '" + text + "' (see korvelux-ctl matrix --help)");
}

}  // namespace kvx
