#include "multiviewer/ui/panel_style.h"

#include <QRadioButton>

#include "resources/skin_colors.h"
#include "resources/skin_fields.h"

namespace kvx {

void colourPageField(QWidget* field) {
    skin::styleField(field, skin::kFieldText);
}

void colourPageRadio(QRadioButton* radio) {
    colourPageField(radio);
    radio->setStyleSheet(
        QStringLiteral(
            "QRadioButton { padding-left: 4px; background: %2; }"
            "QRadioButton::indicator { width: 10px; height: 10px; border-radius: 6px;"
            " border: 1px solid %1; background: %2; }"
            "QRadioButton::indicator:checked { background: qradialgradient(cx: 0.5, cy: 0.5,"
            " radius: 0.5, fx: 0.5, fy: 0.5, stop: 0 %1, stop: 0.55 %1, stop: 0.65 %2, stop: 1 %2); }"
            "QRadioButton::indicator:disabled { border-color: %3; }")
            .arg(skin::kFieldText.name(), skin::kField.name(), skin::kDisabledText.name()));
}

void colourLabelEdit(QWidget* edit) {
    skin::styleField(edit, Qt::white);
}

}  // namespace kvx
