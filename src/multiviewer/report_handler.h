#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "multiviewer/multiviewer_state.h"
#include "multiviewer/page_updates.h"

namespace kvx {

using DeviceId = std::array<uint8_t, 4>;

// Data bytes (from byte 18) that the report of a code carries; none for a code that no report has.
std::optional<size_t> reportDataBytes(uint8_t code);

// A report belongs to the connected device when bytes 10 to 13 carry its DeviceId.
bool isFromDevice(std::span<const uint8_t> datagram, const DeviceId& id);

enum class ReportKind {
    Ignored,     // another device, an unknown code, an index out of range, or too short for its data
    Applied,     // the model (and the page shown) took the change
    WholeState,  // the device's state changed as a whole: read it back, wait, then afterWholeStateWait()
};

struct ReportOutcome {
    ReportKind kind = ReportKind::Ignored;
    bool repaint = false;          // the preview needs a repaint
    bool resetSelections = false;  // for WholeState: whether afterWholeStateWait resets the page selections
};

inline constexpr int kWholeStateWaitMs = 3000;

// For a whole-state report of the device (0x0B, 0x38, 0x59): whether it resets the colour and audio
// selections afterwards (0x0B and 0x38 do, 0x59 does not). None for any other datagram.
std::optional<bool> wholeStateReset(std::span<const uint8_t> datagram, const DeviceId& id);

// Folds one report of the multiviewer into the model and updates the page shown (CurrentPage), recomputing
// the derived data the change touches. Never reads past the datagram. Runs on the UI thread.
ReportOutcome applyReport(std::span<const uint8_t> datagram, const DeviceId& id, MultiviewerState& state,
                          PageUpdates& pages);

// For a whole-state report, once the read-back has been decoded and 3000 ms have passed: reset the colour
// and audio selections (0x0B and 0x38, not 0x59), refresh the page shown (page 5 has no refresh), and
// recompute the geometry and the six colour arrays. The caller then repaints the preview.
void afterWholeStateWait(MultiviewerState& state, bool resetSelections, PageUpdates& pages);

}  // namespace kvx
