#pragma once

#include <QImage>

#include "resources/skin_table.h"

class QPainter;

namespace kvx {

// Draws a SkinArt::LayoutPicture entry on a transparent image of the entry's table size. The skin knows no
// layouts; the multiviewer's UI supplies this drawing.
using LayoutPictureArt = void (*)(QPainter& painter, const SkinBitmap& entry);

// Draws one table entry at its table size. Parts that are meant to be see-through (a button's corners and
// its last 3 columns) come out with alpha 0; the renderer turns them black. A layout picture is drawn by
// layoutArt, and stays blank without it.
QImage drawSkinArt(const SkinBitmap& entry, LayoutPictureArt layoutArt);

// The program's icon (bitmap 128) drawn at size x size pixels, its corners see-through: the window's icon
// and the desktop's (the package installs it in these sizes).
QImage drawProgramIcon(int size);
inline constexpr int kProgramIconNumber = 128;

}  // namespace kvx
