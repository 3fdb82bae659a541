#include "multiviewer/report_mailbox.h"

namespace kvx {

bool ReportMailbox::put(Bytes datagram) {
    if (!isFromDevice(datagram, device_) || datagram.size() <= frame::kCommandOffset) return false;
    const std::optional<bool> reset = wholeStateReset(datagram, device_);
    std::lock_guard lock(mutex_);
    const bool wasEmpty = waiting_.empty();
    waiting_.push(PendingReport{std::move(datagram), reset, {}});
    return wasEmpty;
}

std::vector<PendingReport> ReportMailbox::takeAll() {
    std::vector<PendingReport> taken;
    std::lock_guard lock(mutex_);
    taken.reserve(waiting_.size());
    while (auto report = waiting_.pop()) taken.push_back(std::move(*report));
    return taken;
}

size_t ReportMailbox::size() const {
    std::lock_guard lock(mutex_);
    return waiting_.size();
}

}  // namespace kvx
