#include "multiviewer/ui/panel_style.h"

#include <QWidget>

namespace kvx {

namespace {

const QColor kFieldFace(58, 58, 58);
const QColor kFieldText(60, 180, 255);
const QColor kDisabledText(128, 128, 128);

void colourField(QWidget* field, const QColor& text) {
    QPalette p = field->palette();
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button}) p.setColor(role, kFieldFace);
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        p.setColor(role, text);
        p.setColor(QPalette::Disabled, role, kDisabledText);
    }
    field->setPalette(p);
    field->setAutoFillBackground(true);
}

}  // namespace

void colourPageField(QWidget* field) {
    colourField(field, kFieldText);
}

void colourLabelEdit(QWidget* edit) {
    colourField(edit, Qt::white);
}

}  // namespace kvx
