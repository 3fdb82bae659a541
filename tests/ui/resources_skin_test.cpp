// The skin: every bitmap the windows ask for exists, renders at its table size, and keeps black for the
// pixels a button leaves transparent.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <vector>

#include "resources/skin_colors.h"
#include "resources/skin_renderer.h"
#include "resources/skin_table.h"

namespace kvx {
namespace resources_skin_test {

constexpr QRgb kBlack = 0xFF000000;

bool isButton(const SkinBitmap& entry) {
    return entry.art == SkinArt::Button || entry.art == SkinArt::Lock;
}
bool isBackground(const SkinBitmap& entry) {
    return entry.art == SkinArt::Window || entry.art == SkinArt::MainWindow;
}

TEST(SkinTable, EveryEntryRendersOpaqueRgbAtItsTableSize) {
    for (const SkinBitmap& entry : skinBitmaps()) {
        const QImage image = renderSkinBitmap(entry.number);
        ASSERT_FALSE(image.isNull()) << entry.number;
        EXPECT_EQ(image.size(), QSize(entry.width, entry.height)) << entry.number;
        EXPECT_EQ(image.format(), QImage::Format_RGB32) << entry.number;
    }
}

TEST(SkinTable, HoldsEveryNumberTheWindowsUseAtTheirSizes) {
    const struct {
        int number;
        QSize size;
    } fixed[] = {{129, {1280, 720}}, {132, {70, 37}},   {135, {70, 37}},    {133, {135, 35}},
                 {134, {134, 38}},   {139, {440, 486}}, {191, {1240, 540}}, {457, {1240, 540}}};
    for (const auto& f : fixed) EXPECT_EQ(skinBitmapSize(f.number), f.size) << f.number;

    std::vector<int> used = {128, 140, 141, 454, 194, 195, 196, 197, 198, 199, 450, 451};
    for (int n = 175; n <= 190; ++n) used.push_back(n);
    for (int n = 458; n <= 473; ++n) used.push_back(n);
    for (int n = 475; n <= 490; ++n) used.push_back(n);
    for (int number : used) EXPECT_NE(skinBitmap(number), nullptr) << number;
    EXPECT_EQ(skinBitmap(474), nullptr);
    EXPECT_TRUE(renderSkinBitmap(474).isNull());
}

TEST(SkinTable, NumberButtonsFollowTheirNumberingRules) {
    const struct {
        int first;   // bitmap of number 1
        int stride;  // from number n to n + 1
        int count;
        SkinState state;
    } rules[] = {{175, 2, 8, SkinState::Normal},
                 {176, 2, 8, SkinState::Selected},
                 {458, 1, 16, SkinState::Normal},
                 {475, 1, 16, SkinState::Selected}};
    for (const auto& rule : rules) {
        for (int n = 1; n <= rule.count; ++n) {
            const SkinBitmap* entry = skinBitmap(rule.first + rule.stride * (n - 1));
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(QString(entry->caption), QString::number(n)) << entry->number;
            EXPECT_EQ(entry->state, rule.state) << entry->number;
            EXPECT_EQ(QSize(entry->width, entry->height), skinBitmapSize(rule.first)) << entry->number;
        }
    }
}

TEST(SkinTable, PairedBitmapsShareASizeAndLookDifferent) {
    const std::pair<int, int> pairs[] = {{132, 135}, {140, 141}, {175, 176}, {189, 190}, {194, 195},
                                         {196, 197}, {198, 199}, {450, 451}, {458, 475}, {473, 490}};
    for (const auto& [a, b] : pairs) {
        EXPECT_EQ(skinBitmapSize(a), skinBitmapSize(b)) << a << "/" << b;
        EXPECT_NE(renderSkinBitmap(a), renderSkinBitmap(b)) << a << "/" << b;
    }
}

TEST(SkinArt, ButtonsAreBlackOnlyOutsideTheirFace) {
    for (const SkinBitmap& entry : skinBitmaps()) {
        if (!isButton(entry)) continue;
        const QImage image = renderSkinBitmap(entry.number);
        for (int y = 0; y < entry.height; ++y) {
            for (int x = entry.width - 3; x < entry.width; ++x) {
                ASSERT_EQ(image.pixel(x, y), kBlack) << entry.number << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(image.pixel(0, 0), kBlack) << entry.number;  // rounded corner
        // The face, caption included, has no black: scan the middle band.
        for (int x = 3; x < entry.width - 6; ++x) {
            ASSERT_NE(image.pixel(x, entry.height / 2), kBlack) << entry.number << " at " << x;
        }
    }
}

TEST(SkinArt, BackgroundsHaveNoTransparentBlack) {
    for (const SkinBitmap& entry : skinBitmaps()) {
        if (!isBackground(entry)) continue;
        const QImage image = renderSkinBitmap(entry.number);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                ASSERT_NE(image.pixel(x, y), kBlack) << entry.number << " at " << x << "," << y;
            }
        }
    }
}

TEST(SkinArt, RowsLieOnTheirBackgroundAndLabelsAreDrawn) {
    for (const SkinBitmap& entry : skinBitmaps()) {
        const QRect bounds(0, 0, entry.width, entry.height);
        const QImage image = renderSkinBitmap(entry.number);
        for (const SkinRow& row : entry.rows) {
            EXPECT_TRUE(bounds.contains(row.controls)) << entry.number << " " << row.label;
            EXPECT_EQ(skinRow(entry.number, row.label), &row);
            if (row.labelBox.isEmpty()) continue;
            EXPECT_TRUE(bounds.contains(row.labelBox)) << entry.number << " " << row.label;
            int ink = 0;
            for (int y = row.labelBox.top(); y <= row.labelBox.bottom(); ++y) {
                for (int x = row.labelBox.left(); x <= row.labelBox.right(); ++x) {
                    ink += image.pixel(x, y) == skin::kGreen.rgb();
                }
            }
            EXPECT_GT(ink, 10) << entry.number << " " << row.label;
        }
    }
}

TEST(SkinArt, ButtonRowsHoldTheirButtons) {
    const struct {
        int background;
        std::string_view row;
        int button;  // one of the row's bitmaps
        int count;
    } rows[] = {{191, skin_rows::kInput, 175, 8},         {191, skin_rows::kOutput, 175, 8},
                {191, skin_rows::kOutputStatus, 176, 8},  {191, skin_rows::kModeButtons, 198, 4},
                {457, skin_rows::kInput, 458, 16},        {457, skin_rows::kOutput, 458, 16},
                {457, skin_rows::kOutputStatus, 475, 16}, {457, skin_rows::kModeButtons, 451, 4},
                {139, skin_rows::kConnectButton, 140, 1}, {139, skin_rows::kApplyButton, 454, 1}};
    for (const auto& r : rows) {
        const SkinRow* row = skinRow(r.background, r.row);
        ASSERT_NE(row, nullptr) << r.background << " " << r.row;
        const QSize size = skinBitmapSize(r.button);
        EXPECT_LE(size.width() * r.count, row->controls.width()) << r.row;
        EXPECT_EQ(size.height(), row->controls.height()) << r.row;
    }
    for (std::string_view label : {skin_rows::kConnectionMode, skin_rows::kSerialPort, skin_rows::kBaudRate,
                                   skin_rows::kNetwork, skin_rows::kIpAddress}) {
        EXPECT_NE(skinRow(139, label), nullptr) << label;
    }
}

TEST(SkinArt, MainWindowHasItsGreenStripUnderTheStatusAndVersionTexts) {
    const QImage image = renderSkinBitmap(129);
    for (const QPoint at : {QPoint(30, 40), QPoint(169, 59), QPoint(1200, 40), QPoint(1279, 59)}) {
        EXPECT_EQ(image.pixel(at), skin::kGreen.rgb()) << at.x() << "," << at.y();
    }
    EXPECT_EQ(image.pixel(600, 150), skin::kFace.rgb());
    EXPECT_EQ(image.pixel(1230, 20), skin::kFace.rgb());  // under the minimise and close buttons
}

TEST(SkinRenderer, KeepsWhatItRendered) {
    EXPECT_EQ(renderSkinBitmap(133).cacheKey(), renderSkinBitmap(133).cacheKey());
}

TEST(SkinTable, LayoutPicturesHaveTheirNumbersAndSizes) {
    std::vector<int> single, multi = {361, 362, 369, 370, 383, 384, 391, 392};
    for (int n = 215; n <= 246; ++n) single.push_back(n);
    for (int n = 247; n <= 278; ++n) multi.push_back(n);
    for (const auto& [numbers, size] : {std::pair{single, QSize(70, 45)}, std::pair{multi, QSize(114, 76)}}) {
        for (int number : numbers) {
            const SkinBitmap* entry = skinBitmap(number);
            ASSERT_NE(entry, nullptr) << number;
            EXPECT_EQ(entry->art, SkinArt::LayoutPicture) << number;
            EXPECT_EQ(QSize(entry->width, entry->height), size) << number;
        }
    }
    int pictures = 0;
    for (const SkinBitmap& entry : skinBitmaps()) pictures += entry.art == SkinArt::LayoutPicture;
    EXPECT_EQ(pictures, 72);
}

void paintRed(QPainter& painter, const SkinBitmap& entry) {
    painter.fillRect(QRect(0, 0, entry.width - 3, entry.height), QColor(200, 30, 30));
}
void paintBlue(QPainter& painter, const SkinBitmap& entry) {
    painter.fillRect(QRect(0, 0, entry.width - 3, entry.height), QColor(30, 30, 200));
}

TEST(SkinRenderer, LayoutPicturesComeFromTheInstalledArtAndAreRedrawnWhenItChanges) {
    const qint64 button = renderSkinBitmap(133).cacheKey();
    installLayoutPictureArt(nullptr);
    const QImage blank = renderSkinBitmap(247);
    EXPECT_EQ(blank.pixel(50, 30), kBlack) << "blank without a drawing";

    installLayoutPictureArt(paintRed);
    const QImage red = renderSkinBitmap(247);
    EXPECT_EQ(red.size(), QSize(114, 76));
    EXPECT_EQ(red.pixel(50, 30), qRgb(200, 30, 30)) << "the blank picture made before is drawn again";
    EXPECT_EQ(red.pixel(112, 30), kBlack);
    installLayoutPictureArt(paintRed);
    EXPECT_EQ(renderSkinBitmap(247).cacheKey(), red.cacheKey()) << "installing the same drawing again";

    installLayoutPictureArt(paintBlue);
    EXPECT_EQ(renderSkinBitmap(247).pixel(50, 30), qRgb(30, 30, 200));
    EXPECT_EQ(renderSkinBitmap(133).cacheKey(), button) << "other bitmaps are kept";
    installLayoutPictureArt(nullptr);
}

TEST(SkinRenderer, ArtistPicturesReplaceTheDrawnOnesAndTheirTransparencyTurnsBlack) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QImage art(10, 6, QImage::Format_ARGB32);
    art.fill(qRgba(10, 120, 230, 255));
    art.setPixel(2, 3, qRgba(0, 0, 0, 0));
    ASSERT_TRUE(art.save(QDir(folder.path()).filePath("133.png")));
    ASSERT_TRUE(art.save(QDir(folder.path()).filePath("999.png")));

    qputenv("KORVELUX_SKIN_DIR", folder.path().toUtf8());
    const QImage replaced = renderSkinBitmap(133);
    const QImage extra = renderSkinBitmap(999);
    const QImage drawn = renderSkinBitmap(134);
    qunsetenv("KORVELUX_SKIN_DIR");

    EXPECT_EQ(replaced.size(), QSize(10, 6));
    EXPECT_EQ(replaced.pixel(2, 3), kBlack);
    EXPECT_EQ(replaced.pixel(3, 3), qRgb(10, 120, 230));
    EXPECT_EQ(extra.size(), QSize(10, 6));
    EXPECT_EQ(drawn.size(), skinBitmapSize(134));
    EXPECT_EQ(renderSkinBitmap(133).size(), skinBitmapSize(133));
    EXPECT_TRUE(renderSkinBitmap(999).isNull());
}

}  // namespace resources_skin_test
}  // namespace kvx
