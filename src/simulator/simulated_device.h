#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/control_frame.h"

namespace kvx {

// A device of the KORVELUX family as the PC sees it on the wire. Hosts (the in-memory network, a real UDP
// socket, a serial line or pty) feed it whole requests and carry its answers back; subclasses add the
// protocol of their device type. Every device answers the discovery probe.
class SimulatedDevice {
public:
    struct Identity {
        uint8_t type = 0;
        uint8_t sub = 0x01;
        std::string name;             // single-byte characters
        std::array<uint8_t, 4> id{};  // the DeviceId
    };
    // An answer: a datagram back to the sender, or bytes written back on the serial line.
    using Reply = std::function<void(const Bytes&)>;
    // A report of the device's own, to UDP port 7001 of the PC that last spoke to it.
    using ReportSink = std::function<void(const Bytes&)>;

    explicit SimulatedDevice(Identity identity);
    virtual ~SimulatedDevice();

    const Identity& identity() const { return identity_; }

    // One control frame (A5 6C ... AE) from the PC.
    void handleFrame(std::span<const uint8_t> frame, const Reply& reply);
    // One ASCII text from the PC that is not a control frame (the matrix switchers' routing texts).
    virtual void handleText(std::string_view text);

    // Whether a frame that is not the discovery probe is meant for this device. A host that serves several
    // devices on one socket hands such a frame only to the devices it addresses. By default: byte 4 is the
    // device's type, or the matrix switchers' shared front-panel code 0x03 when the device is one of them.
    virtual bool isAddressedBy(std::span<const uint8_t> frame) const;
    // The probe: at least a frame's length, type and sub code 0xFF, command 0xFF.
    static bool isDiscoveryProbe(std::span<const uint8_t> frame);

    void setReportSink(ReportSink sink);
    // From now on requests with this command code are received (and listed) but not acted on, as by a
    // device that ignores them; for tests of the PC's verification.
    void ignoreCommand(uint8_t code);
    // Every frame received, in order (for tests and the simulator's log).
    std::vector<Bytes> receivedFrames() const;
    std::vector<std::string> receivedTexts() const;

    // The discovery reply: name from byte 18, '-', one byte, '-', then the DeviceId.
    Bytes discoveryReply(LinkKind link) const;

protected:
    // A frame other than the discovery probe; the default answers nothing.
    virtual void onFrame(std::span<const uint8_t> frame, const Reply& reply);
    void report(const Bytes& frame);
    // A frame from this device with its type, sub code, DeviceId in bytes 10 to 13, and the data from
    // byte 18.
    Bytes deviceFrame(uint8_t command, std::span<const uint8_t> data, LinkKind link = kLinkLan) const;

    mutable std::recursive_mutex mutex_;  // guards the device's state; subclasses lock it too

private:
    Identity identity_;
    ReportSink reportSink_;
    std::vector<uint8_t> ignoredCommands_;
    std::vector<Bytes> frames_;
    std::vector<std::string> texts_;
};

}  // namespace kvx
