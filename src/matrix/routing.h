#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>

#include "matrix/matrix_kind.h"
#include "matrix/matrix_replies.h"

namespace kvx {

// ModeHighlight values: which of the three mode buttons shows its highlighted picture.
inline constexpr uint8_t kModeNone = 0;
inline constexpr uint8_t kModeApply = 1;
inline constexpr uint8_t kModeOneToAll = 2;
inline constexpr uint8_t kModeOneToOne = 3;

// One button of a row or group going back to normal and one showing its selected (highlighted) picture;
// 0 means no button.
struct ButtonSwap {
    int normal = 0;
    int selected = 0;
    friend bool operator==(const ButtonSwap&, const ButtonSwap&) = default;
};

// What an operation changed, so that the panel redraws exactly that and sends the text.
struct RoutingUpdate {
    std::optional<ButtonSwap> input;                         // input buttons by number
    std::optional<ButtonSwap> mode;                          // mode buttons by ModeHighlight value
    std::optional<std::bitset<kMaxMatrixPorts>> litOutputs;  // the output row anew: bit k - 1 lights output k
    // The routing text to send. Once it has gone out the panel redraws the status row from StatusRoute and
    // the lock button; when it could not be sent nothing is redrawn (the fields have changed all the same).
    std::optional<std::string> routingText;

    bool empty() const { return !input && !mode && !litOutputs && !routingText; }
};

// The routing model shared by the two matrix switcher panels. Pure: no I/O. The panel checks PanelLocked
// before it calls an operation; every operation is a no-op for an input or output outside 1 to ports().
class MatrixRouting {
public:
    explicit MatrixRouting(const MatrixKind& kind) : kind_(kind) {}

    const MatrixKind& kind() const { return kind_; }
    int ports() const { return kind_.ports; }

    // Input button n: a new input clears every mark, lights the outputs for n and shows the modes normal.
    RoutingUpdate selectInput(int n);
    // Output button k: toggles its mark for the selected input.
    RoutingUpdate toggleOutput(int k);
    // Apply: routes the selected input to the marked outputs ("3V1,2,5."); the marks stay.
    RoutingUpdate apply();
    // One input to all outputs ("3All.").
    RoutingUpdate routeToAll();
    // One-to-one ("All#."): output k carries input k; no input stays selected.
    RoutingUpdate oneToOne();

    // The output buttons lit for input a: those whose AppliedRoute or PendingRoute equals a (none for a = 0).
    std::bitset<kMaxMatrixPorts> litOutputs(int a) const;
    // Highlights mode m; nothing when it already is the highlighted one.
    std::optional<ButtonSwap> highlightMode(uint8_t m);
    // The input the status row shows for output k, when it is one the row can show.
    std::optional<int> statusInput(int k) const;

    // A routing reply fills the status row (and the 16x16's output format); the device's lock, DHCP and name
    // belong to the main window.
    void useRoutingReply(const MatrixRoutingReply& reply);
    void useBacklightReply(const BacklightReply& reply);

    uint8_t SelectedInput = 0;                            // 0 = none
    std::array<uint8_t, kMaxMatrixPorts> AppliedRoute{};  // what this program last routed to output k
    std::array<uint8_t, kMaxMatrixPorts> PendingRoute{};  // output k is marked when it equals SelectedInput
    std::array<uint8_t, kMaxMatrixPorts> StatusRoute{};   // what the status row shows
    uint8_t ModeHighlight = kModeNone;
    uint8_t BacklightTime = 0;  // list position: "15s Dim", "60s Dim", "15s Off", "60s Off", "Always On"
    uint8_t BacklightBrightness = 0;  // percent
    uint8_t MatrixOutputFormat = 0;   // 16x16: position in the output format list

private:
    bool validPort(int n) const { return n >= 1 && n <= kind_.ports; }
    bool inputRoutedOrMarked(int a) const { return litOutputs(a).any(); }

    MatrixKind kind_;
};

}  // namespace kvx
