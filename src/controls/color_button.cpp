#include "controls/color_button.h"

#include <QMouseEvent>
#include <QPainter>

namespace kvx {

namespace {
constexpr qreal kCornerRadius = 1.5;  // a rounded corner 3 pixels across
}

CColorButton::CColorButton(QWidget* parent) : QPushButton(parent) {
    setMouseTracking(true);
}

CColorButton::CColorButton(const QString& caption, QWidget* parent) : CColorButton(parent) {
    setText(caption);
}

void CColorButton::setPressedColor(const QColor& color) {
    m_pressedColor = color;
    update();
}

void CColorButton::setHoverColor(const QColor& color) {
    m_hoverColor = color;
    update();
}

void CColorButton::setNormalColor(const QColor& color) {
    m_normalColor = color;
    update();
}

void CColorButton::setDisabledColor(const QColor& color) {
    m_disabledColor = color;
    update();
}

void CColorButton::setTextColor(const QColor& color) {
    m_textColor = color;
    update();
}

QColor CColorButton::faceColor(int state) const {
    switch (state) {
        case Pressed:
            return m_pressedColor;
        case Hover:
            return m_hoverColor;
        case DisabledState:
            return m_disabledColor;
        default:
            return m_normalColor;
    }
}

void CColorButton::setState(int state) {
    m_state = state;
    update();
}

void CColorButton::releaseCapture() {
    if (mouseGrabber() == this) releaseMouse();
}

void CColorButton::paintEvent(QPaintEvent*) {
    if (!isEnabled()) m_state = DisabledState;
    QPainter painter(this);
    const QColor face = faceColor(m_state);
    painter.setPen(face);
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);

    const QFontMetrics metrics(font());
    const int left = width() / 2 - metrics.horizontalAdvance(text()) / 2;
    const int top = height() / 2 - metrics.height() / 2;
    painter.setPen(m_textColor);
    painter.drawText(QPoint(left, top + metrics.ascent()), text());
}

void CColorButton::mouseMoveEvent(QMouseEvent* event) {
    if (mouseGrabber() != this) {
        grabMouse();
        setState(Hover);
    } else if (!rect().contains(event->position().toPoint())) {
        setState(Normal);
        releaseMouse();
    }
    QPushButton::mouseMoveEvent(event);
}

void CColorButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) setState(Pressed);
    QPushButton::mousePressEvent(event);
}

void CColorButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) setState(Hover);
    QPushButton::mouseReleaseEvent(event);
}

void CColorButton::focusInEvent(QFocusEvent* event) {
    QPushButton::focusInEvent(event);
    m_focused = 1;
    update();
}

void CColorButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    m_focused = 0;
    update();
}

void CColorButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        // A disabled control gets no mouse events: give the capture back. Enabled again, the button
        // starts from its normal face instead of keeping the disabled one.
        if (!isEnabled()) {
            releaseCapture();
        } else if (m_state == DisabledState) {
            m_state = Normal;
        }
    }
    QPushButton::changeEvent(event);
}

void CColorButton::hideEvent(QHideEvent* event) {
    // A minimised or hidden window must not keep the mouse.
    releaseCapture();
    m_state = isEnabled() ? Normal : DisabledState;
    QPushButton::hideEvent(event);
}

}  // namespace kvx
