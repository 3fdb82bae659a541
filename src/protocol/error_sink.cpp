#include "protocol/error_sink.h"

#include <atomic>

namespace kvx {

namespace {
std::atomic<std::FILE*> diagnostics{nullptr};  // none: standard output
}

void writeDiagnostic(const std::string& line) {
    std::FILE* out = diagnostics.load();
    if (!out) out = stdout;
    std::fwrite(line.data(), 1, line.size(), out);
    std::fflush(out);
}

void sendDiagnosticsTo(std::FILE* out) {
    diagnostics.store(out);
}

}  // namespace kvx
