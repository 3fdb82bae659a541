#pragma once

#include <QPainter>
#include <QSize>

#include "multiviewer/multiviewer_state.h"

namespace kvx {

// The layout preview of the model at its dots per inch, its top-left corner at the painter's origin.
void paintPreview(QPainter& painter, const MultiviewerState& state, int dpiX, int dpiY);
// 720 x 480 scaled, each value by itself, truncated.
QSize previewSize(int dpiX, int dpiY);

}  // namespace kvx
