#include "controls/button_st.h"

#include <qdrawutil.h>

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>

namespace kvx {

namespace {

constexpr int kImageMargin = 3;  // the picture's distance from the left edge, and from it to the caption

// The greyed look of a disabled button: the picture's shapes in light greys, its transparent parts kept.
QPixmap greyed(const ButtonImage& image) {
    QImage grey = image.pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = 128 + qGray(line[x]) / 3;
            line[x] = qRgba(level, level, level, qAlpha(line[x]));
        }
    }
    return QPixmap::fromImage(grey);
}

}  // namespace

CButtonST::CButtonST(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    setMouseTracking(true);
    const QPalette& pal = palette();
    m_colors[BkIn] = m_colors[BkOut] = m_colors[BkFocus] = pal.color(QPalette::Button);
    m_colors[FgIn] = m_colors[FgOut] = m_colors[FgFocus] = pal.color(QPalette::ButtonText);
}

void CButtonST::setDrawBorder(bool on) {
    m_drawBorder = on;
    update();
}

void CButtonST::setColor(ColorSlot slot, const QColor& color) {
    m_colors[slot] = color;
    update();
}

void CButtonST::setImages(const ButtonImage& hover, const ButtonImage& idle) {
    m_hover = hover;
    m_idle = idle;
    update();
}

QSize CButtonST::sizeHint() const {
    return m_hover.isNull() ? QPushButton::sizeHint() : m_hover.pixmap.size();
}

void CButtonST::paintEvent(QPaintEvent*) {
    m_isPressed = isDown();
    m_isFocused = hasFocus();
    m_isDisabled = !isEnabled();

    QPainter painter(this);
    const QRect area = rect();
    drawBackground(painter, area);
    drawEdge(painter, area);
    drawImage(painter, area);
    drawCaption(painter, area);
}

void CButtonST::drawBackground(QPainter& painter, const QRect& area) {
    const ColorSlot slot = (m_mouseOver || m_isPressed) ? BkIn : (m_isFocused ? BkFocus : BkOut);
    painter.fillRect(area, m_colors[slot]);
}

void CButtonST::drawEdge(QPainter& painter, const QRect& area) {
    const QPalette& pal = palette();
    if (!isFlat()) {
        qDrawWinButton(&painter, area, pal, m_isPressed);
        return;
    }
    if (!m_drawBorder || !(m_isPressed || m_mouseOver)) return;
    // Sunken when pressed (shadow top-left), raised otherwise.
    const QColor topLeft = m_isPressed ? pal.color(QPalette::Dark) : pal.color(QPalette::Light);
    const QColor bottomRight = m_isPressed ? pal.color(QPalette::Light) : pal.color(QPalette::Dark);
    painter.setPen(topLeft);
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());
}

const ButtonImage& CButtonST::currentImage() const {
    const bool idle = !m_idle.isNull() && !m_isPressed && !m_mouseOver;
    return idle ? m_idle : m_hover;
}

QRect CButtonST::imageRect(const ButtonImage& image, const QRect& area) const {
    const int x =
        text().isEmpty() ? area.left() + (area.width() - image.width()) / 2 : area.left() + kImageMargin;
    const int y = area.top() + (area.height() - image.height()) / 2;
    return QRect(x, y, image.width(), image.height());
}

void CButtonST::drawImage(QPainter& painter, const QRect& area) {
    const ButtonImage& image = currentImage();
    if (image.isNull()) return;
    QRect place = imageRect(image, area);
    if (m_isPressed) place.translate(1, 1);
    painter.drawPixmap(place.topLeft(), m_isDisabled ? greyed(image) : image.pixmap);
}

void CButtonST::drawCaption(QPainter& painter, const QRect& area) {
    if (text().isEmpty()) return;
    QRect captionArea = area;
    const ButtonImage& image = currentImage();
    if (!image.isNull()) captionArea.setLeft(imageRect(image, area).right() + 1 + kImageMargin);
    if (captionArea.isEmpty()) return;  // the picture fills the button: the caption has no room
    if (m_isPressed) captionArea.translate(1, 1);

    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    if (m_isDisabled) {
        // Embossed: a light copy one pixel down-right under the shadow-coloured text.
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(captionArea.translated(1, 1), flags, text());
        painter.setPen(palette().color(QPalette::Mid));
    } else {
        painter.setPen(m_colors[(m_mouseOver || m_isPressed) ? FgIn : FgOut]);
    }
    painter.drawText(captionArea, flags, text());
}

void CButtonST::setMouseOver(bool on) {
    if (m_mouseOver == on) return;
    m_mouseOver = on;
    update();
}

void CButtonST::trackMouse(const QPoint& pos, Qt::MouseButtons buttons) {
    if (!isFlat()) return;
    if ((buttons & Qt::LeftButton) && !m_mouseOver) return;  // a drag that started elsewhere
    setMouseOver(rect().contains(pos));
}

void CButtonST::enterEvent(QEnterEvent* event) {
    trackMouse(event->position().toPoint(), QApplication::mouseButtons());
    QPushButton::enterEvent(event);
}

void CButtonST::leaveEvent(QEvent* event) {
    setMouseOver(false);
    QPushButton::leaveEvent(event);
}

void CButtonST::mouseMoveEvent(QMouseEvent* event) {
    trackMouse(event->position().toPoint(), event->buttons());
    QPushButton::mouseMoveEvent(event);
}

void CButtonST::focusOutEvent(QFocusEvent* event) {
    setMouseOver(false);
    QPushButton::focusOutEvent(event);
}

void CButtonST::changeEvent(QEvent* event) {
    // Losing the window's activation or being disabled ends the hover; Qt itself moves the focus away
    // from a control that becomes disabled.
    if ((event->type() == QEvent::ActivationChange && !isActiveWindow()) ||
        (event->type() == QEvent::EnabledChange && !isEnabled())) {
        setMouseOver(false);
    }
    QPushButton::changeEvent(event);
}

}  // namespace kvx
