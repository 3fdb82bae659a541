#include "resources/skin_renderer.h"

#include <QDir>
#include <QHash>
#include <QString>

#include "resources/skin_art.h"
#include "resources/skin_colors.h"
#include "resources/skin_table.h"

namespace kvx {

namespace {

// Mostly see-through pixels become black, the transparent colour of the buttons; the soft edge pixels are
// blended over the window face, on which the buttons stand, so rounded corners stay smooth.
QImage flattened(const QImage& picture) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb face = skin::kFace.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            if (alpha < 64) {
                line[x] = qRgb(0, 0, 0);
                continue;
            }
            const auto over = [alpha](int premultiplied, int back) {
                return premultiplied + back * (255 - alpha) / 255;
            };
            line[x] = qRgb(over(qRed(line[x]), qRed(face)), over(qGreen(line[x]), qGreen(face)),
                           over(qBlue(line[x]), qBlue(face)));
        }
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage artistPicture(const QString& folder, int number) {
    if (folder.isEmpty()) return {};
    const QImage picture(QDir(folder).filePath(QString::number(number) + ".png"));
    return picture.isNull() ? QImage() : flattened(picture);
}

struct Cache {
    QString folder;  // the skin folder the images were made with
    QHash<int, QImage> images;
    LayoutPictureArt layoutArt = nullptr;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

QImage drawnPicture(int number) {
    const SkinBitmap* entry = skinBitmap(number);
    return entry ? flattened(drawSkinArt(*entry, cache().layoutArt)) : QImage();
}

}  // namespace

QImage renderSkinBitmap(int number) {
    Cache& made = cache();
    const QString folder = qEnvironmentVariable("KORVELUX_SKIN_DIR");
    if (folder != made.folder) {
        made.folder = folder;
        made.images.clear();
    }
    if (const auto it = made.images.constFind(number); it != made.images.constEnd()) return *it;

    QImage image = artistPicture(folder, number);
    if (image.isNull()) image = drawnPicture(number);
    if (!image.isNull()) made.images.insert(number, image);
    return image;
}

void installLayoutPictureArt(LayoutPictureArt art) {
    Cache& made = cache();
    if (art == made.layoutArt) return;
    made.layoutArt = art;
    // Layout pictures made before were drawn by the previous art, or blank.
    made.images.removeIf([](const QHash<int, QImage>::iterator it) {
        const SkinBitmap* entry = skinBitmap(it.key());
        return entry && entry->art == SkinArt::LayoutPicture;
    });
}

}  // namespace kvx
