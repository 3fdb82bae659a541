#pragma once

#include <QSlider>

namespace kvx {

// The brightness trackbar: a horizontal slider that also tells when the left mouse button is released over
// it, the one moment the panels send the brightness.
class ReleaseTrackbar : public QSlider {
    Q_OBJECT
public:
    explicit ReleaseTrackbar(QWidget* parent = nullptr);

signals:
    void releasedOver(int position);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace kvx
