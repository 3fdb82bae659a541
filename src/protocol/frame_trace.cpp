#include "protocol/frame_trace.h"

#include <algorithm>
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

namespace {

double monotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// With outputMutex() held.
void writeLine(double seconds, TraceDirection direction, std::string_view link,
               std::span<const uint8_t> bytes) {
    if (!output) return;
    std::fputs(frameTraceLine(seconds, direction, link, bytes).c_str(), output);
    std::fflush(output);
}

}  // namespace

void traceFrame(TraceDirection direction, std::string_view link, std::span<const uint8_t> bytes) {
    std::lock_guard lock(outputMutex());
    writeLine(monotonicSeconds(), direction, link, bytes);
}

std::optional<size_t> tracedSend(std::string_view link, std::span<const uint8_t> bytes,
                                 const std::function<std::optional<size_t>()>& send) {
    std::lock_guard lock(outputMutex());
    const double seconds = monotonicSeconds();
    const std::optional<size_t> sent = send();
    if (sent && *sent > 0)
        writeLine(seconds, TraceDirection::Send, link, bytes.first(std::min(*sent, bytes.size())));
    return sent;
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
