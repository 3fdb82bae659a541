// CColorButton: the face colour follows the mouse and the enabled state; the caption is centred.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <functional>
#include <vector>

#include "controls/color_button.h"

namespace kvx {
namespace controls_color_button_test {

const QColor kNormal(10, 20, 30);
const QColor kHover(40, 50, 60);
const QColor kPressed(70, 80, 90);
const QColor kDisabled(100, 110, 120);

class ColorButtonTest : public ::testing::Test {
protected:
    ColorButtonTest() {
        window.resize(200, 100);
        button.setGeometry(50, 30, 40, 35);
        button.setNormalColor(kNormal);
        button.setHoverColor(kHover);
        button.setPressedColor(kPressed);
        button.setDisabledColor(kDisabled);
        window.show();
    }
    ~ColorButtonTest() override {
        if (QWidget::mouseGrabber()) QWidget::mouseGrabber()->releaseMouse();
    }

    QColor face() { return button.grab().toImage().pixelColor(3, 3); }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton changed = Qt::NoButton,
               Qt::MouseButtons held = Qt::NoButton) {
        QMouseEvent event(type, QPointF(at), QPointF(button.mapToGlobal(at)), changed, held, Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
    }
    void moveTo(QPoint at) { mouse(QEvent::MouseMove, at); }
    void press() { mouse(QEvent::MouseButtonPress, {20, 17}, Qt::LeftButton, Qt::LeftButton); }
    void release() { mouse(QEvent::MouseButtonRelease, {20, 17}, Qt::LeftButton, Qt::NoButton); }

    QWidget window;
    CColorButton button{"x", &window};
};

TEST_F(ColorButtonTest, FacesStartInTheDefaultColours) {
    CColorButton fresh;
    for (int state = CColorButton::Normal; state <= CColorButton::DisabledState; ++state) {
        EXPECT_EQ(fresh.faceColor(state), QColor(46, 49, 54)) << state;
    }
    EXPECT_EQ(fresh.textColor(), QColor(255, 255, 255));
    EXPECT_EQ(fresh.state(), CColorButton::Normal);
}

TEST_F(ColorButtonTest, HoverColourOnEnterAndNormalAfterLeaving) {
    EXPECT_EQ(face(), kNormal);
    moveTo({5, 5});
    EXPECT_EQ(button.state(), CColorButton::Hover);
    EXPECT_EQ(QWidget::mouseGrabber(), &button);
    EXPECT_EQ(face(), kHover);
    moveTo({10, 10});  // still inside: keeps the capture and the colour
    EXPECT_EQ(face(), kHover);
    moveTo({60, 10});
    EXPECT_EQ(button.state(), CColorButton::Normal);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(face(), kNormal);
}

TEST_F(ColorButtonTest, PressShowsPressedAndReleaseClicksAndShowsHover) {
    QSignalSpy clicked(&button, &QPushButton::clicked);
    moveTo({20, 17});
    press();
    EXPECT_EQ(face(), kPressed);
    release();
    EXPECT_EQ(face(), kHover);
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(ColorButtonTest, DisabledButtonKeepsItsDisabledColourWhateverTheMouseDoes) {
    const std::vector<std::pair<const char*, std::function<void()>>> gestures = {
        {"enter",
         [&] {
             moveTo({5, 5});
         }},
        {"leave",
         [&] {
             moveTo({5, 5});
             moveTo({60, 10});
         }},
        {"press", [&] { press(); }},
        {"click",
         [&] {
             press();
             release();
         }},
    };
    for (const auto& [name, gesture] : gestures) {
        button.setEnabled(false);
        gesture();
        EXPECT_EQ(face(), kDisabled) << name;
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << name;
    }
}

TEST_F(ColorButtonTest, DisablingUnderTheMouseShowsDisabledAndFreesTheMouse) {
    moveTo({5, 5});
    ASSERT_EQ(QWidget::mouseGrabber(), &button);
    button.setEnabled(false);
    EXPECT_EQ(face(), kDisabled);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(ColorButtonTest, EnabledAgainShowsTheNormalFace) {
    button.setEnabled(false);
    ASSERT_EQ(face(), kDisabled);
    button.setEnabled(true);
    EXPECT_EQ(face(), kNormal);
}

TEST_F(ColorButtonTest, FocusIsKept) {
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(&button, &in);
    EXPECT_TRUE(button.focused());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&button, &out);
    EXPECT_FALSE(button.focused());
}

TEST_F(ColorButtonTest, CaptionIsDrawnCentredInTheTextColour) {
    button.setGeometry(50, 30, 120, 40);
    button.setText("MMMM");
    button.setTextColor(QColor(255, 255, 255));
    const QImage shot = button.grab().toImage();
    QRect ink;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (qRed(shot.pixel(x, y)) > 180) ink |= QRect(x, y, 1, 1);
        }
    }
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), shot.width() / 2, 3);
    EXPECT_NEAR(ink.center().y(), shot.height() / 2, 4);
}

}  // namespace controls_color_button_test
}  // namespace kvx
