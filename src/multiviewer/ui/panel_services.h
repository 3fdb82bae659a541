#pragma once

#include <functional>

#include "multiviewer/multiviewer_view.h"

namespace kvx {

// What a page asks of the panel that shows it, besides the model and the senders.
class MultiviewerPanelServices : public MultiviewerView {
public:
    // MultiviewerView::repaintPreview: invalidates the preview; the next paint draws it from the model.

    // A long exchange of the page shown (a preset reload). start runs once no re-read of the device's state
    // is under way, usually at once. From this call until finishExchange() the device's reports wait and
    // the page buttons are disabled, so that the page stays while its exchange runs.
    virtual void runExchange(std::function<void()> start) = 0;
    virtual void finishExchange() = 0;
    // Reads the device's whole state on the exchange worker into the model (the name box and the lock button
    // follow it); then() runs afterwards on the UI thread, and not at all once the panel has gone.
    virtual void readDeviceState(std::function<void()> then) = 0;
};

}  // namespace kvx
