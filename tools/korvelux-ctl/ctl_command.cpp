#include "ctl_command.h"

#include <charconv>
#include <cstdio>

namespace kvx {

int parseNumber(const std::string& text, int first, int last, const char* what) {
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < first || value > last) {
        throw UsageError(std::string("bad ") + what + " '" + text + "' (" + std::to_string(first) + " to " +
                         std::to_string(last) + ")");
    }
    return value;
}

void printJson(const Json& document) {
    std::fputs(writeJson(document).c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace kvx
