// CLimitEdit: typed characters above 128 and the backslash are refused; other input is taken as it is.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>

#include "controls/limit_edit.h"

namespace kvx {
namespace controls_limit_edit_test {

void type(CLimitEdit& edit, char16_t code, Qt::Key key = Qt::Key_unknown) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(code)));
    QApplication::sendEvent(&edit, &press);
}

TEST(LimitEditFilter, RefusesCodesAbove128AndTheBackslash) {
    const struct {
        char16_t code;
        bool accepted;
    } cases[] = {{8, true},   {'a', true}, {' ', true},  {91, true},   {92, false},     {93, true},
                 {127, true}, {128, true}, {129, false}, {233, false}, {0x20AC, false}, {0xD83D, false}};
    for (const auto& c : cases) EXPECT_EQ(CLimitEdit::acceptsTyped(c.code), c.accepted) << int(c.code);
}

TEST(LimitEdit, TypingABackslashAndBLeavesTheTwoLetters) {
    CLimitEdit edit;
    type(edit, 'a', Qt::Key_A);
    type(edit, '\\', Qt::Key_Backslash);
    type(edit, 'b', Qt::Key_B);
    EXPECT_EQ(edit.text(), "ab");
}

TEST(LimitEdit, CodeAbove128AddsNothingAndBackspaceRemovesOne) {
    CLimitEdit edit;
    QTest::keyClicks(&edit, "abc");
    type(edit, 233);
    EXPECT_EQ(edit.text(), "abc");
    type(edit, 8, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "ab");
}

TEST(LimitEdit, MixedTypedTextKeepsOnlyTheAcceptedCharacters) {
    CLimitEdit edit;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf16(u"x\u00e9y"));
    QApplication::sendEvent(&edit, &press);
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromUtf16(u"\u00fcz\\"));
    QApplication::sendEvent(&edit, &composed);
    EXPECT_EQ(edit.text(), "xyz");
}

TEST(LimitEdit, PastedAndSetTextIsNotFiltered) {
    const QString raw = QString::fromUtf16(u"C:\\caf\u00e9");
    CLimitEdit edit;
    edit.setText(raw);
    EXPECT_EQ(edit.text(), raw);

    CLimitEdit pasted;
    QGuiApplication::clipboard()->setText(raw);
    pasted.paste();
    EXPECT_EQ(pasted.text(), raw);

    CLimitEdit keyed;
    QTest::keyClick(&keyed, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(keyed.text(), raw);
}

TEST(LimitEdit, TheTypedLimitStopsTypingButNotTextThatIsSetOrPasted) {
    CLimitEdit edit;
    edit.setTypedLimit(4);
    QTest::keyClicks(&edit, "abcdef");
    EXPECT_EQ(edit.text(), "abcd");
    QInputMethodEvent composed;
    composed.setCommitString("xy");
    QApplication::sendEvent(&edit, &composed);
    EXPECT_EQ(edit.text(), "abcd");
    // Typing over a selection replaces it within the limit.
    edit.setSelection(1, 2);
    QTest::keyClicks(&edit, "XYZ");
    EXPECT_EQ(edit.text(), "aXYd");

    // A longer text set from elsewhere stays whole; it can be shortened but not lengthened.
    edit.setText("abcdefg");
    QTest::keyClick(&edit, Qt::Key_H);
    EXPECT_EQ(edit.text(), "abcdefg");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "abcdef");
    QGuiApplication::clipboard()->setText("123");
    edit.paste();
    EXPECT_EQ(edit.text(), "abcdef123");
}

}  // namespace controls_limit_edit_test
}  // namespace kvx
