#include "resources/skin_art.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "resources/skin_colors.h"

namespace kvx {

namespace {

using namespace skin;

// Buttons draw their picture 3 pixels in from the left, so the face stops 3 pixels short of the right edge.
constexpr int kCutColumns = 3;

struct FaceLook {
    QColor top, bottom, edge, text;
};

FaceLook lookOf(SkinState state) {
    switch (state) {
        case SkinState::Selected:
            return {{136, 205, 130}, {92, 164, 88}, {160, 222, 154}, {22, 30, 24}};
        case SkinState::Pressed:
            return {{36, 39, 43}, {52, 56, 61}, kGreen, kGreen};
        case SkinState::Normal:
            break;
    }
    return {{74, 79, 86}, {52, 56, 62}, {98, 104, 112}, kFieldText};
}

QFont boldFont(int pixelSize) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// The largest bold font up to maxSize in which the text fits the width.
QFont fittingFont(const QString& text, int maxSize, int width) {
    int size = maxSize;
    while (size > 8 && QFontMetrics(boldFont(size)).horizontalAdvance(text) > width) --size;
    return boldFont(size);
}

void drawFace(QPainter& painter, const QRectF& face, const FaceLook& look, qreal radius) {
    QLinearGradient gradient(face.topLeft(), face.bottomLeft());
    gradient.setColorAt(0, look.top);
    gradient.setColorAt(1, look.bottom);
    painter.setPen(QPen(look.edge, 1));
    painter.setBrush(gradient);
    painter.drawRoundedRect(face, radius, radius);
}

QRectF buttonFace(const SkinBitmap& entry) {
    return QRectF(0.5, 0.5, entry.width - kCutColumns - 1, entry.height - 1);
}

void drawButton(QPainter& painter, const SkinBitmap& entry) {
    const FaceLook look = lookOf(entry.state);
    const QRectF face = buttonFace(entry);
    drawFace(painter, face, look, 6);
    const QString caption = QString::fromUtf8(entry.caption);
    const bool number = caption.size() <= 2;
    const int maxSize = number ? entry.height * 9 / 20 : std::min(14, entry.height * 2 / 5);
    painter.setFont(fittingFont(caption, maxSize, int(face.width()) - 12));
    painter.setPen(look.text);
    const QPointF shift = entry.state == SkinState::Pressed ? QPointF(1, 1) : QPointF(0, 0);
    painter.drawText(face.translated(shift), Qt::AlignCenter, caption);
}

void drawPadlock(QPainter& painter, const QRectF& face, bool shut, const QColor& color) {
    const QPointF centre = face.center();
    const QRectF body(centre.x() - 9, centre.y() - 2, 18, 13);
    const qreal shackleLift = shut ? 0 : 5;
    const QRectF shackle(centre.x() - 6, centre.y() - 12 - shackleLift, 12, 14);
    QPainterPath path;
    path.moveTo(shackle.left(), body.top());
    path.lineTo(shackle.left(), shackle.center().y());
    path.arcTo(shackle, 180, -180);
    path.lineTo(shackle.right(), shut ? body.top() : shackle.center().y() + 2);
    painter.setPen(QPen(color, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(body, 2, 2);
    painter.setBrush(lookOf(shut ? SkinState::Selected : SkinState::Normal).bottom);
    painter.drawEllipse(QPointF(centre.x(), body.center().y()), 2, 2);
}

void drawLock(QPainter& painter, const SkinBitmap& entry) {
    const FaceLook look = lookOf(entry.state);
    const QRectF face = buttonFace(entry);
    drawFace(painter, face, look, 6);
    drawPadlock(painter, face, entry.state == SkinState::Selected, look.text);
}

void drawIcon(QPainter& painter, const SkinBitmap& entry) {
    const QRectF face(2, 2, entry.width - 4, entry.height - 4);
    drawFace(painter, face, lookOf(SkinState::Selected), entry.width / 6.0);
    // A 3 x 3 crosspoint grid with its diagonal lit: the picture of a matrix switcher.
    const qreal cell = face.width() / 5;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF dot(face.left() + cell * (1 + column) + cell * 0.15,
                             face.top() + cell * (1 + row) + cell * 0.15, cell * 0.7, cell * 0.7);
            painter.setPen(Qt::NoPen);
            painter.setBrush(row == column ? kFieldText : kFace);
            painter.drawRoundedRect(dot, 2, 2);
        }
    }
}

// The title on the window face, above a rule. The strip keeps the face colour so that the colour buttons
// in its corner (faces of the same colour) show only their captions.
void drawTitleStrip(QPainter& painter, const QString& title, int width, int height) {
    painter.fillRect(QRect(16, height, width - 32, 1), kEdge);
    painter.setFont(boldFont(15));
    painter.setPen(kTitleText);
    painter.drawText(QRect(20, 0, width - 40, height), Qt::AlignLeft | Qt::AlignVCenter, title);
}

void drawPlate(QPainter& painter, const QRect& area) {
    painter.setPen(QPen(kEdge, 1));
    painter.setBrush(kStrip);
    painter.drawRoundedRect(QRectF(area).adjusted(-7.5, -7.5, 7.5, 7.5), 6, 6);
}

void drawRows(QPainter& painter, const SkinBitmap& entry) {
    for (const SkinRow& row : entry.rows) {
        if (row.plate) drawPlate(painter, row.controls);
        if (row.labelBox.isEmpty()) continue;
        painter.setFont(boldFont(14));
        painter.setPen(kGreen);
        painter.drawText(row.labelBox, Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(row.label));
    }
}

void drawPage(QPainter& painter, const SkinBitmap& entry) {
    painter.fillRect(QRect(0, 0, entry.width, entry.height), kFace);
    drawRows(painter, entry);
}

void drawWindow(QPainter& painter, const SkinBitmap& entry) {
    painter.fillRect(QRect(0, 0, entry.width, entry.height), kFace);
    drawTitleStrip(painter, QString::fromUtf8(entry.caption), entry.width, 40);
    drawRows(painter, entry);
}

// The main window: title strip with room for the minimise and close buttons, the green strip that the
// status and version texts sit in, the device row, and the frame of the panel area.
void drawMainWindow(QPainter& painter, const SkinBitmap& entry) {
    painter.fillRect(QRect(0, 0, entry.width, entry.height), kFace);
    drawTitleStrip(painter, QString::fromUtf8(entry.caption), entry.width, 35);
    painter.fillRect(QRect(0, 40, entry.width, 20), kGreen);
    drawRows(painter, entry);
    painter.setFont(boldFont(30));
    painter.setPen(kFieldText);
    painter.drawText(QRect(900, 70, 360, 60), Qt::AlignRight | Qt::AlignVCenter, "KORVELUX");
}

}  // namespace

QImage drawSkinArt(const SkinBitmap& entry, LayoutPictureArt layoutArt) {
    QImage image(entry.width, entry.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    switch (entry.art) {
        case SkinArt::MainWindow:
            drawMainWindow(painter, entry);
            break;
        case SkinArt::Window:
            drawWindow(painter, entry);
            break;
        case SkinArt::Page:
            drawPage(painter, entry);
            break;
        case SkinArt::Button:
            drawButton(painter, entry);
            break;
        case SkinArt::Lock:
            drawLock(painter, entry);
            break;
        case SkinArt::Icon:
            drawIcon(painter, entry);
            break;
        case SkinArt::LayoutPicture:
            if (layoutArt) layoutArt(painter, entry);
            break;
    }
    return image;
}

QImage drawProgramIcon(int size) {
    const SkinBitmap* icon = skinBitmap(kProgramIconNumber);
    if (!icon) return {};
    SkinBitmap sized = *icon;
    sized.width = size;
    sized.height = size;
    return drawSkinArt(sized, nullptr);  // the icon is no layout picture
}

}  // namespace kvx
