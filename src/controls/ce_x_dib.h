#pragma once

#include <QImage>
#include <QPixmap>

class QPainter;
class QPoint;

namespace kvx {

// A device-independent picture that a button can paint as its background. Its drawable copy is made on
// the first draw; an empty picture draws nothing.
class CCeXDib {
public:
    CCeXDib() = default;
    explicit CCeXDib(const QImage& image) : m_image(image) {}

    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    bool isEmpty() const { return m_image.isNull(); }

    void draw(QPainter& painter, const QPoint& at);

private:
    QImage m_image;
    QPixmap m_section;  // made from m_image on the first draw
};

}  // namespace kvx
