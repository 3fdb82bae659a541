#pragma once

#include "multiviewer/ui/multiviewer_page.h"

namespace kvx {

// The colour page (page 3): label, format status, time code and border colours.
class CClass_16_view_color : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 297;

    CClass_16_view_color(const PageContext& context, QWidget* parent);
};

}  // namespace kvx
