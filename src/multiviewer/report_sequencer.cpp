#include "multiviewer/report_sequencer.h"

#include <utility>

#include "multiviewer/multiviewer_codes.h"

namespace kvx {

namespace {

// The field a report changes: its code and, for the codes that carry one, the index of the input, window
// or output. Every whole-state report is the same field: the whole state.
constexpr uint32_t kWholeState = 0xFFFFFFFF;
constexpr uint32_t kExchange = 0xFFFFFFFE;  // no report: exchanges wait in their order and replace nothing
uint32_t fieldOf(std::span<const uint8_t> datagram, bool wholeState) {
    if (wholeState) return kWholeState;
    const uint8_t code = datagram[frame::kCommandOffset];
    const auto byteAt = [&](size_t offset) {
        return offset < datagram.size() ? datagram[offset] : uint8_t{0};
    };
    switch (code) {
        case mv::kSetSource:  // window or output in d1
            return code << 8 | byteAt(frame::kDataOffset + 1);
        case mv::kSetUmdOn:
        case mv::kSetAudioMeterOn:
        case mv::kSetAudioChannel:
        case mv::kSetUmdTextColor:
        case mv::kSetUmdBackColor:
        case mv::kSetFormatTextColor:
        case mv::kSetFormatBackColor:
        case mv::kSetTimecodeTextColor:
        case mv::kSetTimecodeBackColor:
        case mv::kWindowSignal:  // input, window or colour index in d0
            return code << 8 | byteAt(frame::kDataOffset);
        default:
            return static_cast<uint32_t>(code) << 8;
    }
}

}  // namespace

ReportSequencer::ReportSequencer(const DeviceId& device, Steps steps)
    : device_(device), steps_(std::move(steps)) {}

void ReportSequencer::arrive(Bytes datagram) {
    if (!isFromDevice(datagram, device_) || datagram.size() <= frame::kCommandOffset) return;
    const std::optional<bool> reset = wholeStateReset(datagram, device_);
    const uint32_t field = fieldOf(datagram, reset.has_value());
    Waiting report{std::move(datagram), reset, field, {}};
    if (!busy_) {
        start(report);
        return;
    }
    if (const auto earlier = byField_.find(field); earlier != byField_.end()) {
        // A whole-state re-read placed here shows everything that came before: folded re-reads reset the
        // selections when any of them does.
        if (report.wholeStateReset)
            report.wholeStateReset = *report.wholeStateReset || *earlier->second->wholeStateReset;
        waiting_.erase(earlier->second);
    }
    byField_[field] = waiting_.insert(waiting_.end(), std::move(report));
}

void ReportSequencer::hold() {
    busy_ = true;
}

void ReportSequencer::queueExchange(std::function<void()> start) {
    Waiting exchange{{}, std::nullopt, kExchange, std::move(start)};
    if (busy_) {
        waiting_.push_back(std::move(exchange));
    } else {
        this->start(exchange);
    }
}

void ReportSequencer::finish() {
    busy_ = false;
    while (!busy_ && !waiting_.empty()) {
        const Waiting report = std::move(waiting_.front());
        byField_.erase(report.field);
        waiting_.pop_front();
        start(report);
    }
}

void ReportSequencer::start(const Waiting& report) {
    if (report.exchange) {
        busy_ = true;
        report.exchange();
    } else if (report.wholeStateReset) {
        busy_ = true;
        if (steps_.reread) steps_.reread(*report.wholeStateReset);
    } else if (steps_.apply) {
        steps_.apply(report.datagram);
    }
}

}  // namespace kvx
