#include "matrix/ui/matrix_panel_style.h"

#include <QLabel>

namespace kvx {

namespace {
const QColor kFieldFace(58, 58, 58);
const QColor kFieldText(60, 180, 255);
const QColor kLabelText(110, 187, 105);
const QColor kDisabledText(128, 128, 128);
}  // namespace

void colourMatrixField(QWidget* field) {
    QPalette p = field->palette();
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button}) p.setColor(role, kFieldFace);
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(role, kFieldText);
    field->setPalette(p);
    field->setAutoFillBackground(true);
}

void colourMatrixLabel(QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, kFieldFace);
    p.setColor(QPalette::WindowText, kLabelText);
    p.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledText);
    label->setPalette(p);
    label->setAutoFillBackground(true);
}

}  // namespace kvx
