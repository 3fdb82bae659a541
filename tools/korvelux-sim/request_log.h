#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kvx {

// "rx SOURCE A5 6C ..." on stderr, one line per request; whole lines even when two hosts log at once.
void logRequest(const std::string& source, std::span<const uint8_t> request);

}  // namespace kvx
