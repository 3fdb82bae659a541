#include "multiviewer/notification_receiver.h"

#include <array>

#include "protocol/frame_trace.h"

namespace kvx {

NotificationReceiver::NotificationReceiver(std::unique_ptr<UdpSocket> socket, const DeviceId& device,
                                           Clock& clock, ReportCallback onReport)
    : NotificationReceiver(
          std::move(socket),
          [device](std::span<const uint8_t> datagram, const Ipv4Endpoint&) {
              return isFromDevice(datagram, device);
          },
          clock, std::move(onReport)) {}

NotificationReceiver::NotificationReceiver(std::unique_ptr<UdpSocket> socket, ReportFilter accepts,
                                           Clock& clock, ReportCallback onReport)
    : socket_(std::move(socket)),
      accepts_(std::move(accepts)),
      clock_(clock),
      onReport_(std::move(onReport)) {
    if (socket_) thread_ = std::thread([this] { loop(); });
}

NotificationReceiver::~NotificationReceiver() {
    stop();
}

void NotificationReceiver::stop() {
    running_ = false;
    // The socket lives until this object goes, so the interrupt is safe while the thread closes it.
    if (socket_) socket_->interruptWait();
    if (thread_.joinable()) thread_.join();
}

void NotificationReceiver::loop() {
    std::array<uint8_t, kReportBufferSize> buffer{};
    while (running_.load()) {
        Ipv4Endpoint from{};
        const int length = socket_->receiveFrom(buffer, from);
        if (length > 0) {
            const std::span<const uint8_t> datagram(buffer.data(), static_cast<size_t>(length));
            if (frameTraceOn()) traceFrame(TraceDirection::Receive, reportTraceLink(from), datagram);
            if (accepts_(datagram, from) && onReport_) onReport_(Bytes(datagram.begin(), datagram.end()));
            continue;  // datagrams that arrive back to back are taken without a wait
        }
        // Nothing waiting, or a receive error: wait for the next datagram or for stop(), which interrupts.
        if (socket_->waitForDatagram() == SocketWait::Failed) clock_.sleepMs(kReportRetryPauseMs);
    }
    socket_->close();
}

}  // namespace kvx
