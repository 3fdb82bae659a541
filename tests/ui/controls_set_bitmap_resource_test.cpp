// SetBitmapResource: results, release of the previous pictures, and the state a failure leaves.
#include <gtest/gtest.h>

#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"

namespace kvx {
namespace controls_set_bitmap_resource_test {

constexpr int kWide = 7;   // a 40 x 20 bitmap
constexpr int kSmall = 8;  // a 30 x 10 bitmap
constexpr int kEmpty = 9;  // a bitmap without pixels
constexpr int kMissing = 10;

QImage filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage testBitmaps(int number) {
    switch (number) {
        case kWide:
            return filled(40, 20, qRgb(0, 0, 200));
        case kSmall:
            return filled(30, 10, qRgb(200, 0, 0));
        case kEmpty:
            return QImage(0, 0, QImage::Format_RGB32);
        default:
            return {};
    }
}

QBitmap failingMask(const QImage&) {
    return {};
}
QBitmap wrongSizeMask(const QImage&) {
    return QBitmap(3, 3);
}

class SetBitmapResourceTest : public ::testing::Test {
protected:
    void SetUp() override { installBitmapSource(&testBitmaps); }
    void TearDown() override { installBitmapSource(nullptr); }
    CShadeButtonST button;
};

struct ResultCase {
    int number;
    int result;
    QSize size;  // of the one picture left, empty when none is left
};
void PrintTo(const ResultCase& c, std::ostream* out) {
    *out << "bitmap " << c.number;
}

class ResultTest : public SetBitmapResourceTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ResultTest, ResultAndPictureFollowTheBitmap) {
    ASSERT_EQ(SetBitmapResource(button, kSmall), kBitmapSet);  // a picture that a failure must remove
    const ResultCase& c = GetParam();
    EXPECT_EQ(SetBitmapResource(button, c.number), c.result);
    EXPECT_EQ(button.imageCount(), c.size.isEmpty() ? 0 : 1);
    EXPECT_EQ(button.hoverImage().pixmap.size(), c.size.isEmpty() ? QSize(0, 0) : c.size);
    // The number shown is what scripted runs and tests read back; a failure shows none.
    EXPECT_EQ(shownBitmapResource(&button), c.result == kBitmapSet ? c.number : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ResultTest,
                         ::testing::Values(ResultCase{kWide, kBitmapSet, {40, 20}},
                                           ResultCase{kSmall, kBitmapSet, {30, 10}},
                                           ResultCase{kEmpty, kBitmapSizeUnreadable, {}},
                                           ResultCase{kMissing, kBitmapSizeUnreadable, {}}));

TEST_F(SetBitmapResourceTest, SameResourceTwiceLeavesOnePicture) {
    ASSERT_EQ(SetBitmapResource(button, kWide), kBitmapSet);
    ASSERT_EQ(SetBitmapResource(button, kWide), kBitmapSet);
    EXPECT_EQ(button.imageCount(), 1);
    EXPECT_EQ(button.hoverImage().pixmap.size(), QSize(40, 20));
}

TEST_F(SetBitmapResourceTest, IdlePictureIsCleared) {
    ButtonImage idle;
    idle.pixmap = QPixmap::fromImage(filled(5, 5, qRgb(9, 9, 9)));
    button.setImages(idle, idle);
    ASSERT_EQ(button.imageCount(), 2);
    ASSERT_EQ(SetBitmapResource(button, kSmall), kBitmapSet);
    EXPECT_EQ(button.imageCount(), 1);
    EXPECT_TRUE(button.idleImage().isNull());
}

TEST_F(SetBitmapResourceTest, WithoutASourceEveryNumberIsUnreadable) {
    installBitmapSource(nullptr);
    EXPECT_EQ(SetBitmapResource(button, kWide), kBitmapSizeUnreadable);
    EXPECT_EQ(button.imageCount(), 0);
}

TEST_F(SetBitmapResourceTest, MaskThatCannotBeMadeLeavesNoPicture) {
    for (const MaskBuilder builder : {&failingMask, &wrongSizeMask}) {
        ASSERT_EQ(SetBitmapResource(button, kWide), kBitmapSet);
        EXPECT_EQ(setButtonBitmap(button, testBitmaps(kSmall), builder), kBitmapMaskFailed);
        EXPECT_EQ(button.imageCount(), 0);
    }
}

TEST_F(SetBitmapResourceTest, MaskClearsExactlyTheBlackPixels) {
    QImage picture = filled(3, 1, qRgb(255, 255, 255));
    picture.setPixel(0, 0, qRgb(0, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 0, 1));
    const QImage mask = blackTransparentMask(picture).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(mask.size(), QSize(3, 1));
    // A bitmap shows set pixels black (Qt::color1) and clear ones white (Qt::color0).
    EXPECT_EQ(mask.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(mask.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(mask.pixel(2, 0), qRgb(0, 0, 0));
}

}  // namespace controls_set_bitmap_resource_test
}  // namespace kvx
