#include "request_log.h"

#include <cstdio>
#include <mutex>

namespace kvx {

void logRequest(const std::string& source, std::span<const uint8_t> request) {
    static std::mutex mutex;
    std::string line = "rx " + source;
    char hex[4];
    for (uint8_t byte : request) {
        std::snprintf(hex, sizeof hex, " %02X", byte);
        line += hex;
    }
    line += '\n';
    std::lock_guard lock(mutex);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace kvx
