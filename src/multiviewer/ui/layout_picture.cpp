#include "multiviewer/ui/layout_picture.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include "multiviewer/geometry.h"
#include "multiviewer/layout_catalogue.h"
#include "multiviewer/preview_rules.h"
#include "resources/skin_renderer.h"

namespace kvx {
namespace {

using namespace preview;

constexpr int kCutColumns = 3;       // left transparent on the right, as on every button face
constexpr int kMinNumberPixels = 7;  // smaller numbers are not legible: the window goes without
constexpr int kSingleNumberPixels = 24;
constexpr int kMultiNumberPixels = 13;

// Canvas units onto the picture's area, each edge rounded by itself so that touching windows share edges.
class PictureScale {
public:
    explicit PictureScale(const QRect& area) : area_(area) {}
    int x(int v) const { return area_.left() + (v * area_.width() + kCanvasWidth / 2) / kCanvasWidth; }
    int y(int v) const { return area_.top() + (v * area_.height() + kCanvasHeight / 2) / kCanvasHeight; }
    QRect rect(const Rect& r) const {
        return QRect(QPoint(x(r.x), y(r.y)), QPoint(x(r.x + r.width) - 1, y(r.y + r.height) - 1));
    }
    QRectF box(const ClockFace& c) const {
        return QRectF(QPointF(x(c.left), y(c.top)), QPointF(x(c.right), y(c.bottom)));
    }
    QPointF point(Point p) const { return QPointF(x(p.x), y(p.y)); }

private:
    QRect area_;
};

QFont numberFont(int pixelSize) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// The number centred on the window's inside in the largest size up to maxPixels that leaves a pixel around
// its ink; nothing when even the smallest legible size does not fit.
void drawNumber(QPainter& painter, const QRect& inside, int number, int maxPixels, const QColor& color) {
    const QString text = QString::number(number);
    for (int pixels = maxPixels; pixels >= kMinNumberPixels; --pixels) {
        const QFont font = numberFont(pixels);
        const QRect ink = QFontMetrics(font).tightBoundingRect(text);
        if (ink.width() + 2 > inside.width() || ink.height() + 2 > inside.height()) continue;
        const int left = inside.left() + (inside.width() - ink.width()) / 2 - ink.left();
        const int baseline = inside.top() + (inside.height() - ink.height()) / 2 - ink.top();
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(QPoint(left, baseline), text);
        return;
    }
}

void drawClockFace(QPainter& painter, const PictureScale& scale, const ClockFace& clock,
                   const LayoutPictureLook& look) {
    painter.setPen(QPen(look.hands, 1));
    painter.setBrush(look.decor);
    painter.drawEllipse(scale.box(clock).adjusted(0.5, 0.5, -0.5, -0.5));
    const QPointF centre = scale.point(clock.centre());
    painter.drawLine(centre, scale.point(clock.hourHand));
    painter.drawLine(centre, scale.point(clock.minuteHand));
}

// Draws the picture of a catalogue image number.
void drawCatalogueImage(QPainter& painter, const SkinBitmap& entry) {
    for (const LayoutEntry& layout : layoutCatalogue()) {
        if (entry.number != layout.normalImage && entry.number != layout.highlightedImage) continue;
        drawLayoutPicture(painter, layout.code, entry.number == layout.highlightedImage,
                          QSize(entry.width, entry.height));
        return;
    }
}

}  // namespace

LayoutPictureLook layoutPictureLook(bool highlighted) {
    if (highlighted) {  // lit green ground, bright frames, green numbers on dark insides
        return {.face = {98, 170, 93},
                .edge = {196, 240, 188},
                .frame = {214, 255, 206},
                .inside = {28, 46, 31},
                .number = {150, 232, 140},
                .decor = {180, 236, 172},
                .hands = {44, 78, 48}};
    }
    return {.face = {62, 66, 73},
            .edge = {98, 104, 112},
            .frame = {150, 156, 164},
            .inside = {34, 37, 41},
            .number = {190, 196, 204},
            .decor = {120, 126, 134},
            .hands = {28, 30, 34}};
}

void drawLayoutPicture(QPainter& painter, uint8_t layout, bool highlighted, QSize size) {
    const LayoutPictureLook look = layoutPictureLook(highlighted);
    const int width = size.width() - kCutColumns;
    const bool single = layoutWindowCount(layout) == 1;
    const int margin = single ? 2 : 3;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look.edge, highlighted ? 2 : 1));
    painter.setBrush(look.face);
    const qreal inset = highlighted ? 1 : 0.5;
    painter.drawRoundedRect(QRectF(inset, inset, width - 2 * inset, size.height() - 2 * inset), 4, 4);

    const PictureScale scale(QRect(margin, margin, width - 2 * margin, size.height() - 2 * margin));
    const GeometryTable records = layoutGeometry(layout);
    for (int k = 1; k <= layoutWindowCount(layout); ++k) {
        const GeometryRecord& record = records[static_cast<size_t>(k - 1)];
        const QRect window = scale.rect(drawnRect(layout, k, record));
        painter.fillRect(window, look.frame);
        const QRect inside = window.adjusted(1, 1, -1, -1);
        painter.fillRect(inside, look.inside);
        drawNumber(painter, inside, record.number, single ? kSingleNumberPixels : kMultiNumberPixels,
                   look.number);
    }
    const LayoutDecor decor = layoutDecor(layout);
    if (decor.clock) drawClockFace(painter, scale, *decor.clock, look);
    for (const Rect& bar : decor.bars) painter.fillRect(scale.rect(bar), look.decor);
    painter.restore();
}

void installLayoutPictures() {
    installLayoutPictureArt(drawCatalogueImage);
}

}  // namespace kvx
