#include "matrix/routing.h"

#include <algorithm>

namespace kvx {

RoutingUpdate MatrixRouting::selectInput(int n) {
    RoutingUpdate update;
    if (!validPort(n) || n == SelectedInput) return update;
    PendingRoute.fill(0);
    update.input = ButtonSwap{SelectedInput, n};
    SelectedInput = static_cast<uint8_t>(n);
    update.litOutputs = litOutputs(n);
    if (ModeHighlight != kModeNone) update.mode = ButtonSwap{ModeHighlight, kModeNone};
    ModeHighlight = kModeNone;
    return update;
}

RoutingUpdate MatrixRouting::toggleOutput(int k) {
    RoutingUpdate update;
    if (SelectedInput == 0 || !validPort(k)) return update;
    uint8_t& mark = PendingRoute[static_cast<size_t>(k - 1)];
    mark = mark == SelectedInput ? 0 : SelectedInput;
    update.litOutputs = litOutputs(SelectedInput);
    return update;
}

RoutingUpdate MatrixRouting::apply() {
    RoutingUpdate update;
    const int input = SelectedInput;
    if (input == 0) return update;
    // The 16x16 does nothing at all, not even the highlight, for an input that is neither marked nor routed.
    if (kind_.applyNeedsRoutedInput && !inputRoutedOrMarked(input)) return update;
    update.mode = highlightMode(kModeApply);

    std::string text = std::to_string(input) + "V";
    bool anyOutput = false;
    for (int k = 1; k <= kind_.ports; ++k) {
        const size_t i = static_cast<size_t>(k - 1);
        if (PendingRoute[i] != input) continue;
        AppliedRoute[i] = StatusRoute[i] = static_cast<uint8_t>(input);
        text += std::to_string(k) + ",";
        anyOutput = true;
    }
    if (anyOutput) {
        text.back() = '.';
        update.routingText = std::move(text);
    }
    return update;
}

RoutingUpdate MatrixRouting::routeToAll() {
    RoutingUpdate update;
    const int input = SelectedInput;
    if (input == 0) return update;
    update.mode = highlightMode(kModeOneToAll);
    for (size_t i = 0; i < static_cast<size_t>(kind_.ports); ++i) {
        AppliedRoute[i] = StatusRoute[i] = static_cast<uint8_t>(input);
    }
    update.litOutputs = litOutputs(input);
    update.routingText = std::to_string(input) + "All.";
    return update;
}

RoutingUpdate MatrixRouting::oneToOne() {
    RoutingUpdate update;
    update.mode = highlightMode(kModeOneToOne);
    for (int k = 1; k <= kind_.ports; ++k) {
        AppliedRoute[static_cast<size_t>(k - 1)] = StatusRoute[static_cast<size_t>(k - 1)] =
            static_cast<uint8_t>(k);
    }
    if (SelectedInput != 0) update.input = ButtonSwap{SelectedInput, 0};
    SelectedInput = 0;
    update.litOutputs = std::bitset<kMaxMatrixPorts>{};
    update.routingText = "All#.";
    return update;
}

std::bitset<kMaxMatrixPorts> MatrixRouting::litOutputs(int a) const {
    std::bitset<kMaxMatrixPorts> lit;
    if (a == 0) return lit;
    for (size_t i = 0; i < static_cast<size_t>(kind_.ports); ++i) {
        lit[i] = AppliedRoute[i] == a || PendingRoute[i] == a;
    }
    return lit;
}

std::optional<ButtonSwap> MatrixRouting::highlightMode(uint8_t m) {
    if (ModeHighlight == m) return std::nullopt;
    const ButtonSwap swap{ModeHighlight, m};
    ModeHighlight = m;
    return swap;
}

std::optional<int> MatrixRouting::statusInput(int k) const {
    if (!validPort(k)) return std::nullopt;
    const int m = StatusRoute[static_cast<size_t>(k - 1)];
    if (!validPort(m)) return std::nullopt;
    return m;
}

void MatrixRouting::useRoutingReply(const MatrixRoutingReply& reply) {
    std::copy_n(reply.routes.begin(), kind_.ports, StatusRoute.begin());
    if (kind_.hasOutputFormat) MatrixOutputFormat = reply.outputFormatPosition;
}

void MatrixRouting::useBacklightReply(const BacklightReply& reply) {
    BacklightTime = reply.time;
    BacklightBrightness = reply.brightness;
}

}  // namespace kvx
