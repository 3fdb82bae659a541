#include "controls/control_placer.h"

#include <QComboBox>
#include <QLabel>

#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"

namespace kvx {

namespace {
int scale(int v, int dpi) {
    return v * dpi / 96;
}
}  // namespace

QRect ControlPlacer::scaled(const QRect& design) const {
    return QRect(scale(design.x(), dpiX_), scale(design.y(), dpiY_), scale(design.width(), dpiX_),
                 scale(design.height(), dpiY_));
}

QPoint ControlPlacer::scaled(const QPoint& design) const {
    return QPoint(scale(design.x(), dpiX_), scale(design.y(), dpiY_));
}

void ControlPlacer::place(QWidget* control, int id, const QRect& design) const {
    control->setObjectName(QString::number(id));
    control->setGeometry(scaled(design));
}

CShadeButtonST* ControlPlacer::bitmapButton(int id, const QPoint& designPos, int bitmap) const {
    auto* button = new CShadeButtonST(parent_);
    button->setObjectName(QString::number(id));
    // The template's caption: hidden behind the picture, which starts 3 pixels in.
    button->setText(QStringLiteral("Button"));
    button->setFocusPolicy(Qt::ClickFocus);
    SetBitmapResource(*button, bitmap);
    button->setDrawBorder(false);
    button->setGeometry(QRect(scaled(designPos), button->hoverImage().pixmap.size()));
    return button;
}

QComboBox* ControlPlacer::list(int id, const QRect& design, const QStringList& items) const {
    auto* list = new QComboBox(parent_);
    place(list, id, design);
    list->addItems(items);
    list->setCurrentIndex(-1);
    list->setMaxVisibleItems(items.size());
    return list;
}

QLabel* ControlPlacer::label(int id, const QString& text, const QRect& design) const {
    auto* label = new QLabel(text, parent_);
    place(label, id, design);
    return label;
}

}  // namespace kvx
