#pragma once

#include <QImage>

#include "resources/skin_table.h"

namespace kvx {

// Draws one table entry at its table size. Parts that are meant to be see-through (a button's corners and
// its last 3 columns) come out with alpha 0; the renderer turns them black.
QImage drawSkinArt(const SkinBitmap& entry);

}  // namespace kvx
