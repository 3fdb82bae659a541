#include "protocol/frame_trace.h"

#include <chrono>
#include <mutex>

namespace kvx {

namespace {

std::mutex& outputMutex() {
    static std::mutex mutex;
    return mutex;
}
std::FILE* output = nullptr;  // guarded by outputMutex()

std::string endpointText(Ipv4Endpoint endpoint) {
    return formatIpv4(endpoint.address) + ":" + std::to_string(endpoint.port);
}

}  // namespace

void enableFrameTrace(std::FILE* out) {
    std::lock_guard lock(outputMutex());
    output = out;
    trace_detail::enabled.store(out != nullptr, std::memory_order_relaxed);
}

void disableFrameTrace() {
    enableFrameTrace(nullptr);
}

std::string frameTraceLine(double seconds, TraceDirection direction, std::string_view link,
                           std::span<const uint8_t> bytes) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%.6f", seconds);
    std::string line = stamp;
    line += direction == TraceDirection::Send ? " send " : " recv ";
    line += link;
    static constexpr char kHex[] = "0123456789ABCDEF";
    line.reserve(line.size() + bytes.size() * 3 + 1);
    for (uint8_t b : bytes) {
        line += ' ';
        line += kHex[b >> 4];
        line += kHex[b & 0x0F];
    }
    line += '\n';
    return line;
}

void traceFrame(TraceDirection direction, std::string_view link, std::span<const uint8_t> bytes) {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const double seconds = std::chrono::duration<double>(since).count();
    const std::string line = frameTraceLine(seconds, direction, link, bytes);
    std::lock_guard lock(outputMutex());
    if (!output) return;
    std::fputs(line.c_str(), output);
    std::fflush(output);
}

std::string lanTraceLink(Ipv4Endpoint peer) {
    return "lan:" + endpointText(peer);
}

std::string reportTraceLink(Ipv4Endpoint sender) {
    return "report:" + endpointText(sender);
}

std::string serialTraceLink(std::string_view portName) {
    return "serial:" + std::string(portName);
}

}  // namespace kvx
