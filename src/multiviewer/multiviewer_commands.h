#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/multiviewer_state.h"
#include "multiviewer/multiviewer_view.h"
#include "protocol/control_frame.h"
#include "protocol/device_link.h"

namespace kvx {

// How a frame travels: over the link the operator chose, or always as a UDP datagram.
enum class FrameRoute { Normal, DatagramOnly };

// Hands a finished frame to the exchange worker. afterSend(true) must be called, on the UI thread, when the
// frame went out; afterSend(false) (or no call at all) when it was dropped (no socket, port closed).
// afterSend refers to the senders object: the window must not deliver it once that object is gone.
using FrameTransport =
    std::function<void(Bytes frame, FrameRoute route, std::function<void(bool sent)> afterSend)>;

// The target of the next request: the link choice and the selected entry, read when a request is made.
using TargetSource = std::function<Target()>;

// The multiviewer's requests. Every sender follows one rule: nothing at all while there is no model or the
// panel is locked; otherwise build the frame for the current target, store the value in the model, hand the
// frame to the transport, and run the after-sending step (recompute, repaint) only once the frame went out.
// Indexes outside a request's range are refused like a locked panel: nothing stored, nothing sent.
// Runs on the UI thread.
class MultiviewerCommands {
public:
    MultiviewerCommands(MultiviewerState* state, TargetSource target, FrameTransport transport);

    // The preview to repaint after sending; nullptr while no panel is shown.
    void setView(MultiviewerView* view) { view_ = view; }

    void loadDefault();
    void setOutputFormat(uint8_t code);  // the page has stored OutputFormat
    void setUmdName(int input);          // sends UmdName of input 1 to 16
    void setLayout(uint8_t layout);      // the page has stored LayoutMode
    // Page 5: stores MatrixRoute and the cell's number. Page 1: the page stores WindowSource after the call;
    // once the frame went out (afterSend runs later, on the UI thread) the label colours follow it.
    void setSource(uint8_t input, uint8_t window);      // window or output 1 to 16
    void setUmdOn(int input, uint8_t on);               // input 1 to 16; 0: the all-UMD switch
    void setAudioMeterOn(int windowIndex, uint8_t on);  // window index 0 to 15; 64: all meters
    void setAudioSource(uint8_t window);                // the page has stored AudioSourceWindow
    void setUmdTextColor(int index, uint8_t colour);    // index 0 = all inputs, 1 to 16
    void setUmdBackColor(int index, uint8_t colour);
    void setFormatTextColor(int index, uint8_t colour);  // index 0 = all windows, 1 to 16
    void setFormatBackColor(int index, uint8_t colour);
    void setBorder(uint8_t on);
    void setAudioChannel(int windowIndex, uint8_t pair);   // window index 0 to 15
    void setTimecodeTextColor(int index, uint8_t colour);  // index 0 stores element 1 only
    void setTimecodeBackColor(int index, uint8_t colour);
    void setAudioAlarm(uint8_t on);
    void setUmdSize(uint8_t size);
    void sendPreset(uint8_t code, uint8_t value);  // SaveCustom and LoadCustom
    void resetMatrix();
    void setFormatStatus(uint8_t on);
    void setTimecode(uint8_t on);
    void setWorkMode();  // sends SwitcherMode, set by the caller
    void setDhcp();      // sends DhcpToggle, set by the caller; always UDP

private:
    using Store = std::function<void(MultiviewerState&)>;
    using After = std::function<void()>;
    using Build = std::function<Bytes(const Target&)>;

    // The shared sending rule.
    void sendFrame(const Build& build, const Store& store, After after, FrameRoute route);
    void send(uint8_t code, Bytes payload, const Store& store = {}, After after = {},
              FrameRoute route = FrameRoute::Normal);
    void sendColour(uint8_t code, int index, uint8_t colour, PerWindow<uint8_t> MultiviewerState::*field,
                    bool allOnZero, std::optional<ColourArray> recompute);
    After repaint();
    After recolourAndRepaint(ColourArray which);

    MultiviewerState* state_;
    TargetSource target_;
    FrameTransport transport_;
    MultiviewerView* view_ = nullptr;
};

}  // namespace kvx
