#include "simulator/serial_frame_splitter.h"

namespace kvx {

namespace {
bool isPrintable(uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E;
}
}  // namespace

std::vector<SerialMessage> SerialFrameSplitter::feed(std::span<const uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<SerialMessage> out;
    while (!pending_.empty()) {
        const uint8_t first = pending_.front();
        Step step = Step::Skipped;
        if (first == frame::kStart0) {
            step = takeFrame(out);
        } else if (isPrintable(first)) {
            step = takeText(out);
        }
        if (step == Step::NeedMore) break;
        if (step == Step::Skipped) pending_.erase(pending_.begin());
    }
    return out;
}

size_t SerialFrameSplitter::frameLengthAt(size_t pos) const {
    if (pending_.size() < pos + 4 || pending_[pos] != frame::kStart0 || pending_[pos + 1] != frame::kStart1) {
        return 0;
    }
    const size_t length = pending_[pos + 2] | (pending_[pos + 3] << 8);
    return length >= frame::kOverhead && length <= kMaxFrame ? length : 0;
}

bool SerialFrameSplitter::completeFrameAfterStart() const {
    for (size_t pos = 1; pos < pending_.size(); ++pos) {
        const size_t length = frameLengthAt(pos);
        if (length != 0 && pending_.size() >= pos + length && pending_[pos + length - 1] == frame::kEnd)
            return true;
    }
    return false;
}

SerialFrameSplitter::Step SerialFrameSplitter::takeFrame(std::vector<SerialMessage>& out) {
    if (pending_.size() < 2) return Step::NeedMore;
    if (pending_[1] != frame::kStart1) return Step::Skipped;
    if (pending_.size() < 4) return Step::NeedMore;
    const size_t length = frameLengthAt(0);
    if (length == 0) return Step::Skipped;
    // A header whose frame never completes must not hold back the whole frames that follow it.
    if (pending_.size() < length) return completeFrameAfterStart() ? Step::Skipped : Step::NeedMore;
    if (pending_[length - 1] != frame::kEnd) return Step::Skipped;
    out.push_back({SerialMessage::Kind::Frame, Bytes(pending_.begin(), pending_.begin() + length)});
    pending_.erase(pending_.begin(), pending_.begin() + length);
    return Step::Consumed;
}

SerialFrameSplitter::Step SerialFrameSplitter::takeText(std::vector<SerialMessage>& out) {
    for (size_t i = 0; i < pending_.size(); ++i) {
        const uint8_t byte = pending_[i];
        if (byte == '.') {
            out.push_back({SerialMessage::Kind::Text, Bytes(pending_.begin(), pending_.begin() + i + 1)});
            pending_.erase(pending_.begin(), pending_.begin() + i + 1);
            return Step::Consumed;
        }
        if (!isPrintable(byte)) {
            // A text cut off by something else: drop what came before it.
            pending_.erase(pending_.begin(), pending_.begin() + i);
            return Step::Consumed;
        }
    }
    if (pending_.size() > kMaxText) {
        pending_.clear();
        return Step::Consumed;
    }
    return Step::NeedMore;
}

}  // namespace kvx
