#pragma once

#include "multiviewer/ui/multiviewer_page.h"

namespace kvx {

// The UMD page (page 2): the labels of the sixteen inputs, their switches and the master switch.
class CClass_16_view_umd : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 301;

    CClass_16_view_umd(const PageContext& context, QWidget* parent);
};

}  // namespace kvx
