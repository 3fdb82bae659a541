#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "protocol/control_frame.h"
#include "simulator/main_window_requests.h"
#include "simulator/multiviewer_device_state.h"

namespace kvx {

// A report of the device: its code and its data from frame byte 18.
struct DeviceReport {
    uint8_t code = 0;
    Bytes data;
    friend bool operator==(const DeviceReport&, const DeviceReport&) = default;
};

struct RequestOutcome {
    bool applied = false;
    std::optional<DeviceReport> report;  // none for a change that has no report code
};

// Applies one request, given by its code and its payload (frame byte 17 up to the checksum), to the device's
// state. A report carries the request's payload moved one byte on; the whole-state changes (defaults, a
// custom preset, the matrix reset) are reported without data so that the PC reads the state back. A request
// that does not fit (payload length, an index or a value out of range) changes nothing. ReadStatus is the
// device's to answer and is not applied here.
RequestOutcome applyMultiviewerRequest(MultiviewerDeviceState& device, uint8_t code,
                                       std::span<const uint8_t> payload);

// The layout codes the device can show: 1 to 16 (one window) and the multi-window codes.
bool isLayoutCode(uint8_t code);

}  // namespace kvx
