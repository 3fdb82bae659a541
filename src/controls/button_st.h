#pragma once

#include <QBitmap>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

namespace kvx {

// One picture of a bitmap button: the bitmap at its own size, the mask that leaves its transparent pixels
// out, and the colour those pixels had.
struct ButtonImage {
    QPixmap pixmap;  // carries the mask
    QBitmap mask;
    QColor transparentColor;

    bool isNull() const { return pixmap.isNull(); }
    int width() const { return pixmap.width(); }
    int height() const { return pixmap.height(); }
};

// A flat push button that draws one picture (through its mask) and follows the mouse: the picture button of
// every window. Hover tracking and the border belong to flat buttons, which is what every such button is.
class CButtonST : public QPushButton {
    Q_OBJECT
public:
    // The six colours: background and text for mouse over, mouse away and focused.
    enum ColorSlot { BkIn, FgIn, BkOut, FgOut, BkFocus, FgFocus, ColorCount };

    explicit CButtonST(QWidget* parent = nullptr);

    void setDrawBorder(bool on);
    bool drawBorder() const { return m_drawBorder; }
    bool isMouseOver() const { return m_mouseOver; }

    void setColor(ColorSlot slot, const QColor& color);
    QColor color(ColorSlot slot) const { return m_colors[slot]; }

    // Replaces both pictures (the previous ones are released). The hover picture is shown while the mouse
    // is over the button or it is pressed; the idle picture, when there is one, otherwise.
    void setImages(const ButtonImage& hover, const ButtonImage& idle = {});
    void clearImages() { setImages({}, {}); }
    const ButtonImage& hoverImage() const { return m_hover; }
    const ButtonImage& idleImage() const { return m_idle; }
    int imageCount() const { return int(!m_hover.isNull()) + int(!m_idle.isNull()); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

    // The three drawing steps that a derived button may replace.
    virtual void drawBackground(QPainter& painter, const QRect& area);
    virtual void drawEdge(QPainter& painter, const QRect& area);
    void drawImage(QPainter& painter, const QRect& area);
    void drawCaption(QPainter& painter, const QRect& area);

    bool m_isPressed = false;  // as of the last draw
    bool m_isFocused = false;
    bool m_isDisabled = false;

private:
    void trackMouse(const QPoint& pos, Qt::MouseButtons buttons);
    void setMouseOver(bool on);
    QRect imageRect(const ButtonImage& image, const QRect& area) const;
    const ButtonImage& currentImage() const;

    bool m_drawBorder = true;
    bool m_mouseOver = false;
    QColor m_colors[ColorCount];
    ButtonImage m_hover;
    ButtonImage m_idle;
};

}  // namespace kvx
