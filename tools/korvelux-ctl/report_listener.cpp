#include "report_listener.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "multiviewer/report_handler.h"
#include "platform/ipv4.h"

namespace kvx {

namespace {

NotificationReceiver::ReportFilter filterFor(const DeviceEntry& entry) {
    const std::optional<uint32_t> address = parseIpv4(entry.address());
    const bool idKnown = std::ranges::any_of(entry.deviceId, [](uint8_t b) { return b != 0; });
    if (address && !idKnown) {
        return [address = *address](std::span<const uint8_t>, const Ipv4Endpoint& sender) {
            return sender.address == address;
        };
    }
    return [id = entry.deviceId](std::span<const uint8_t> datagram, const Ipv4Endpoint&) {
        return isFromDevice(datagram, id);
    };
}

}  // namespace

ReportListener::ReportListener(CtlSession& session, const Target& target) {
    const std::optional<DeviceEntry>& entry = target.entry;
    std::unique_ptr<UdpSocket> socket = session.exchange<std::unique_ptr<UdpSocket>>(
        [&session, &entry] { return session.udp().openNotificationSocket(entry); });
    if (!socket || !entry) {
        std::fprintf(stderr, "korvelux-ctl: cannot listen for reports on port %u\n", kReportPort);
        return;
    }
    receiver_ = std::make_unique<NotificationReceiver>(std::move(socket), filterFor(*entry), session.clock(),
                                                       [this](Bytes report) { queue(std::move(report)); });
}

void ReportListener::queue(Bytes report) {
    {
        std::lock_guard lock(mutex_);
        reports_.push_back(std::move(report));
    }
    arrived_.notify_one();
}

ReportListener::~ReportListener() {
    receiver_.reset();
}

std::optional<Bytes> ReportListener::next(int timeoutMs) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !reports_.empty(); }))
        return std::nullopt;
    Bytes report = std::move(reports_.front());
    reports_.pop_front();
    return report;
}

}  // namespace kvx
