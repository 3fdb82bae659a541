#include "protocol/udp_link.h"

#include "protocol/frame_trace.h"

namespace kvx {

UdpLink::UdpLink(Network& network, ErrorSink& errors) : network_(network), errors_(errors) {}

UdpLink::~UdpLink() {
    closeCommandSocket();
}

bool UdpLink::startNetworking(const std::string& applicationTitle) {
    if (network_.start()) return true;
    errors_.showError("WSAStartup failed with error\n", applicationTitle);
    return false;
}

bool UdpLink::openDiscoverySocket() {
    closeCommandSocket();
    commandSocket_ = network_.createUdpSocket();
    if (!commandSocket_) return false;
    peer_ = Ipv4Endpoint{kBroadcastAddress, kControlPort};
    // A socket that fails to bind stays in the slot until the next set-up or close, as any other set-up.
    return commandSocket_->enableBroadcast() &&
           commandSocket_->bind(Ipv4Endpoint{kAnyAddress, kControlPort}) && commandSocket_->setNonBlocking();
}

std::unique_ptr<UdpSocket> UdpLink::openFor(const std::optional<DeviceEntry>& selected) {
    auto socket = network_.createUdpSocket();
    if (!socket) return nullptr;
    if (!selected) {
        errors_.showError("Please choose a device", "Err");
        return nullptr;
    }
    return socket;
}

bool UdpLink::openCommandSocket(const std::optional<DeviceEntry>& selected) {
    closeCommandSocket();
    peer_ = Ipv4Endpoint{};
    commandSocket_ = openFor(selected);
    if (!commandSocket_) return false;
    // An entry found on the serial port has no address: there is nobody to send to on the LAN.
    const auto address = parseIpv4(selected->address());
    if (!address) return false;
    peer_ = Ipv4Endpoint{*address, kControlPort};
    return commandSocket_->bind(Ipv4Endpoint{kAnyAddress, kControlPort}) && commandSocket_->setNonBlocking();
}

std::unique_ptr<UdpSocket> UdpLink::openNotificationSocket(const std::optional<DeviceEntry>& selected) {
    auto socket = openFor(selected);
    if (!socket) return nullptr;
    if (!socket->bind(Ipv4Endpoint{kAnyAddress, kReportPort}) || !socket->setNonBlocking()) return nullptr;
    return socket;
}

void UdpLink::closeCommandSocket() {
    if (!commandSocket_) return;
    commandSocket_->close();
    commandSocket_.reset();
}

int UdpLink::receive(std::span<uint8_t> buffer) {
    if (!commandSocket_) return -1;
    Ipv4Endpoint from;
    const int n = commandSocket_->receiveFrom(buffer, from);
    if (n > 0) {
        peer_ = from;
        if (frameTraceOn()) traceFrame(TraceDirection::Receive, lanTraceLink(from), buffer.first(size_t(n)));
    }
    return n;
}

int UdpLink::sendToPeer(std::span<const uint8_t> datagram) {
    if (!commandSocket_) return -1;
    if (!frameTraceOn()) return commandSocket_->sendTo(datagram, peer_);
    int sent = -1;
    tracedSend(lanTraceLink(peer_), datagram, [&]() -> std::optional<size_t> {
        sent = commandSocket_->sendTo(datagram, peer_);
        if (sent < 0) return std::nullopt;
        return size_t(sent);
    });
    return sent;
}

}  // namespace kvx
