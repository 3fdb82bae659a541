#pragma once

#include <optional>
#include <span>

#include "platform/clock.h"
#include "protocol/cn_comm.h"
#include "protocol/control_frame.h"
#include "protocol/device_entry.h"
#include "protocol/udp_link.h"

namespace kvx {

// What a request goes to: the link choice and the selected entry, taken on the UI thread when the request is
// made, so that the exchange worker never reads the window's table.
struct Target {
    LinkKind link = kLinkLan;
    std::optional<DeviceEntry> entry;  // none when nothing is selected
    uint8_t type() const { return entry ? entry->deviceType : 0; }
    uint8_t sub() const { return entry ? entry->subCode : 0; }
};

enum class SerialPause { After20ms, None };

// "Send to the selected device" and the request-and-reply steps built on it, over either link. Runs on the
// exchange worker, which owns the command socket, the peer address and the serial port.
class DeviceLink {
public:
    DeviceLink(UdpLink& udp, CnComm& serial, Clock& clock) : udp_(udp), serial_(serial), clock_(clock) {}

    // LAN: fresh command socket, one datagram, 10 ms, close. Serial: drain, write, 20 ms (unless told not to
    // pause). Any other link: nothing. Returns false when the frame was dropped.
    bool send(const Target& target, std::span<const uint8_t> frame, SerialPause pause = SerialPause::After20ms);

    // LAN half of a request that expects an answer: open the command socket, send, pause 10 ms and keep the
    // socket open for the caller's receive loop; the caller closes it (udp().closeCommandSocket()).
    bool sendAndKeepOpen(const Target& target, std::span<const uint8_t> frame);

    UdpLink& udp() { return udp_; }
    CnComm& serial() { return serial_; }
    Clock& clock() { return clock_; }

private:
    UdpLink& udp_;
    CnComm& serial_;
    Clock& clock_;
};

}  // namespace kvx
