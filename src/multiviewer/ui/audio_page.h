#pragma once

#include "multiviewer/ui/multiviewer_page.h"

namespace kvx {

// The audio page (page 6): audio source, meters and channel pairs.
class CClass_16_view_audio : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 296;

    CClass_16_view_audio(const PageContext& context, QWidget* parent);
};

}  // namespace kvx
