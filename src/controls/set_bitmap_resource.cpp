#include "controls/set_bitmap_resource.h"

#include "controls/button_st.h"

namespace kvx {

namespace {
BitmapSource g_source = nullptr;
const char* const kShownResource = "kvxBitmapResource";
}  // namespace

void installBitmapSource(BitmapSource source) {
    g_source = source;
}

QBitmap blackTransparentMask(const QImage& bitmap) {
    const QPixmap pixmap = QPixmap::fromImage(bitmap.convertToFormat(QImage::Format_RGB32));
    if (pixmap.isNull()) return {};
    return pixmap.createMaskFromColor(QColor(0, 0, 0), Qt::MaskInColor);
}

int setButtonBitmap(CButtonST& button, const QImage& bitmap, MaskBuilder buildMask) {
    button.clearImages();  // releases the previous pictures and repaints, so a failure shows none
    if (bitmap.isNull() || bitmap.width() <= 0 || bitmap.height() <= 0) return kBitmapSizeUnreadable;
    const QBitmap mask = buildMask(bitmap);
    if (mask.isNull() || mask.size() != bitmap.size()) return kBitmapMaskFailed;

    ButtonImage image;
    image.pixmap = QPixmap::fromImage(bitmap.convertToFormat(QImage::Format_RGB32));
    image.mask = mask;
    image.pixmap.setMask(mask);
    image.transparentColor = QColor(0, 0, 0);
    button.setImages(image);
    return kBitmapSet;
}

int SetBitmapResource(CButtonST& button, int resourceNumber) {
    const int result = setButtonBitmap(button, g_source ? g_source(resourceNumber) : QImage());
    button.setProperty(kShownResource, result == kBitmapSet ? resourceNumber : 0);
    return result;
}

int shownBitmapResource(const QWidget* button) {
    return button ? button->property(kShownResource).toInt() : 0;
}

}  // namespace kvx
