#pragma once

namespace kvx {

// What the senders and the report handling ask of the panel that shows the layout preview.
class MultiviewerView {
public:
    virtual ~MultiviewerView() = default;
    // Invalidates the preview's area; the next paint draws the whole picture from the model.
    virtual void repaintPreview() = 0;
};

}  // namespace kvx
