#include "resources/skin_fields.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QWidget>

#include "resources/skin_colors.h"

namespace kvx::skin {

void styleField(QWidget* field, const QColor& text) {
    QPalette p = field->palette();
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
        p.setColor(QPalette::Active, role, kField);
        p.setColor(QPalette::Inactive, role, kField);
        p.setColor(QPalette::Disabled, role, kFace);
    }
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        p.setColor(QPalette::Active, role, text);
        p.setColor(QPalette::Inactive, role, text);
        p.setColor(QPalette::Disabled, role, kDisabledText);
    }
    field->setPalette(p);
    field->setAutoFillBackground(true);
    // The open list is a window of its own, which the style gives the menu colours; its view keeps these.
    if (auto* list = qobject_cast<QComboBox*>(field)) list->view()->setPalette(p);
}

}  // namespace kvx::skin
