// Drawing and hover tracking of the picture buttons, checked on grabbed pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <functional>
#include <vector>

#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"

namespace kvx {
namespace controls_button_st_test {

const QRgb kBehind = qRgb(30, 200, 30);  // the window behind the button
const QPoint kAt(10, 10);                // the button's place in that window

// Column x of the picture has red 10 + x, so a pixel tells which column it came from.
QImage columnCoded(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(10 + x, 100, 150));
    }
    return image;
}

class ButtonTest : public ::testing::Test {
protected:
    ButtonTest() {
        window.setAutoFillBackground(true);
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, QColor(kBehind));
        window.setPalette(pal);
        window.resize(200, 80);
        button.move(kAt);
    }

    void give(const QImage& picture, QSize size, const QString& caption = "Button3") {
        button.resize(size);
        button.setText(caption);
        ASSERT_EQ(setButtonBitmap(button, picture), kBitmapSet);
        button.setDrawBorder(false);
    }

    // The button as it shows over its window, in button coordinates.
    QImage shown() {
        return window.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(QRect(kAt, button.size()));
    }

    void send(QEvent&& event) { QApplication::sendEvent(&button, &event); }
    void enter() { send(QEnterEvent(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5))); }

    QWidget window;
    CShadeButtonST button{&window};
};

TEST_F(ButtonTest, CaptionedPictureOfButtonSizeStartsThreeInAndLosesItsLastThreeColumns) {
    give(columnCoded(135, 35), {135, 35});
    const QImage shot = shown();
    for (int x = 0; x < 3; ++x) EXPECT_EQ(shot.pixel(x, 17), kBehind) << "column " << x;
    for (int x = 3; x < 135; ++x) EXPECT_EQ(qRed(shot.pixel(x, 17)), 10 + x - 3) << "column " << x;
}

struct Placement {
    const char* caption;
    bool pressed;
    QPoint topLeft;  // where a 100 x 20 picture lands on a 135 x 35 button
};
void PrintTo(const Placement& p, std::ostream* out) {
    *out << "caption \"" << p.caption << "\"" << (p.pressed ? ", pressed" : "");
}

class PlacementTest : public ButtonTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(PlacementTest, PictureSitsWhereTheCaptionAndPressLeaveIt) {
    const Placement& p = GetParam();
    give(columnCoded(100, 20), {135, 35}, p.caption);
    button.setDown(p.pressed);
    const QImage shot = shown();
    EXPECT_EQ(qRed(shot.pixel(p.topLeft)), 10);
    EXPECT_EQ(qRed(shot.pixel(p.topLeft + QPoint(99, 19))), 10 + 99);
    EXPECT_EQ(shot.pixel(p.topLeft - QPoint(1, 0)), kBehind);
    EXPECT_EQ(shot.pixel(p.topLeft - QPoint(0, 1)), kBehind);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlacementTest,
                         ::testing::Values(Placement{"Button3", false, {3, 7}}, Placement{"", false, {17, 7}},
                                           Placement{"Button3", true, {4, 8}}, Placement{"", true, {18, 8}}));

TEST_F(ButtonTest, BlackPixelsShowTheWindowBehindAndNearBlackOnesDoNot) {
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(qRgb(90, 90, 200));
    picture.setPixel(5, 5, qRgb(0, 0, 0));
    picture.setPixel(6, 5, qRgb(1, 0, 0));
    give(picture, {40, 20}, "");
    const QImage shot = shown();
    EXPECT_EQ(shot.pixel(5, 5), kBehind);
    EXPECT_EQ(shot.pixel(6, 5), qRgb(1, 0, 0));
    EXPECT_EQ(shot.pixel(7, 5), qRgb(90, 90, 200));
}

TEST_F(ButtonTest, DisabledButtonShowsItsPictureGreyed) {
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(qRgb(200, 40, 40));
    give(picture, {40, 20}, "");
    button.setEnabled(false);
    const QRgb pixel = shown().pixel(20, 10);
    EXPECT_NE(pixel, qRgb(200, 40, 40));
    EXPECT_EQ(qRed(pixel), qGreen(pixel));
    EXPECT_EQ(qGreen(pixel), qBlue(pixel));
}

struct EdgeCase {
    bool border;
    bool edgeExpected;
};
void PrintTo(const EdgeCase& c, std::ostream* out) {
    *out << "border " << (c.border ? "on" : "off");
}

class HoverEdgeTest : public ButtonTest, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(HoverEdgeTest, MouseOverDrawsAnEdgeOnlyWithTheBorderOn) {
    give(columnCoded(20, 10), {60, 30}, "");
    button.setDrawBorder(GetParam().border);
    const QImage away = shown();
    enter();
    ASSERT_TRUE(button.isMouseOver());
    const QImage over = shown();
    EXPECT_EQ(away != over, GetParam().edgeExpected);
    EXPECT_EQ(over.pixel(0, 0) != kBehind, GetParam().edgeExpected);
}

INSTANTIATE_TEST_SUITE_P(Cases, HoverEdgeTest,
                         ::testing::Values(EdgeCase{false, false}, EdgeCase{true, true}));

TEST_F(ButtonTest, HoverEndsOnLeaveFocusLossDeactivationAndDisable) {
    const std::vector<std::pair<const char*, std::function<void()>>> enders = {
        {"leave", [&] { send(QEvent(QEvent::Leave)); }},
        {"focus loss", [&] { send(QFocusEvent(QEvent::FocusOut)); }},
        {"deactivation", [&] { send(QEvent(QEvent::ActivationChange)); }},
        {"disable", [&] { button.setEnabled(false); }},
        {"move outside",
         [&] {
             send(QMouseEvent(QEvent::MouseMove, QPointF(-5, -5), QPointF(-5, -5), Qt::NoButton, Qt::NoButton,
                              Qt::NoModifier));
         }},
    };
    for (const auto& [name, end] : enders) {
        button.setEnabled(true);
        enter();
        ASSERT_TRUE(button.isMouseOver()) << name;
        end();
        EXPECT_FALSE(button.isMouseOver()) << name;
    }
}

TEST_F(ButtonTest, DragFromElsewhereDoesNotStartHover) {
    send(QMouseEvent(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier));
    EXPECT_FALSE(button.isMouseOver());
    send(QMouseEvent(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier));
    EXPECT_TRUE(button.isMouseOver());
}

TEST_F(ButtonTest, PlainButtonFillsItsBackgroundWithTheColourOfItsState) {
    CButtonST plain(&window);
    plain.resize(30, 20);
    plain.setDrawBorder(false);
    plain.setColor(CButtonST::BkOut, QColor(10, 20, 30));
    plain.setColor(CButtonST::BkIn, QColor(200, 210, 220));
    EXPECT_EQ(plain.grab().toImage().pixel(15, 10), qRgb(10, 20, 30));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&plain, &enter);
    EXPECT_EQ(plain.grab().toImage().pixel(15, 10), qRgb(200, 210, 220));
}

TEST_F(ButtonTest, ShadeButtonDrawsOnlyTheShadesThatAreSet) {
    give(columnCoded(10, 10), {40, 20}, "");
    EXPECT_EQ(shown().pixel(2, 2), kBehind);  // six empty shades: the window shows through
    QImage shade(40, 20, QImage::Format_RGB32);
    shade.fill(qRgb(250, 250, 0));
    button.setShade(CShadeButtonST::Normal, shade);
    EXPECT_EQ(shown().pixel(2, 2), qRgb(250, 250, 0));
}

TEST(CeXDib, EmptyPictureDrawsNothingAndAPictureDrawsAtItsPoint) {
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(qRgb(1, 2, 3));
    QPainter painter(&target);
    CCeXDib empty;
    empty.draw(painter, QPoint(0, 0));
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    CCeXDib dib(red);
    dib.draw(painter, QPoint(10, 12));
    painter.end();
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(target.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(target.pixel(10, 12), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(13, 15), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(14, 16), qRgb(1, 2, 3));
}

}  // namespace controls_button_st_test
}  // namespace kvx
