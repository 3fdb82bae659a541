#include "simulator/serial_frame_splitter.h"

#include <algorithm>

namespace kvx {

namespace {
bool isPrintable(uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E;
}
}  // namespace

std::vector<SerialMessage> SerialFrameSplitter::feed(std::span<const uint8_t> bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    trackLaterFrames();
    std::vector<SerialMessage> out;
    while (pending() > 0) {
        const uint8_t first = buffer_[front_];
        Step step = Step::Skipped;
        if (first == frame::kStart0) {
            step = takeFrame(out);
        } else if (isPrintable(first)) {
            step = takeText(out);
        }
        if (step == Step::NeedMore) break;
        if (step == Step::Skipped) front_ += 1;
    }
    // The taken bytes leave the buffer once they are at least half of it, so each byte moves a bounded
    // number of times.
    if (front_ * 2 >= buffer_.size()) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(front_));
        base_ += front_;
        front_ = 0;
    }
    return out;
}

size_t SerialFrameSplitter::frameLengthAt(size_t offset) const {
    if (endOffset() < offset + 4 || at(offset) != frame::kStart0 || at(offset + 1) != frame::kStart1) return 0;
    const size_t length = at(offset + 2) | (at(offset + 3) << 8);
    return length >= frame::kOverhead && length <= kMaxFrame ? length : 0;
}

void SerialFrameSplitter::trackLaterFrames() {
    // Every offset is looked at once for a header; a header's end byte once, when it has come.
    nextHeader_ = std::max(nextHeader_, frontOffset());
    while (nextHeader_ + 4 <= endOffset()) {
        const auto from = buffer_.begin() + static_cast<std::ptrdiff_t>(nextHeader_ - base_);
        const auto start = std::find(from, buffer_.end() - 3, frame::kStart0);
        nextHeader_ = base_ + static_cast<size_t>(start - buffer_.begin());
        if (nextHeader_ + 4 > endOffset()) break;
        if (const size_t length = frameLengthAt(nextHeader_))
            awaitedEnds_.push({nextHeader_ + length, nextHeader_});
        ++nextHeader_;
    }
    while (!awaitedEnds_.empty() && awaitedEnds_.top().first <= endOffset()) {
        const auto [end, start] = awaitedEnds_.top();
        awaitedEnds_.pop();
        if (start > frontOffset() && at(end - 1) == frame::kEnd) completeStarts_.push(start);
    }
}

bool SerialFrameSplitter::laterFrameComplete() {
    // The front only moves on: a frame that starts at or before it never counts again.
    while (!completeStarts_.empty() && completeStarts_.top() <= frontOffset()) completeStarts_.pop();
    return !completeStarts_.empty();
}

SerialFrameSplitter::Step SerialFrameSplitter::takeFrame(std::vector<SerialMessage>& out) {
    const size_t front = frontOffset();
    if (pending() < 2) return Step::NeedMore;
    if (at(front + 1) != frame::kStart1) return Step::Skipped;
    if (pending() < 4) return Step::NeedMore;
    const size_t length = frameLengthAt(front);
    if (length == 0) return Step::Skipped;
    // A header whose frame never completes must not hold back the whole frames that follow it.
    if (pending() < length) return laterFrameComplete() ? Step::Skipped : Step::NeedMore;
    if (at(front + length - 1) != frame::kEnd) return Step::Skipped;
    const auto first = buffer_.begin() + static_cast<std::ptrdiff_t>(front_);
    out.push_back({SerialMessage::Kind::Frame, Bytes(first, first + static_cast<std::ptrdiff_t>(length))});
    front_ += length;
    return Step::Consumed;
}

SerialFrameSplitter::Step SerialFrameSplitter::takeText(std::vector<SerialMessage>& out) {
    for (size_t i = front_; i < buffer_.size(); ++i) {
        const uint8_t byte = buffer_[i];
        if (byte == '.') {
            out.push_back({SerialMessage::Kind::Text,
                           Bytes(buffer_.begin() + static_cast<std::ptrdiff_t>(front_),
                                 buffer_.begin() + static_cast<std::ptrdiff_t>(i + 1))});
            front_ = i + 1;
            return Step::Consumed;
        }
        if (!isPrintable(byte)) {
            // A text cut off by something else: drop what came before it.
            front_ = i;
            return Step::Consumed;
        }
    }
    if (pending() > kMaxText) {
        front_ = buffer_.size();
        return Step::Consumed;
    }
    return Step::NeedMore;
}

}  // namespace kvx
