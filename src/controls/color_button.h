#pragma once

#include <QColor>
#include <QPushButton>

namespace kvx {

// A text button whose face colour follows the mouse: normal, pressed, under the mouse, disabled. It takes
// the mouse capture while the cursor is over it so that it sees the cursor leave.
class CColorButton : public QPushButton {
    Q_OBJECT
public:
    enum State { Normal = 0, Pressed = 1, Hover = 2, DisabledState = 3 };

    explicit CColorButton(QWidget* parent = nullptr);
    explicit CColorButton(const QString& caption, QWidget* parent = nullptr);

    int state() const { return m_state; }
    bool focused() const { return m_focused != 0; }

    void setPressedColor(const QColor& color);
    void setHoverColor(const QColor& color);
    void setNormalColor(const QColor& color);
    void setDisabledColor(const QColor& color);
    void setTextColor(const QColor& color);
    QColor faceColor(int state) const;
    QColor textColor() const { return m_textColor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setState(int state);
    void releaseCapture();

    int m_state = Normal;
    int m_focused = 0;
    QColor m_pressedColor{46, 49, 54};
    QColor m_hoverColor{46, 49, 54};
    QColor m_normalColor{46, 49, 54};
    QColor m_disabledColor{46, 49, 54};
    QColor m_textColor{255, 255, 255};
};

}  // namespace kvx
