#include "multiviewer/report_sequencer.h"

#include <utility>

namespace kvx {

ReportSequencer::ReportSequencer(const DeviceId& device, Steps steps)
    : device_(device), steps_(std::move(steps)) {}

void ReportSequencer::arrive(Bytes datagram) {
    if (!isFromDevice(datagram, device_) || datagram.size() <= frame::kCommandOffset) return;
    const std::optional<bool> reset = wholeStateReset(datagram, device_);
    arrive(PendingReport{std::move(datagram), reset, {}});
}

void ReportSequencer::arrive(PendingReport report) {
    if (busy_) {
        waiting_.push(std::move(report));
    } else {
        start(report);
    }
}

void ReportSequencer::hold() {
    busy_ = true;
}

void ReportSequencer::queueExchange(std::function<void()> start) {
    PendingReport exchange{{}, std::nullopt, std::move(start)};
    if (busy_) {
        waiting_.push(std::move(exchange));
    } else {
        this->start(exchange);
    }
}

void ReportSequencer::finish() {
    busy_ = false;
    while (!busy_) {
        const std::optional<PendingReport> report = waiting_.pop();
        if (!report) break;
        start(*report);
    }
}

void ReportSequencer::start(const PendingReport& report) {
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
