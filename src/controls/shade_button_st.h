#pragma once

#include "controls/button_st.h"
#include "controls/ce_x_dib.h"

namespace kvx {

// The picture button of every window: a CButtonST whose background is a shade picture instead of a fill.
// No shade is ever set in this program, so the background stays undrawn and the window behind shows
// through the button's transparent pixels.
class CShadeButtonST : public CButtonST {
    Q_OBJECT
public:
    enum Shade { Normal, Pressed, Disabled, Hover, Work1, Work2, ShadeCount };

    explicit CShadeButtonST(QWidget* parent = nullptr);

    void setShade(Shade which, const QImage& image);
    const CCeXDib& shade(Shade which) const { return m_shades[which]; }

protected:
    void drawBackground(QPainter& painter, const QRect& area) override;

private:
    CCeXDib m_shades[ShadeCount];
};

}  // namespace kvx
