#pragma once

#include <QImage>

namespace kvx {

// The bitmap of a resource number, as an opaque RGB image in which black, RGB(0, 0, 0), marks the pixels
// a button leaves transparent. When the environment variable KORVELUX_SKIN_DIR names a folder holding
// <number>.png, that picture is used at its own size (its transparent pixels become black); otherwise the
// table entry is drawn at its table size. Null for a number with neither. Images are made once and kept;
// call from the user-interface thread (a QGuiApplication must exist).
QImage renderSkinBitmap(int number);

}  // namespace kvx
