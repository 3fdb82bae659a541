#pragma once

#include <cstddef>
#include <functional>
#include <queue>
#include <span>
#include <utility>
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
// Each byte is looked at a bounded number of times, so a long stream of garbage, or a header that announces
// a long frame and waits for it while bytes trickle in, costs time in proportion to its length.
class SerialFrameSplitter {
public:
    // Longer than any request the PC sends; a length field beyond it is garbage.
    static constexpr size_t kMaxFrame = 1024;
    // Longer than any routing text; printable bytes without a '.' for this long are dropped.
    static constexpr size_t kMaxText = 64;

    // Adds bytes and returns the messages that are now complete, in order.
    std::vector<SerialMessage> feed(std::span<const uint8_t> bytes);
    size_t pending() const { return buffer_.size() - front_; }

private:
    enum class Step { Consumed, Skipped, NeedMore };
    using Offsets = std::priority_queue<size_t, std::vector<size_t>, std::greater<>>;
    using Ends = std::priority_queue<std::pair<size_t, size_t>, std::vector<std::pair<size_t, size_t>>,
                                     std::greater<>>;

    // Positions are offsets in the whole stream of the line: buffer_[i] is byte base_ + i.
    size_t frontOffset() const { return base_ + front_; }
    size_t endOffset() const { return base_ + buffer_.size(); }
    uint8_t at(size_t offset) const { return buffer_[offset - base_]; }
    // The length field of a frame header at this offset when the header is there and its length within
    // bounds, else 0.
    size_t frameLengthAt(size_t offset) const;
    // Looks at the bytes that came since the last call for frame headers and for the ends of the frames
    // that headers announced.
    void trackLaterFrames();
    // A whole frame starts somewhere after the front byte.
    bool laterFrameComplete();
    Step takeFrame(std::vector<SerialMessage>& out);
    Step takeText(std::vector<SerialMessage>& out);

    Bytes buffer_;       // bytes not taken yet, from front_ on; the ones before it go at the next compaction
    size_t front_ = 0;   // index in buffer_ of the first byte not taken
    size_t base_ = 0;    // stream offset of buffer_[0]
    size_t nextHeader_ = 0;       // stream offset where the search for frame headers goes on
    Ends awaitedEnds_;            // (end, start) of announced frames whose last byte has not come yet
    Offsets completeStarts_;      // starts of frames whose bytes have all come, with 0xAE last
};

}  // namespace kvx
