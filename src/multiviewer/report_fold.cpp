#include "multiviewer/report_fold.h"

#include <utility>

#include "multiviewer/multiviewer_codes.h"

namespace kvx {

namespace {

// The field a report changes: its code and, for the codes that carry one, the index of the input, window
// or output. Every whole-state report is the same field: the whole state.
constexpr uint32_t kWholeState = 0xFFFFFFFF;
constexpr uint32_t kExchange = 0xFFFFFFFE;  // no report: exchanges wait in their order and replace nothing
uint32_t fieldOf(const PendingReport& report) {
    if (report.exchange) return kExchange;
    if (report.wholeStateReset) return kWholeState;
    const std::span<const uint8_t> datagram = report.datagram;
    const auto byteAt = [&](size_t offset) {
        return offset < datagram.size() ? datagram[offset] : uint8_t{0};
    };
    const uint8_t code = byteAt(frame::kCommandOffset);
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

void ReportFold::push(PendingReport report) {
    const uint32_t field = fieldOf(report);
    if (field != kExchange) {
        if (const auto earlier = byField_.find(field); earlier != byField_.end()) {
            // A whole-state re-read placed here shows everything that came before: folded re-reads reset
            // the selections when any of them does.
            if (report.wholeStateReset)
                report.wholeStateReset = *report.wholeStateReset || *earlier->second->report.wholeStateReset;
            items_.erase(earlier->second);
        }
    }
    const auto placed = items_.insert(items_.end(), Item{std::move(report), field});
    if (field != kExchange) byField_[field] = placed;
}

std::optional<PendingReport> ReportFold::pop() {
    if (items_.empty()) return std::nullopt;
    Item first = std::move(items_.front());
    items_.pop_front();
    if (first.field != kExchange) byField_.erase(first.field);
    return std::move(first.report);
}

}  // namespace kvx
