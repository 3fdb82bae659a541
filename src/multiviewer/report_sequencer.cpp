#include "multiviewer/report_sequencer.h"

#include <algorithm>
#include <utility>

namespace kvx {

ReportSequencer::ReportSequencer(const DeviceId& device, Steps steps)
    : device_(device), steps_(std::move(steps)) {}

void ReportSequencer::arrive(Bytes datagram) {
    if (!isFromDevice(datagram, device_)) return;
    const std::optional<bool> reset = wholeStateReset(datagram, device_);
    Waiting report{std::move(datagram), reset};
    if (!busy_) {
        start(report);
        return;
    }
    if (report.wholeStateReset) {
        // One re-read after everything that came before: an earlier waiting one moves here.
        const auto earlier = std::find_if(waiting_.begin(), waiting_.end(),
                                          [](const Waiting& w) { return w.wholeStateReset.has_value(); });
        if (earlier != waiting_.end()) {
            report.wholeStateReset = *report.wholeStateReset || *earlier->wholeStateReset;
            waiting_.erase(earlier);
        }
    }
    waiting_.push_back(std::move(report));
}

void ReportSequencer::hold() {
    busy_ = true;
}

void ReportSequencer::finish() {
    busy_ = false;
    while (!busy_ && !waiting_.empty()) {
        const Waiting report = std::move(waiting_.front());
        waiting_.pop_front();
        start(report);
    }
}

void ReportSequencer::start(const Waiting& report) {
    if (report.wholeStateReset) {
        busy_ = true;
        if (steps_.reread) steps_.reread(*report.wholeStateReset);
    } else if (steps_.apply) {
        steps_.apply(report.datagram);
    }
}

}  // namespace kvx
