#pragma once

#include <QIcon>
#include <QPixmap>

#include "controls/set_bitmap_resource.h"
#include "resources/skin_renderer.h"

namespace kvx {

// The program's icon (bitmap 128) with its black corners transparent.
inline QPixmap programIconPixmap() {
    QPixmap pixmap = QPixmap::fromImage(renderSkinBitmap(128));
    pixmap.setMask(blackTransparentMask(renderSkinBitmap(128)));
    return pixmap;
}

}  // namespace kvx
