#pragma once

#include "multiviewer/multiviewer_view.h"

namespace kvx {

// What a page asks of the panel that shows it, besides the model and the senders.
class MultiviewerPanelServices : public MultiviewerView {
public:
    // MultiviewerView::repaintPreview: invalidates the preview; the next paint draws it from the model.
};

}  // namespace kvx
