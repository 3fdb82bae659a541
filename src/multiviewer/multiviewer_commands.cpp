#include "multiviewer/multiviewer_commands.h"

#include <utility>

#include "multiviewer/derived_data.h"
#include "multiviewer/geometry.h"

namespace kvx {
namespace {

bool isInput(int index) {
    return index >= 1 && index <= kInputCount;
}
bool isWindowIndex(int index) {
    return index >= 0 && index < kWindowCount;
}
uint8_t byte(int value) {
    return static_cast<uint8_t>(value);
}

}  // namespace

MultiviewerCommands::MultiviewerCommands(MultiviewerState* state, TargetSource target,
                                         FrameTransport transport)
    : state_(state), target_(std::move(target)), transport_(std::move(transport)) {}

void MultiviewerCommands::sendFrame(const Build& build, const Store& store, After after, FrameRoute route) {
    if (state_ == nullptr || state_->PanelLocked) return;
    Bytes frame = build(target_ ? target_() : Target{});
    // The model shows the operator's choice even when the frame cannot go out.
    if (store) store(*state_);
    if (!transport_) return;
    transport_(std::move(frame), route, [after = std::move(after)](bool sent) {
        if (sent && after) after();
    });
}

void MultiviewerCommands::send(uint8_t code, Bytes payload, const Store& store, After after,
                               FrameRoute route) {
    sendFrame(
        [code, &payload](const Target& t) { return buildFrame(t.type(), t.sub(), t.link, code, payload); },
        store, std::move(after), route);
}

MultiviewerCommands::After MultiviewerCommands::repaint() {
    return [this] {
        if (view_ != nullptr) view_->repaintPreview();
    };
}

MultiviewerCommands::After MultiviewerCommands::recolourAndRepaint(ColourArray which) {
    return [this, which] {
        recomputeColours(*state_, which);
        if (view_ != nullptr) view_->repaintPreview();
    };
}

void MultiviewerCommands::loadDefault() {
    send(mv::kLoadDefault, {0x00});
}

void MultiviewerCommands::setOutputFormat(uint8_t code) {
    send(mv::kSetOutputFormat, {0x00, code});
}

void MultiviewerCommands::setUmdName(int input) {
    if (!isInput(input) || state_ == nullptr) return;
    const std::u16string text = state_->UmdName[static_cast<size_t>(input - 1)];
    sendFrame([input, &text](
                  const Target& t) { return buildIndexedText(t.type(), t.sub(), t.link, byte(input), text); },
              {}, repaint(), FrameRoute::Normal);
}

void MultiviewerCommands::setLayout(uint8_t layout) {
    send(mv::kSetLayout, {layout}, {}, [this] {
        recomputeLayoutGeometry(*state_);
        if (view_ != nullptr) view_->repaintPreview();
    });
}

void MultiviewerCommands::setSource(uint8_t input, uint8_t window) {
    if (!isInput(input) || !isInput(window) || state_ == nullptr) return;
    const uint8_t page = state_->CurrentPage;
    Store store;
    if (page == kPageMatrix)
        store = [input, window](MultiviewerState& s) { setMatrixRoute(s, window, input); };
    After after;
    if (page == kPageLayout) {
        // By now the layout page has stored the new WindowSource; the window's label colours follow it.
        after = [this] {
            recomputeColours(*state_, ColourArray::UmdText);
            recomputeColours(*state_, ColourArray::UmdBack);
            if (view_ != nullptr) view_->repaintPreview();
        };
    } else if (page == kPageMatrix) {
        after = repaint();
    }
    send(mv::kSetSource, {input, window}, store, std::move(after));
}

void MultiviewerCommands::setUmdOn(int input, uint8_t on) {
    if (input == 0) {
        send(
            mv::kSetAllUmd, {on}, [on](MultiviewerState& s) { s.AllUmdOn = on; }, repaint());
    } else if (isInput(input)) {
        send(
            mv::kSetUmdOn, {byte(input), on},
            [input, on](MultiviewerState& s) { s.UmdOn[static_cast<size_t>(input - 1)] = on; }, repaint());
    }
}

void MultiviewerCommands::setAudioMeterOn(int windowIndex, uint8_t on) {
    if (windowIndex == mv::kAllMetersIndex) {
        send(
            mv::kSetAllAudioMeters, {on}, [on](MultiviewerState& s) { s.AllAudioMeterOn = on; }, repaint());
    } else if (isWindowIndex(windowIndex)) {
        send(
            mv::kSetAudioMeterOn, {byte(windowIndex + 1), on},
            [windowIndex, on](MultiviewerState& s) { s.AudioMeterOn[static_cast<size_t>(windowIndex)] = on; },
            repaint());
    }
}

void MultiviewerCommands::setAudioSource(uint8_t window) {
    send(mv::kSetAudioSource, {window});
}

void MultiviewerCommands::sendColour(uint8_t code, int index, uint8_t colour,
                                     PerWindow<uint8_t> MultiviewerState::*field, bool allOnZero,
                                     std::optional<ColourArray> recompute) {
    if (index < 0 || index > kWindowCount) return;
    const Store store = [=](MultiviewerState& s) {
        auto& elements = s.*field;
        if (index == 0 && allOnZero) {
            elements.fill(colour);
        } else {
            elements[static_cast<size_t>(index == 0 ? 0 : index - 1)] = colour;
        }
    };
    send(code, {byte(index), colour}, store, recompute ? recolourAndRepaint(*recompute) : After{});
}

void MultiviewerCommands::setUmdTextColor(int index, uint8_t colour) {
    sendColour(mv::kSetUmdTextColor, index, colour, &MultiviewerState::UmdTextColor, true,
               ColourArray::UmdText);
}

void MultiviewerCommands::setUmdBackColor(int index, uint8_t colour) {
    sendColour(mv::kSetUmdBackColor, index, colour, &MultiviewerState::UmdBackColor, true,
               ColourArray::UmdBack);
}

void MultiviewerCommands::setFormatTextColor(int index, uint8_t colour) {
    sendColour(mv::kSetFormatTextColor, index, colour, &MultiviewerState::FormatTextColor, true,
               ColourArray::FormatText);
}

void MultiviewerCommands::setFormatBackColor(int index, uint8_t colour) {
    sendColour(mv::kSetFormatBackColor, index, colour, &MultiviewerState::FormatBackColor, true,
               ColourArray::FormatBack);
}

void MultiviewerCommands::setTimecodeTextColor(int index, uint8_t colour) {
    sendColour(mv::kSetTimecodeTextColor, index, colour, &MultiviewerState::TimecodeTextColor, false,
               std::nullopt);
}

void MultiviewerCommands::setTimecodeBackColor(int index, uint8_t colour) {
    sendColour(mv::kSetTimecodeBackColor, index, colour, &MultiviewerState::TimecodeBackColor, false,
               std::nullopt);
}

void MultiviewerCommands::setBorder(uint8_t on) {
    send(
        mv::kSetBorder, {on}, [on](MultiviewerState& s) { s.BorderOn = on; }, repaint());
}

void MultiviewerCommands::setAudioChannel(int windowIndex, uint8_t pair) {
    if (!isWindowIndex(windowIndex)) return;
    send(
        mv::kSetAudioChannel, {byte(windowIndex + 1), pair},
        [windowIndex, pair](MultiviewerState& s) {
            s.AudioChannelPair[static_cast<size_t>(windowIndex)] = pair;
        },
        repaint());
}

void MultiviewerCommands::setAudioAlarm(uint8_t on) {
    send(
        mv::kSetAudioAlarm, {on}, [on](MultiviewerState& s) { s.AudioAlarmOn = on; }, repaint());
}

void MultiviewerCommands::setUmdSize(uint8_t size) {
    send(mv::kSetUmdSize, {size});
}

void MultiviewerCommands::sendPreset(uint8_t code, uint8_t value) {
    send(code, {value});
}

void MultiviewerCommands::resetMatrix() {
    send(
        mv::kResetMatrix, {},
        [](MultiviewerState& s) {
            for (int k = 1; k <= kWindowCount; ++k) setMatrixRoute(s, k, byte(k));
        },
        repaint());
}

void MultiviewerCommands::setFormatStatus(uint8_t on) {
    send(
        mv::kSetFormatStatus, {on}, [on](MultiviewerState& s) { s.FormatStatusOn = on; }, repaint());
}

void MultiviewerCommands::setTimecode(uint8_t on) {
    send(mv::kSetTimecode, {on}, [on](MultiviewerState& s) { s.TimecodeOn = on; });
}

void MultiviewerCommands::setWorkMode() {
    if (state_ == nullptr) return;
    send(mv::kSetWorkMode, {state_->SwitcherMode});
}

void MultiviewerCommands::setDhcp() {
    if (state_ == nullptr) return;
    send(mv::kSetDhcp, {state_->DhcpToggle}, {}, {}, FrameRoute::DatagramOnly);
}

}  // namespace kvx
