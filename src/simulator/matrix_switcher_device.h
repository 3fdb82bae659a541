#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "matrix/matrix_kind.h"
#include "simulator/simulated_device.h"

namespace kvx {

// A simulated HD matrix switcher: type 0x82 (8 inputs, 8 outputs) or 0x83 (16 by 16).
//
// It takes the ASCII routing texts ("3V1,2,5.", "3All.", "All#.") and the frames the panels and the main
// window send: read routing 0x53 and panel lock 0x50 and custom name 0x0F with its own type, network
// settings 0x05, the backlight requests with type 0x03 (read 0x50, time 0x51, brightness 0x52) and, on the
// 16x16, output format 0x19 with type 0x83. Requests that do not fit are ignored.
//
// Its replies have exactly the length a serial reader waits for: the name area is always 32 bytes (the name,
// then zeros), so a routing reply is 64 bytes on the 8x8 and 73 on the 16x16, and a backlight reply 23.
class MatrixSwitcherDevice : public SimulatedDevice {
public:
    struct State {
        std::array<uint8_t, kMaxMatrixPorts> routes{};  // input carried by output k in element k - 1
        uint8_t panelLocked = 0;
        uint8_t dhcpOn = 0;
        uint8_t outputFormatCode = 7;  // 1080p60
        std::u16string name;           // the custom name, at most 16 code units
        uint8_t backlightTime = 4;     // "Always On"
        uint8_t backlightBrightness = 100;
    };

    // The identity's type must be 0x82 or 0x83 (std::invalid_argument otherwise). Starts one-to-one.
    explicit MatrixSwitcherDevice(Identity identity);

    int outputs() const { return kind_.ports; }
    State state() const;
    // For tests and the simulator: a name longer than 16 code units is cut.
    void setState(const State& state);

    void handleText(std::string_view text) override;

    // The answers to read routing and read backlight as the device sends them.
    Bytes routingReply(LinkKind link) const;
    Bytes backlightReply(LinkKind link) const;

protected:
    void onFrame(std::span<const uint8_t> frame, const Reply& reply) override;

private:
    // One of the three routing texts, or nothing when it is malformed.
    struct RoutingText {
        int input = 0;                                // 0 for one-to-one
        std::array<bool, kMaxMatrixPorts> outputs{};  // outputs routed to the input
    };
    std::optional<RoutingText> parseRoutingText(std::string_view text) const;
    std::optional<int> parsePort(std::string_view digits) const;
    void onOwnFrame(uint8_t command, std::span<const uint8_t> payload, LinkKind link, const Reply& reply);
    void onBacklightFrame(uint8_t command, std::span<const uint8_t> payload, LinkKind link,
                          const Reply& reply);

    MatrixKind kind_;
    State state_;
};

}  // namespace kvx
