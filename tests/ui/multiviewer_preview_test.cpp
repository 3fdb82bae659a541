// The layout preview painted into an image and checked pixel by pixel against the drawing rules, and the
// layout buttons' pictures.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "multiviewer/derived_data.h"
#include "multiviewer/geometry.h"
#include "multiviewer/layout_catalogue.h"
#include "multiviewer/preview_rules.h"
#include "multiviewer/ui/layout_picture.h"
#include "multiviewer/ui/preview_painter.h"
#include "resources/skin_renderer.h"
#include "resources/skin_table.h"

namespace kvx {
namespace multiviewer_preview_test {

const QColor kBackground(152, 152, 152);
const QColor kGreen(110, 187, 105);
const QColor kGrey(192, 192, 192);
const QColor kInside(57, 60, 65);
const QColor kUntouched(1, 2, 3);  // what the image holds before the paint

// Palette indices used below.
constexpr uint8_t kBlue = 1, kRed = 2, kMagenta = 3, kYellow = 6, kWhite = 7;

QColor rgbOf(uint8_t index) {
    const Rgb c = ColorIndex[index].text;
    return QColor(c.red, c.green, c.blue);
}

// A model in a layout with its geometry derived, every switch off and window k showing input k.
MultiviewerState modelIn(uint8_t layout) {
    MultiviewerState state;
    state.LayoutMode = layout;
    for (int k = 0; k < kWindowCount; ++k) state.WindowSource[static_cast<size_t>(k)] = uint8_t(k + 1);
    recomputeLayoutGeometry(state);
    recomputeAllColours(state);
    return state;
}

void showLabel(MultiviewerState& state, int input, std::u16string name, uint8_t text, uint8_t back) {
    const auto i = static_cast<size_t>(input - 1);
    state.AllUmdOn = 1;
    state.UmdOn[i] = 1;
    state.UmdName[i] = std::move(name);
    state.UmdTextColor[i] = text;
    state.UmdBackColor[i] = back;
    recomputeAllColours(state);
}

QImage paint(const MultiviewerState& state, int dpiX = 96, int dpiY = 96) {
    QImage image(previewSize(dpiX, dpiY), QImage::Format_RGB32);
    image.fill(kUntouched);
    QPainter painter(&image);
    paintPreview(painter, state, dpiX, dpiY);
    return image;
}

QFontMetrics previewMetrics() {
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter painter(&probe);
    return painter.fontMetrics();
}

// The box a text covers with its top-left corner at `at`.
QRect extentAt(QPoint at, const QString& text) {
    const QFontMetrics metrics = previewMetrics();
    return QRect(at, QSize(metrics.horizontalAdvance(text), metrics.height()));
}

int count(const QImage& image, const QRect& area, const std::function<bool(QColor)>& match) {
    int n = 0;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) n += match(image.pixelColor(x, y));
    }
    return n;
}
int count(const QImage& image, const QRect& area, const QColor& color) {
    return count(image, area, [&](QColor c) { return c == color; });
}
int countAll(const QImage& image, const QColor& color) {
    return count(image, image.rect(), color);
}

// The text as it must appear at `at`: on a box of `box` when given, else straight on `under`. The text's
// extent and one pixel around it must match pixel for pixel.
void expectTextAt(const QImage& picture, QPoint at, const QString& text, const QColor& color,
                  std::optional<QColor> box, const QColor& under) {
    const QRect extent = extentAt(at, text);
    QImage expected(picture.size(), QImage::Format_RGB32);
    expected.fill(under);
    QPainter painter(&expected);
    if (box) painter.fillRect(extent, *box);
    painter.setPen(color);
    painter.drawText(QRect(at, QSize(1000, 100)), Qt::AlignLeft | Qt::AlignTop, text);
    painter.end();
    const QRect area = extent.adjusted(-1, -1, 1, 1) & picture.rect();
    int wrong = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            wrong += picture.pixel(x, y) != expected.pixel(x, y);
    }
    EXPECT_EQ(wrong, 0) << "text \"" << text.toStdString() << "\" at " << at.x() << "," << at.y();
}

// Pixels of none of the colours, outside the exempt region.
int strayPixels(const QImage& picture, std::initializer_list<QColor> colours, const QRegion& exempt) {
    int stray = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            const bool known = std::find(colours.begin(), colours.end(), c) != colours.end();
            stray += !known && !exempt.contains(QPoint(x, y));
        }
    }
    return stray;
}

void expectNumberAt(const QImage& picture, QPoint at, int number) {
    expectTextAt(picture, at, QString::number(number), kGreen, std::nullopt, kInside);
}

QPoint numberAt(const preview::Rect& drawn) {
    return QPoint(drawn.x + drawn.width / 2 - 5, drawn.y + drawn.height / 2 - 5);
}

preview::Rect recordRect(const GeometryRecord& r) {
    return {r.x, r.y, r.width, r.height};
}

void expectWindow(const QImage& picture, const preview::Rect& r, const QColor& frame) {
    const QString where = QString("window at %1,%2").arg(r.x).arg(r.y);
    for (const QPoint p :
         {QPoint(r.x, r.y), QPoint(r.x + 1, r.y + 1), QPoint(r.x + r.width - 1, r.y + r.height - 1),
          QPoint(r.x + r.width - 2, r.y + 1)}) {
        EXPECT_EQ(picture.pixelColor(p), frame) << where.toStdString() << " frame " << p.x() << "," << p.y();
    }
    for (const QPoint p : {QPoint(r.x + 2, r.y + 2), QPoint(r.x + r.width - 3, r.y + r.height - 3)}) {
        EXPECT_EQ(picture.pixelColor(p), kInside)
            << where.toStdString() << " inside " << p.x() << "," << p.y();
    }
}

TEST(Preview, Layout40DrawsFourTouchingWindowsWithTheirNumbersAndTheBorderColour) {
    for (const auto& [border, frame] : {std::pair{0, kGrey}, std::pair{1, kGreen}}) {
        MultiviewerState state = modelIn(40);
        state.BorderOn = uint8_t(border);
        const QImage picture = paint(state);
        EXPECT_EQ(picture.size(), QSize(720, 480));
        EXPECT_EQ(countAll(picture, kBackground), 0) << "the windows touch and fill the picture";
        QRegion numbers;
        for (int k = 0; k < 4; ++k) {
            const preview::Rect r = recordRect(state.WindowGeometry[static_cast<size_t>(k)]);
            expectWindow(picture, r, frame);
            expectNumberAt(picture, numberAt(r), k + 1);
            numbers += extentAt(numberAt(r), QString::number(k + 1));
        }
        EXPECT_EQ(strayPixels(picture, {frame, kInside}, numbers), 0) << "border " << border;
    }
}

TEST(Preview, NumbersHaveNoBoxBehindThemWhateverColourTheLabelsSet) {
    MultiviewerState state = modelIn(40);
    for (int input = 1; input <= 4; ++input) showLabel(state, input, u"Cam", kWhite, kRed);
    state.FormatStatusOn = 1;
    state.FormatBackColor.fill(kMagenta);
    recomputeAllColours(state);
    const QImage picture = paint(state);
    for (int k = 0; k < 4; ++k) {
        const preview::Rect r = recordRect(state.WindowGeometry[static_cast<size_t>(k)]);
        // Window 1's number comes before any label (white box at first); the others after a red label and
        // a magenta format text.
        expectNumberAt(picture, numberAt(r), k + 1);
        EXPECT_EQ(count(picture, extentAt(numberAt(r), QString::number(k + 1)),
                        [](QColor c) { return c == Qt::white || c == rgbOf(kRed) || c == rgbOf(kMagenta); }),
                  0);
    }
}

TEST(Preview, Layout41LeavesGapsAndPutsTheMetersOutsideTheWindows) {
    MultiviewerState state = modelIn(41);
    state.AllAudioMeterOn = 1;
    state.AudioMeterOn.fill(1);
    state.AudioMeterOn[1] = 0;  // window 2 has no meter
    const QImage picture = paint(state);

    expectWindow(picture, {40, 25, 304, 190}, kGrey);
    expectWindow(picture, {400, 25, 304, 190}, kGrey);
    expectWindow(picture, {400, 265, 304, 190}, kGrey);
    for (const QPoint gap : {QPoint(39, 100), QPoint(344, 100), QPoint(399, 100), QPoint(100, 24),
                             QPoint(100, 215), QPoint(100, 264), QPoint(719, 479), QPoint(380, 100)}) {
        EXPECT_EQ(picture.pixelColor(gap), kBackground) << gap.x() << "," << gap.y();
    }
    // Meters at (x - 35, y + 47), 30 x 133, left of their windows.
    for (const QPoint meter :
         {QPoint(5, 72), QPoint(34, 204), QPoint(5, 312), QPoint(365, 312), QPoint(394, 444)}) {
        EXPECT_EQ(picture.pixelColor(meter), kGreen) << meter.x() << "," << meter.y();
    }
    EXPECT_EQ(picture.pixelColor(4, 100), kBackground);
    EXPECT_EQ(picture.pixelColor(35, 100), kBackground);
    EXPECT_EQ(count(picture, QRect(365, 72, 30, 133), kGreen), 0) << "window 2's meter is off";
}

TEST(Preview, SingleWindowLayoutShowsTheElementsOfWindowNumberedWithTheCode) {
    MultiviewerState state = modelIn(5);
    state.WindowSource[0] = 1;
    state.WindowSource[4] = 9;  // window 5 shows input 9
    showLabel(state, 1, u"Input one", kWhite, kRed);
    showLabel(state, 5, u"Input five", kWhite, kRed);
    showLabel(state, 9, u"Input nine", kYellow, kBlue);
    state.AllAudioMeterOn = 1;
    state.AudioMeterOn[4] = 1;
    state.FormatStatusOn = 1;
    state.WindowSignal[4] = {1, 25};  // "720p50"
    state.FormatTextColor[4] = kWhite;
    state.FormatBackColor[4] = kMagenta;
    state.FormatBackColor[0] = kRed;
    recomputeLayoutGeometry(state);
    recomputeAllColours(state);
    const QImage picture = paint(state);

    expectWindow(picture, {0, 0, 720, 480}, kGrey);
    expectNumberAt(picture, QPoint(355, 235), 5);
    expectTextAt(picture, QPoint(220, 420), "Input nine", rgbOf(kYellow), rgbOf(kBlue), kInside);
    expectTextAt(picture, QPoint(650, 10), "720p50", rgbOf(kWhite), rgbOf(kMagenta), kInside);
    EXPECT_EQ(count(picture, QRect(20, 120, 45, 336), kGreen), 45 * 336);
    EXPECT_EQ(picture.pixelColor(19, 200), kInside);
    EXPECT_EQ(picture.pixelColor(65, 200), kInside);
    EXPECT_EQ(countAll(picture, rgbOf(kRed)), 0) << "window 1's and input 1's colours are not used";

    // Window 5's meter switch decides, not window 1's.
    state.AudioMeterOn[4] = 0;
    state.AudioMeterOn[0] = 1;
    EXPECT_EQ(count(paint(state), QRect(20, 120, 45, 336), kGreen), 0);
}

TEST(Preview, LabelsOfLayout1SwitchToTheLongFormAfter20Characters) {
    const struct {
        std::u16string name;
        QString drawn;
        QPoint at;
    } cases[] = {
        {u"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST", {220, 420}},
        {u"ABCDEFGHIJKLMNOPQRSTU", "ABCDEFG...", {312, 420}},
        {u"", "", {360 - 140, 420}},
    };
    for (const auto& c : cases) {
        MultiviewerState state = modelIn(1);
        showLabel(state, 1, c.name, kYellow, kBlue);
        const QImage picture = paint(state);
        if (c.drawn.isEmpty()) {
            EXPECT_EQ(countAll(picture, rgbOf(kBlue)), 0) << "an empty label has no box";
            continue;
        }
        expectTextAt(picture, c.at, c.drawn, rgbOf(kYellow), rgbOf(kBlue), kInside);
        EXPECT_EQ(countAll(picture, rgbOf(kBlue)), count(picture, extentAt(c.at, c.drawn), rgbOf(kBlue)))
            << "nothing of the label outside its box";
    }
}

TEST(Preview, Layout42CutsLongLabelsAfter20CharactersAndDrawsTheClockFace) {
    MultiviewerState state = modelIn(42);
    showLabel(state, 1, u"ABCDEFGHIJKLMNOPQRSTUVWX", kWhite, kBlue);
    showLabel(state, 3, u"abcdefghijklmnopqrst", kWhite, kBlue);
    const QImage picture = paint(state);

    expectWindow(picture, {40, 25, 280, 140}, kGrey);
    expectWindow(picture, {40, 315, 280, 140}, kGrey);
    expectTextAt(picture, QPoint(180 - 48, 25 + 142), "ABCDEFGHIJKLMNOPQRST...", rgbOf(kWhite), rgbOf(kBlue),
                 kBackground);
    expectTextAt(picture, QPoint(180 - 100, 315 + 142), "abcdefghijklmnopqrst", rgbOf(kWhite), rgbOf(kBlue),
                 kBackground);

    // The clock face in (300, 180) - (420, 300): green inside a black outline, hands up and to the right.
    const QColor black(0, 0, 0);
    EXPECT_EQ(picture.pixelColor(330, 270), kGreen);
    EXPECT_EQ(picture.pixelColor(390, 210), kGreen);
    EXPECT_EQ(picture.pixelColor(360, 240), black);
    EXPECT_EQ(picture.pixelColor(360, 200), black);
    EXPECT_EQ(picture.pixelColor(400, 240), black);
    EXPECT_EQ(picture.pixelColor(360, 190), kGreen) << "the hour hand stops at (360, 195)";
    EXPECT_GT(count(picture, QRect(299, 235, 3, 10), black), 0) << "outline on the left";
    EXPECT_GT(count(picture, QRect(355, 298, 10, 3), black), 0) << "outline at the bottom";
    EXPECT_EQ(picture.pixelColor(298, 240), kBackground);
    EXPECT_EQ(picture.pixelColor(420, 240), kBackground);
}

TEST(Preview, Layout111DrawsFourBarsAndNoClockFace) {
    const QImage picture = paint(modelIn(111));
    for (const QRect bar : {QRect(225, 375, 120, 30), QRect(225, 420, 120, 30), QRect(405, 375, 120, 30),
                            QRect(405, 420, 120, 30)}) {
        EXPECT_EQ(count(picture, bar, kGreen), bar.width() * bar.height());
        EXPECT_EQ(picture.pixelColor(bar.left() - 1, bar.top()), kBackground);
        EXPECT_EQ(picture.pixelColor(bar.left(), bar.bottom() + 1), kBackground);
    }
    EXPECT_EQ(countAll(picture, QColor(0, 0, 0)), 0);
    expectWindow(picture, {212, 145, 316, 190}, kGrey);
}

TEST(Preview, LayoutsOutsideTheCatalogueShowTheBackgroundOnly) {
    for (uint8_t layout : {0, 110, 120, 162, 255}) {
        MultiviewerState state = modelIn(160);  // geometry left over from a layout with windows
        state.LayoutMode = layout;
        showLabel(state, 1, u"Label", kWhite, kBlue);
        state.AllAudioMeterOn = 1;
        state.AudioMeterOn.fill(1);
        state.FormatStatusOn = 1;
        state.BorderOn = 1;
        EXPECT_EQ(countAll(paint(state), kBackground), 720 * 480) << int(layout);
    }
}

TEST(Preview, SwitcherModeDrawsTheGridWithTheRoutedInputsAndNothingElse) {
    MultiviewerState state = modelIn(42);  // a clock face, if anything but the grid were drawn
    for (int k = 0; k < kWindowCount; ++k) state.MatrixRoute[static_cast<size_t>(k)] = uint8_t(16 - k);
    buildSwitcherGeometry(state);
    for (int input = 1; input <= 16; ++input) showLabel(state, input, u"Label", kWhite, kRed);
    state.AllAudioMeterOn = 1;
    state.AudioMeterOn.fill(1);
    state.FormatStatusOn = 1;
    state.FormatBackColor.fill(kMagenta);
    recomputeAllColours(state);
    state.CurrentPage = kPageMatrix;
    const QImage picture = paint(state);

    QRegion numbers;
    for (int k = 0; k < kWindowCount; ++k) {
        const preview::Rect cell{180 * (k % 4), 120 * (k / 4), 180, 120};
        expectWindow(picture, cell, kGreen);
        expectNumberAt(picture, numberAt(cell), 16 - k);
        numbers += extentAt(numberAt(cell), QString::number(16 - k));
    }
    EXPECT_EQ(strayPixels(picture, {kGreen, kInside}, numbers), 0) << "only frames, insides and numbers";
}

TEST(Preview, WindowsShowingNoValidInputHaveNoLabel) {
    MultiviewerState state = modelIn(40);
    for (int input = 1; input <= 16; ++input) showLabel(state, input, u"Label", kWhite, kBlue);
    state.WindowSource = {0, 17, 255, 2};
    const QImage picture = paint(state);
    EXPECT_EQ(count(picture, QRect(0, 0, 720, 240), rgbOf(kBlue)), 0) << "windows 1 and 2";
    EXPECT_EQ(count(picture, QRect(0, 240, 360, 240), rgbOf(kBlue)), 0) << "window 3";
    EXPECT_GT(count(picture, QRect(360, 240, 360, 240), rgbOf(kBlue)), 0) << "window 4 shows input 2";
}

TEST(Preview, ScalesEveryValueByItselfWithItsOwnResolution) {
    const struct {
        int dpiX, dpiY;
        QSize size;
        QPoint window;  // the window designed at (360, 240), 360 x 240
        QPoint inside;  // its inside, designed at (362, 242)
        QPoint last;    // its last pixel, designed at (719, 479)
    } cases[] = {
        {144, 144, {1080, 720}, {540, 360}, {543, 363}, {1079, 719}},
        {120, 144, {900, 720}, {450, 360}, {452, 363}, {899, 719}},
        {100, 100, {750, 500}, {375, 250}, {377, 252}, {749, 499}},  // 362 * 100 / 96 = 377.08
    };
    for (const auto& c : cases) {
        MultiviewerState state = modelIn(1);
        state.WindowGeometry[0] = {360, 240, 360, 240, 1};
        const QImage picture = paint(state, c.dpiX, c.dpiY);
        const std::string dpi = std::to_string(c.dpiX) + "x" + std::to_string(c.dpiY);
        EXPECT_EQ(picture.size(), c.size) << dpi;
        EXPECT_EQ(picture.pixelColor(c.window - QPoint(1, 1)), kBackground) << dpi;
        EXPECT_EQ(picture.pixelColor(c.window), kGrey) << dpi;
        EXPECT_EQ(picture.pixelColor(c.inside - QPoint(1, 1)), kGrey) << dpi;
        EXPECT_EQ(picture.pixelColor(c.inside), kInside) << dpi;
        EXPECT_EQ(picture.pixelColor(c.last), kGrey) << dpi;
        EXPECT_EQ(countAll(picture, kUntouched), 0) << dpi;
    }
    // Position and width truncated each by itself: at 100 dpi window 2 of layout 160 spans 187 + 187 pixels
    // from 187 (180 scaled), window 3 starts at 375 (360 scaled), and a background column stays between.
    const QImage grid = paint(modelIn(160), 100, 100);
    EXPECT_EQ(grid.pixelColor(373, 60), kGrey);
    EXPECT_EQ(grid.pixelColor(374, 60), kBackground);
    EXPECT_EQ(grid.pixelColor(375, 60), kGrey);
    // Text keeps its size: the number of the 144 dpi picture's layout 40 window 4 at (535, 355) scaled.
    const QImage picture = paint(modelIn(40), 144, 144);
    expectNumberAt(picture, QPoint(535 * 3 / 2, 355 * 3 / 2), 4);
}

TEST(Preview, StaysInsideThePictureAtThePaintersOriginAndLeavesThePainterAsItWas) {
    MultiviewerState state = modelIn(60);
    // Drawn whole at cx - 5L: starts far left of the picture.
    showLabel(state, 1, std::u16string(80, u'W'), kWhite, kBlue);
    QImage canvas(800, 600, QImage::Format_RGB32);
    canvas.fill(kUntouched);
    QPainter painter(&canvas);
    painter.translate(5, 40);
    painter.setPen(QColor(1, 1, 1));
    painter.setBackgroundMode(Qt::OpaqueMode);
    paintPreview(painter, state, 96, 96);
    EXPECT_EQ(painter.pen().color(), QColor(1, 1, 1));
    EXPECT_EQ(painter.backgroundMode(), Qt::OpaqueMode);
    EXPECT_EQ(painter.transform(), QTransform::fromTranslate(5, 40));
    painter.end();

    const QRect picture(5, 40, 720, 480);
    EXPECT_EQ(countAll(canvas, kUntouched), 800 * 600 - 720 * 480);
    EXPECT_EQ(count(canvas, picture, kUntouched), 0);
    EXPECT_GT(count(canvas, QRect(5, 40 + 280, 20, 14), rgbOf(kBlue)), 0)
        << "the label reaches the left edge";
}

// Connected areas (4-neighbours) of one colour with at least minPixels pixels.
int areasOf(const QImage& image, const QColor& color, int minPixels) {
    std::vector<bool> seen(size_t(image.width() * image.height()), false);
    int areas = 0;
    for (int start = 0; start < image.width() * image.height(); ++start) {
        const QPoint first(start % image.width(), start / image.width());
        if (seen[size_t(start)] || image.pixelColor(first) != color) continue;
        std::vector<QPoint> open{first};
        seen[size_t(start)] = true;
        int pixels = 0;
        while (!open.empty()) {
            const QPoint p = open.back();
            open.pop_back();
            ++pixels;
            for (const QPoint n : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)}) {
                const size_t i = size_t(n.y() * image.width() + n.x());
                if (!image.rect().contains(n) || seen[i] || image.pixelColor(n) != color) continue;
                seen[i] = true;
                open.push_back(n);
            }
        }
        areas += pixels >= minPixels;
    }
    return areas;
}

class LayoutPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() { installLayoutPictures(); }
};

TEST_F(LayoutPictures, EveryCatalogueImageIsALayoutPictureOfItsSize) {
    for (const LayoutEntry& layout : layoutCatalogue()) {
        const QSize size = layout.windows == 1 ? QSize(70, 45) : QSize(114, 76);
        for (const int number : {layout.normalImage, layout.highlightedImage}) {
            const SkinBitmap* entry = skinBitmap(number);
            ASSERT_NE(entry, nullptr) << number;
            EXPECT_EQ(entry->art, SkinArt::LayoutPicture) << number;
            EXPECT_EQ(QString(entry->caption), QString::number(layout.code)) << number;
            EXPECT_EQ(entry->state, number == layout.normalImage ? SkinState::Normal : SkinState::Selected);
            EXPECT_EQ(renderSkinBitmap(number).size(), size) << number;
        }
    }
}

TEST_F(LayoutPictures, AreOpaqueButForTheLastThreeColumnsAndHighlightedLooksDifferent) {
    for (const LayoutEntry& layout : layoutCatalogue()) {
        const QImage normal = renderSkinBitmap(layout.normalImage);
        const QImage lit = renderSkinBitmap(layout.highlightedImage);
        const QRect face(3, 3, normal.width() - 9, normal.height() - 6);
        const QColor black(0, 0, 0);
        for (const QImage& image : {normal, lit}) {
            EXPECT_EQ(count(image, QRect(image.width() - 3, 0, 3, image.height()), black), 3 * image.height())
                << int(layout.code);
            EXPECT_EQ(count(image, face, black), 0) << int(layout.code);
        }
        int differ = 0;
        for (int y = face.top(); y <= face.bottom(); ++y) {
            for (int x = face.left(); x <= face.right(); ++x) differ += normal.pixel(x, y) != lit.pixel(x, y);
        }
        EXPECT_GT(differ, face.width() * face.height() * 3 / 4) << int(layout.code);
    }
}

TEST_F(LayoutPictures, ShowOneFrameAndOneInsidePerWindow) {
    for (const LayoutEntry& layout : layoutCatalogue()) {
        for (const bool lit : {false, true}) {
            const LayoutPictureLook look = layoutPictureLook(lit);
            const QImage image = renderSkinBitmap(lit ? layout.highlightedImage : layout.normalImage);
            // Glyph holes are smaller than any window's inside.
            EXPECT_EQ(areasOf(image, look.inside, 40), layout.windows) << int(layout.code) << " lit " << lit;
            const GeometryRecord first = layoutGeometry(layout.code)[0];
            const bool gaps = preview::drawnRect(layout.code, 1, first).x != first.x;
            if (gaps) {
                EXPECT_EQ(areasOf(image, look.frame, 20), layout.windows)
                    << int(layout.code) << " lit " << lit;
            }
        }
    }
    EXPECT_EQ(layoutPictureLook(true).frame, QColor(214, 255, 206));
    EXPECT_NE(layoutPictureLook(true).face, layoutPictureLook(false).face);
}

TEST_F(LayoutPictures, InstallingAgainKeepsThePicturesMade) {
    const qint64 before = renderSkinBitmap(247).cacheKey();
    installLayoutPictures();
    EXPECT_EQ(renderSkinBitmap(247).cacheKey(), before);
}

}  // namespace multiviewer_preview_test
}  // namespace kvx
