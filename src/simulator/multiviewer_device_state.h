#pragma once

#include <array>
#include <cstdint>

#include "multiviewer/multiviewer_state.h"

namespace kvx {

inline constexpr int kCustomPresetCount = 2;
inline constexpr size_t kNetworkAddressBytes = 12;  // address, subnet mask and gateway

// Everything the simulated multiviewer keeps. Its picture settings are held in the PC's own model type, so
// the status block is encoded from exactly the fields the PC decodes; the rest the PC cannot read back.
struct MultiviewerDeviceState {
    MultiviewerState model;  // the device fields; the PC-side fields (pages, selections, derived data) unused
    uint8_t panelLocked = 0;
    uint8_t umdSize = 0;  // 0 "Small", 1 "Middle", 2 "Large"
    std::array<uint8_t, kNetworkAddressBytes> networkAddress{};
    std::array<MultiviewerState, kCustomPresetCount> presets;  // custom presets 1 and 2
};

// The factory settings: sixteen windows (layout 160) showing inputs 1 to 16, one-to-one matrix, 1080p60 out,
// labels "Umd_01" ... on in white on black, format status and borders on, time code off, audio of window 1
// with every meter on. The device's name, network, lock, work mode and input signals are not settings.
MultiviewerState factorySettings();

// The presets of a new device hold the factory settings.
MultiviewerDeviceState newMultiviewerDeviceState();

// The settings of `settings` put into the model while it keeps what no preset or default replaces: the
// device's name, its DHCP choice, the work mode and the signals at its inputs.
void restoreSettings(MultiviewerState& model, const MultiviewerState& settings);

}  // namespace kvx
