#pragma once

#include "matrix/ui/matrix_panel.h"

namespace kvx {

// The panel of an 8x8 HD matrix switcher (type 0x82, dialog 174).
class CClass_matrix_child : public MatrixPanel {
    Q_OBJECT
public:
    static const MatrixPanelLayout kLayout;

    explicit CClass_matrix_child(PanelContext& context, QWidget* parent = nullptr);
};

}  // namespace kvx
