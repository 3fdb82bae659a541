#include "platform/ipv4.h"

namespace kvx {

std::string formatIpv4(uint32_t address) {
    return std::to_string((address >> 24) & 0xFF) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::optional<uint32_t> parseIpv4(std::string_view text) {
    uint32_t address = 0;
    size_t pos = 0;
    for (int octet = 0; octet < 4; ++octet) {
        if (octet > 0) {
            if (pos >= text.size() || text[pos] != '.') return std::nullopt;
            ++pos;
        }
        // One to three decimal digits; always decimal, so "010" is ten and never read as octal.
        uint32_t value = 0;
        size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            if (++digits > 3) return std::nullopt;
            value = value * 10 + static_cast<uint32_t>(text[pos] - '0');
            ++pos;
        }
        if (digits == 0 || value > 255) return std::nullopt;
        address = (address << 8) | value;
    }
    if (pos != text.size()) return std::nullopt;
    return address;
}

}  // namespace kvx
