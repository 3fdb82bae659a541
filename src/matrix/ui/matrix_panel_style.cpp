#include "matrix/ui/matrix_panel_style.h"

#include <QLabel>

#include "resources/skin_colors.h"

namespace kvx {

void colourMatrixLabel(QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, skin::kField);
    p.setColor(QPalette::WindowText, skin::kGreen);
    p.setColor(QPalette::Disabled, QPalette::WindowText, skin::kDisabledText);
    label->setPalette(p);
    label->setAutoFillBackground(true);
}

}  // namespace kvx
