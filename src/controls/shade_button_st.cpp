#include "controls/shade_button_st.h"

namespace kvx {

CShadeButtonST::CShadeButtonST(QWidget* parent) : CButtonST(parent) {}

void CShadeButtonST::setShade(Shade which, const QImage& image) {
    m_shades[which].setImage(image);
    update();
}

void CShadeButtonST::drawBackground(QPainter& painter, const QRect& area) {
    if (!isMouseOver()) {
        m_shades[Normal].draw(painter, area.topLeft());
        return;
    }
    const QPoint shift = m_isPressed ? QPoint(1, 1) : QPoint(0, 0);
    m_shades[Hover].draw(painter, area.topLeft() + shift);
}

}  // namespace kvx
