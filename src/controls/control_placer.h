#pragma once

#include <QRect>
#include <QStringList>

class QComboBox;
class QLabel;
class QWidget;

namespace kvx {

class CShadeButtonST;

// Makes the controls of a skinned window at their design places (96 dpi), scaled by the screen's
// resolution: a value v becomes v * dpi / 96, truncated, x and widths by the horizontal resolution, y and
// heights by the vertical one. Each control carries its control id as its object name.
class ControlPlacer {
public:
    ControlPlacer(QWidget* parent, int dpiX, int dpiY) : parent_(parent), dpiX_(dpiX), dpiY_(dpiY) {}

    QRect scaled(const QRect& design) const;
    QPoint scaled(const QPoint& design) const;

    // A picture button at a scaled place and the unscaled size of its bitmap, without a border.
    CShadeButtonST* bitmapButton(int id, const QPoint& designPos, int bitmap) const;
    // A drop-down list holding the items in the given order (not sorted), nothing selected.
    QComboBox* list(int id, const QRect& design, const QStringList& items) const;
    QLabel* label(int id, const QString& text, const QRect& design) const;
    // Any other control: named and placed.
    void place(QWidget* control, int id, const QRect& design) const;

private:
    QWidget* parent_;
    int dpiX_;
    int dpiY_;
};

}  // namespace kvx
