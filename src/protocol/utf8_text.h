#pragma once

#include <optional>
#include <string>

namespace kvx {

// The model keeps its texts as UTF-16; the command line reads and writes UTF-8. A lone surrogate is written
// as U+FFFD.
std::string toUtf8(const std::u16string& text);
// None for bytes that are not UTF-8.
std::optional<std::u16string> fromUtf8(const std::string& text);

}  // namespace kvx
