#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "protocol/control_frame.h"

namespace kvx {

// One request found in the byte stream of a serial line.
struct SerialMessage {
    enum class Kind { Frame, Text };
    Kind kind = Kind::Frame;
    Bytes bytes;  // a whole control frame, or an ASCII text up to and including its '.'
    friend bool operator==(const SerialMessage&, const SerialMessage&) = default;
};

// Gathers the bytes that arrive on a device's serial line and cuts them into control frames (A5 6C, the
// length, and 0xAE at the position the length gives) and ASCII routing texts (printable characters up to a
// '.'). Bytes that can start neither are skipped one at a time, so the stream resynchronises after garbage.
class SerialFrameSplitter {
public:
    // Longer than any request the PC sends; a length field beyond it is garbage.
    static constexpr size_t kMaxFrame = 1024;
    // Longer than any routing text; printable bytes without a '.' for this long are dropped.
    static constexpr size_t kMaxText = 64;

    // Adds bytes and returns the messages that are now complete, in order.
    std::vector<SerialMessage> feed(std::span<const uint8_t> bytes);
    size_t pending() const { return pending_.size(); }

private:
    enum class Step { Consumed, Skipped, NeedMore };
    // The length field of a frame header at pos when it is within bounds, else 0.
    size_t frameLengthAt(size_t pos) const;
    bool completeFrameAfterStart() const;
    Step takeFrame(std::vector<SerialMessage>& out);
    Step takeText(std::vector<SerialMessage>& out);

    Bytes pending_;
};

}  // namespace kvx
