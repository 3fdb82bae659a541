#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "multiviewer/report_handler.h"
#include "platform/clock.h"
#include "platform/udp_socket.h"
#include "protocol/control_frame.h"

namespace kvx {

inline constexpr size_t kReportBufferSize = 1400;
// The pause before trying again when the socket can no longer be waited on (closed under the thread, or the
// wait failed), so a broken socket is retried as an empty one would be, without spinning.
inline constexpr int kReportRetryPauseMs = 20;

// The thread that listens for the multiviewer's reports on its own socket (UDP port 7001). It keeps the
// datagrams of the connected device and hands a copy of each to onReport, which the window runs on the UI
// thread (where applyReport folds it into the model). Between datagrams it sleeps in the socket's wait, so a
// report is handed over as soon as it arrives and a quiet device costs no wake-ups. The thread owns the
// socket and closes it on the way out. Without a socket there is no thread: nothing can arrive.
class NotificationReceiver {
public:
    using ReportCallback = std::function<void(Bytes datagram)>;
    // Whether a datagram from `sender` is a report of the device listened to.
    using ReportFilter = std::function<bool(std::span<const uint8_t> datagram, const Ipv4Endpoint& sender)>;

    // Starts the thread at once; keeps the datagrams whose bytes 10 to 13 carry the device's DeviceId.
    NotificationReceiver(std::unique_ptr<UdpSocket> socket, const DeviceId& device, Clock& clock,
                         ReportCallback onReport);
    // The same with a filter of the caller's (korvelux-ctl, which may know a device by its address alone).
    NotificationReceiver(std::unique_ptr<UdpSocket> socket, ReportFilter accepts, Clock& clock,
                         ReportCallback onReport);
    // Stops the thread.
    ~NotificationReceiver();
    NotificationReceiver(const NotificationReceiver&) = delete;
    NotificationReceiver& operator=(const NotificationReceiver&) = delete;

    // Clears the running flag, interrupts the socket's wait and waits for the thread, which ends at once
    // (after the report it may be handing over).
    void stop();
    bool running() const { return running_.load(); }

private:
    void loop();

    std::unique_ptr<UdpSocket> socket_;
    const ReportFilter accepts_;
    Clock& clock_;
    const ReportCallback onReport_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

}  // namespace kvx
