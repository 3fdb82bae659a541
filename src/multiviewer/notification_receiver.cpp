#include "multiviewer/notification_receiver.h"

#include <array>

namespace kvx {

NotificationReceiver::NotificationReceiver(std::unique_ptr<UdpSocket> socket, const DeviceId& device,
                                           Clock& clock, ReportCallback onReport)
    : socket_(std::move(socket)), device_(device), clock_(clock), onReport_(std::move(onReport)) {
    thread_ = std::thread([this] { loop(); });
}

NotificationReceiver::~NotificationReceiver() {
    stop();
}

void NotificationReceiver::stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
}

void NotificationReceiver::loop() {
    std::array<uint8_t, kReportBufferSize> buffer{};
    while (running_.load()) {
        Ipv4Endpoint from{};
        const int length = socket_ ? socket_->receiveFrom(buffer, from) : 0;
        if (length <= 0) {  // nothing waiting, or an error: the same pause
            clock_.sleepMs(kReportIdlePauseMs);
            continue;
        }
        const std::span<const uint8_t> datagram(buffer.data(), static_cast<size_t>(length));
        if (isFromDevice(datagram, device_) && onReport_) onReport_(Bytes(datagram.begin(), datagram.end()));
    }
    if (socket_) socket_->close();
    socket_.reset();
}

}  // namespace kvx
