#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/udp_socket.h"
#include "protocol/device_entry.h"
#include "protocol/error_sink.h"

namespace kvx {

inline constexpr uint16_t kControlPort = 7000;  // devices listen here; the PC binds it too
inline constexpr uint16_t kReportPort = 7001;   // the multiviewer reports here; the PC binds it too

// The LAN side of the links: the one command socket slot, the peer address, and the sockets' set-up.
// Only the exchange worker touches the command socket and the peer address.
class UdpLink {
public:
    UdpLink(Network& network, ErrorSink& errors);
    ~UdpLink();

    // Starts the sockets library; on failure shows "WSAStartup failed with error\n" captioned with the title.
    bool startNetworking(const std::string& applicationTitle);

    // Broadcast socket on local port 7000, peer 255.255.255.255:7000, non-blocking.
    bool openDiscoverySocket();
    // Socket on local port 7000 with the selected device as peer; "Please choose a device" when there is none.
    bool openCommandSocket(const std::optional<DeviceEntry>& selected);
    // As the command socket, on port 7001, for the notification receiver, which owns what it returns.
    std::unique_ptr<UdpSocket> openNotificationSocket(const std::optional<DeviceEntry>& selected);
    void closeCommandSocket();
    bool commandSocketOpen() const { return commandSocket_ != nullptr; }

    // One non-blocking receive on the command socket; stores the sender in the peer address.
    int receive(std::span<uint8_t> buffer);
    // One datagram to the peer address.
    int sendToPeer(std::span<const uint8_t> datagram);
    Ipv4Endpoint peer() const { return peer_; }

private:
    // A new socket when a device is selected; "Please choose a device" otherwise.
    std::unique_ptr<UdpSocket> openFor(const std::optional<DeviceEntry>& selected);

    Network& network_;
    ErrorSink& errors_;
    std::unique_ptr<UdpSocket> commandSocket_;
    Ipv4Endpoint peer_{};
};

}  // namespace kvx
