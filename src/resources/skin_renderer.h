#pragma once

#include <QImage>

#include "resources/skin_art.h"

namespace kvx {

// The bitmap of a resource number, as an opaque RGB image in which black, RGB(0, 0, 0), marks the pixels
// a button leaves transparent. When the environment variable KORVELUX_SKIN_DIR names a folder holding
// <number>.png, that picture is used at its own size (its transparent pixels become black); otherwise the
// table entry is drawn at its table size. Null for a number with neither. Images are made once and kept;
// call from the user-interface thread (a QGuiApplication must exist).
QImage renderSkinBitmap(int number);

// Supplies the drawing of the layout pictures (SkinArt::LayoutPicture), which are blank without one.
// Pictures made before are drawn again when next asked for; installing the same drawing again changes
// nothing.
void installLayoutPictureArt(LayoutPictureArt art);

}  // namespace kvx
