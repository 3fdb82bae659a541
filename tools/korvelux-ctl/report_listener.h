#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "ctl_session.h"
#include "multiviewer/notification_receiver.h"
#include "protocol/device_link.h"

namespace kvx {

// Listens on the report port 7001, as the window's receiver does, for the reports of one multiviewer and
// queues them for the command's thread. A device found by a search is known by its DeviceId (as in the
// window); one given by --device, whose DeviceId is not known, by the address its reports come from.
class ReportListener {
public:
    ReportListener(CtlSession& session, const Target& target);
    ~ReportListener();

    // False when port 7001 could not be bound (another program listens there); it has been said on stderr.
    bool listening() const { return receiver_ != nullptr; }
    // The next report, waiting up to timeoutMs; none when none came.
    std::optional<Bytes> next(int timeoutMs);

private:
    void queue(Bytes report);  // on the receiver's thread

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Bytes> reports_;
    std::unique_ptr<NotificationReceiver> receiver_;  // last: it stops before the queue goes
};

}  // namespace kvx
