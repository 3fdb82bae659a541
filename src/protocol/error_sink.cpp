#include "protocol/error_sink.h"

#include <cstdio>

namespace kvx {

void writeDiagnostic(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace kvx
