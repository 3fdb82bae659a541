#include "controls/ce_x_dib.h"

#include <QPainter>

namespace kvx {

void CCeXDib::setImage(const QImage& image) {
    m_image = image;
    m_section = QPixmap();
}

void CCeXDib::draw(QPainter& painter, const QPoint& at) {
    if (isEmpty()) return;
    if (m_section.isNull()) m_section = QPixmap::fromImage(m_image);
    painter.drawPixmap(at, m_section);
}

}  // namespace kvx
