#pragma once

#include <mutex>
#include <vector>

#include "multiviewer/report_fold.h"
#include "multiviewer/report_handler.h"

namespace kvx {

// Where the receiver's thread leaves the connected device's reports for the UI thread. The reports that wait
// here fold as the ones waiting in the panel do (ReportFold): however fast a device sends, what waits stays
// bounded by the number of fields, and the UI thread is woken once for all that waits, never once per
// report, so a flood cannot bury the window's other work.
class ReportMailbox {
public:
    explicit ReportMailbox(const DeviceId& device) : device_(device) {}

    // From the receiver's thread. Reports of other devices, and datagrams too short to carry a code, are
    // dropped. True when the mailbox was empty: the caller then wakes the UI thread to take what waits.
    bool put(Bytes datagram);
    // On the UI thread: everything that waits, in order.
    std::vector<PendingReport> takeAll();
    size_t size() const;

private:
    const DeviceId device_;
    mutable std::mutex mutex_;
    ReportFold waiting_;
};

}  // namespace kvx
