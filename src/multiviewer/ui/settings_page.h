#pragma once

#include "multiviewer/ui/multiviewer_page.h"

namespace kvx {

// The settings page (page 4): output format, display switches, factory defaults and the two presets.
class CClass_16_view_set : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 298;

    CClass_16_view_set(const PageContext& context, QWidget* parent);
};

}  // namespace kvx
