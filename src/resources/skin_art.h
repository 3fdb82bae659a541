#pragma once

#include <QImage>

#include "resources/skin_table.h"

namespace kvx {

// Draws one table entry at its table size. Parts that are meant to be see-through (a button's corners and
// its last 3 columns) come out with alpha 0; the renderer turns them black.
QImage drawSkinArt(const SkinBitmap& entry);

// The program's icon (bitmap 128) drawn at size x size pixels, its corners see-through: the window's icon
// and the desktop's (the package installs it in these sizes).
QImage drawProgramIcon(int size);
inline constexpr int kProgramIconNumber = 128;

}  // namespace kvx
