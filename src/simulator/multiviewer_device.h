#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "simulator/multiviewer_device_requests.h"
#include "simulator/multiviewer_device_state.h"
#include "simulator/simulated_device.h"

namespace kvx {

// The simulated 16-input multiviewer (type 0xA1).
//
// It takes every request of the multiviewer command set and the main window's panel lock, custom name and
// network settings, answers ReadStatus with its status block, and reports each change to UDP port 7001 of
// the PC (the request's code, its payload from byte 18). Changes made on its own front panel (the actions
// below, for tests, the demo and korvelux-sim) are reported the same way.
//
// The status reply is a whole frame over the LAN (810 bytes: byte 17, the 789-byte block from byte 18, the
// checksum and 0xAE). Over the serial line the PC takes exactly 809 bytes, so the device answers there with
// an 809-byte frame: its checksum takes the place of the block's last byte, and so that this byte is never
// part of the name, the name is reported there with at most 15 characters.
//
// Safe to use from several threads: hosts and front-panel callers take the device's lock.
class MultiviewerDevice : public SimulatedDevice {
public:
    static constexpr size_t kLanStatusReplySize = 810;
    static constexpr size_t kSerialStatusReplySize = 809;

    // Starts with the factory settings and the identity's name as its custom name (at most 16 characters).
    explicit MultiviewerDevice(Identity identity);

    MultiviewerDeviceState state() const;
    // Replaces the picture settings, name, mode and signals; the presets, lock and network stay.
    void setModel(const MultiviewerState& model);

    // The answer to ReadStatus on a link.
    Bytes statusReply(LinkKind link) const;

    // Front-panel actions. Each returns false, and changes and reports nothing, for a value out of range.
    bool changeLayout(uint8_t code);
    bool changeSource(uint8_t window, uint8_t input);  // the window's input, or the output's in switcher mode
    bool switchUmd(uint8_t input, uint8_t on);         // input 1 to 16; 0 is the all-UMD switch
    bool changeColour(uint8_t code, uint8_t index,
                      uint8_t colour);  // one of the six colour codes; index 0 all
    bool setSignal(uint8_t window, uint8_t present, uint8_t format);  // window 0 to 15, format 0 to 63
    void loadDefaults();
    // Any change that a request of the command set makes, given by the request's code and payload (frame
    // byte 17 on), made on the front panel: applied and reported as the request would be. Code 0x51 sets a
    // window's signal as setSignal does, from [window, present, format].
    bool frontPanelChange(uint8_t code, std::span<const uint8_t> payload);

protected:
    void onFrame(std::span<const uint8_t> frame, const Reply& reply) override;

private:
    // Applies a request or a front-panel change under the lock, then reports it outside the lock.
    bool act(uint8_t code, std::span<const uint8_t> payload);
    void send(const std::optional<DeviceReport>& report);

    MultiviewerDeviceState state_;
};

}  // namespace kvx
