#include "matrix/ui/release_trackbar.h"

#include <QMouseEvent>

namespace kvx {

ReleaseTrackbar::ReleaseTrackbar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

void ReleaseTrackbar::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit releasedOver(value());
    }
}

}  // namespace kvx
