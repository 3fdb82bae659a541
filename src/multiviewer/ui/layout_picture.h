#pragma once

#include <QColor>
#include <QSize>
#include <cstdint>

class QPainter;

namespace kvx {

// The colours of a layout button's picture, normal or highlighted. None is pure black, which is the
// buttons' transparent colour.
struct LayoutPictureLook {
    QColor face;    // the picture's ground, showing in the gaps between windows
    QColor edge;    // its outline
    QColor frame;   // window frames
    QColor inside;  // window insides
    QColor number;  // window numbers
    QColor decor;   // clock face fill and bars
    QColor hands;   // clock outline and hands
};
LayoutPictureLook layoutPictureLook(bool highlighted);

// The picture on a layout's button, on a transparent image of the given size: the layout's windows small, as
// the preview draws them (gaps included), a number in each window where it fits, its clock face and bars.
// The last 3 columns stay transparent: a button with a caption draws its picture 3 pixels in from the left.
void drawLayoutPicture(QPainter& painter, uint8_t layout, bool highlighted, QSize size);

// Gives the skin renderer the drawing of the layout buttons' images (the catalogue's image numbers). Call
// before the layout buttons get their images; calling again changes nothing.
void installLayoutPictures();

}  // namespace kvx
