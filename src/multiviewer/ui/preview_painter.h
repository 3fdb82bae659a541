#pragma once

#include <QSize>

#include "multiviewer/multiviewer_state.h"

class QPainter;

namespace kvx {

// The layout preview of the model at its dots per inch, its top-left corner at the painter's origin.
// Everything is drawn inside the picture (previewSize), in the painter's font, unscaled; the painter's state
// is left as it was. The caller composes into an off-screen image and copies it once.
void paintPreview(QPainter& painter, const MultiviewerState& state, int dpiX, int dpiY);
QSize previewSize(int dpiX, int dpiY);  // 720 x 480 scaled, each value by itself, truncated

}  // namespace kvx
