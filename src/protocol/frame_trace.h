#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ipv4.h"

namespace kvx {

// Field debugging (korvelux --trace, korvelux-ctl --trace): every frame the PC sends or receives, one line
// each: a monotonic timestamp in seconds, the direction, the link and the bytes in hex,
//   1234.567890 send lan:192.168.1.101:7000 A5 6C 14 00 ...
// The links: lan:ADDRESS:PORT (the peer of the command socket on port 7000), report:ADDRESS:PORT (a
// datagram that arrived on the report port 7001), serial:PORT (the serial port by the name it was opened
// with). Bytes read from a serial port are traced as they are read, which need not be whole frames.
// While the trace is off each place that could trace costs one test of a flag.

enum class TraceDirection { Send, Receive };

namespace trace_detail {
inline std::atomic<bool> enabled{false};
}

inline bool frameTraceOn() {
    return trace_detail::enabled.load(std::memory_order_relaxed);
}

// Lines go to `out` from now on (the programs pass stderr); each line is written and flushed whole, from
// any thread.
void enableFrameTrace(std::FILE* out);
void disableFrameTrace();

// Writes the line of one frame; call only when frameTraceOn(). Lines come out in the order of their
// timestamps.
void traceFrame(TraceDirection direction, std::string_view link, std::span<const uint8_t> bytes);

// Sends with `send`, which returns how many of `bytes` went out (nothing when the send failed), and traces
// what went out; call only when frameTraceOn(). Other lines wait until this one is written, so a reply that
// another thread receives before `send` has returned is never traced ahead of its request.
std::optional<size_t> tracedSend(std::string_view link, std::span<const uint8_t> bytes,
                                 const std::function<std::optional<size_t>()>& send);

// The link texts.
std::string lanTraceLink(Ipv4Endpoint peer);
std::string reportTraceLink(Ipv4Endpoint sender);
std::string serialTraceLink(std::string_view portName);

// One line, newline included, for a timestamp in seconds.
std::string frameTraceLine(double seconds, TraceDirection direction, std::string_view link,
                           std::span<const uint8_t> bytes);

}  // namespace kvx
