#include "multiviewer/ui/preview_painter.h"

#include "multiviewer/geometry.h"
#include "multiviewer/preview_rules.h"

namespace kvx {

QSize previewSize(int dpiX, int dpiY) {
    return QSize(kCanvasWidth * dpiX / 96, kCanvasHeight * dpiY / 96);
}

void paintPreview(QPainter& painter, const MultiviewerState&, int dpiX, int dpiY) {
    const Rgb back = preview::kBackground;
    painter.fillRect(QRect(QPoint(), previewSize(dpiX, dpiY)), QColor(back.red, back.green, back.blue));
}

}  // namespace kvx
