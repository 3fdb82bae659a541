// The UMD page (page 2) on a simulated multiviewer: its switches, the three ways a label is committed, the
// lock, and the device's reports.
#include <QKeyEvent>
#include <QLineEdit>

#include "controls/limit_edit.h"
#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/ui/umd_page.h"
#include "ui/multiviewer_window_fixture.h"

namespace kvx {
namespace app_umd_page_test {

using Umd = CClass_16_view_umd;

constexpr int kAllUmd = 1115;
int inputButton(int n) {
    return 1126 + n;
}
int labelEdit(int n) {
    return 1030 + n;
}
int onBitmap(int n) {
    return 397 + 2 * n;
}
int offBitmap(int n) {
    return 396 + 2 * n;
}

// The UTF-16LE bytes of an ASCII text.
Bytes utf16le(const std::string& text) {
    Bytes bytes;
    for (char c : text) bytes.insert(bytes.end(), {static_cast<uint8_t>(c), 0x00});
    return bytes;
}

class UmdPage : public MultiviewerWindowTest {
protected:
    UmdPage() {
        // The label edits take the keyboard focus only in the active window.
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // The panel opens on the device (given this state) and the operator shows page 2.
    Umd& open(const std::function<void(MultiviewerState&)>& setUp = {}) {
        MultiviewerWindowTest::open(setUp);
        click(1010);
        return *page<Umd>();
    }
    QWidget* shownPage() const { return panel()->currentPage(); }
    CLimitEdit* edit(int input) const { return qobject_cast<CLimitEdit*>(control(labelEdit(input))); }
    // The label edit takes the focus and the text replaces what it held, typed key by key.
    void typeInto(int input, const QString& text) {
        CLimitEdit* e = edit(input);
        ASSERT_NE(e, nullptr);
        e->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }
    void press(Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key);
        settle();
    }
    void clickBackground() {
        // A point of the page away from every control.
        QTest::mouseClick(shownPage(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 30));
        settle();
    }
};

TEST_F(UmdPage, CreationShowsTheSwitchesAndLabelsOfTheModel) {
    const std::u16string longLabel = u"FIFTEEN_LETTERS";  // longer than can be typed, as a device may hold
    open([&](MultiviewerState& m) {
        m.AllUmdOn = 0;
        m.UmdOn.fill(1);
        m.UmdOn[9] = 0;
        m.UmdName[0] = longLabel;
        m.UmdName[15] = u"";
    });
    EXPECT_EQ(bitmapOf(kAllUmd), 201);
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(bitmapOf(inputButton(n)), n == 10 ? offBitmap(n) : onBitmap(n)) << n;
    EXPECT_EQ(edit(1)->text(), QString::fromStdU16String(longLabel));
    EXPECT_EQ(edit(2)->text(), "Umd_02");
    EXPECT_EQ(edit(16)->text(), "");
    EXPECT_EQ(edit(1)->typedLimit(), 11);
    EXPECT_EQ(page<Umd>()->focusedLabel(), 0);
}

TEST_F(UmdPage, AnInputButtonShowsAndSendsTheOppositeOfItsStoredSwitch) {
    const struct {
        int input;
        uint8_t stored;
    } cases[] = {{5, 0}, {6, 1}, {1, 0}, {16, 1}};
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        model().UmdOn[static_cast<size_t>(c.input - 1)] = c.stored;
        const size_t before = frameCount();
        const uint8_t on = c.stored ? 0 : 1;
        QTest::mouseClick(control(inputButton(c.input)), Qt::LeftButton);
        // The sender stores the value when it sends, before the device answers.
        EXPECT_EQ(model().UmdOn[static_cast<size_t>(c.input - 1)], on);
        EXPECT_EQ(bitmapOf(inputButton(c.input)), on ? onBitmap(c.input) : offBitmap(c.input));
        EXPECT_EQ(framesSince(before), std::vector<Bytes>{request(mv::kSetUmdOn, {uint8_t(c.input), on})});
        EXPECT_EQ(device.state().model.UmdOn[static_cast<size_t>(c.input - 1)], on);
    }
}

TEST_F(UmdPage, AllUmdOnSwitchesOnlyTheMasterSwitch) {
    open([](MultiviewerState& m) {
        m.AllUmdOn = 1;
        m.UmdOn.fill(0);
        m.UmdOn[2] = 1;
    });
    const size_t before = frameCount();
    // Each image is checked at once: the device's report of the change comes back later.
    QTest::mouseClick(control(kAllUmd), Qt::LeftButton);
    EXPECT_EQ(bitmapOf(kAllUmd), 201);
    EXPECT_EQ(model().AllUmdOn, 0);
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(bitmapOf(inputButton(n)), n == 3 ? onBitmap(n) : offBitmap(n)) << n;
    EXPECT_EQ(framesSince(before), std::vector<Bytes>{request(mv::kSetAllUmd, {0})});
    QTest::mouseClick(control(kAllUmd), Qt::LeftButton);
    EXPECT_EQ(bitmapOf(kAllUmd), 202);
    EXPECT_EQ(framesSince(before).back(), request(mv::kSetAllUmd, {1}));
}

TEST_F(UmdPage, EnterSendsTheLabelAndKeepsTheFocusAndTabbingOutSendsItAgain) {
    open();
    const size_t before = frameCount();
    typeInto(3, "CAM 1");
    EXPECT_TRUE(framesSince(before).empty()) << "typing alone commits nothing";
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), edit(3));
    EXPECT_EQ(model().UmdName[2], u"CAM 1");
    const std::vector<Bytes> sent = framesSince(before, mv::kSetUmdName);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].size(), 38u);  // 28 bytes and the five characters' ten
    EXPECT_EQ(sent[0][17], 3);
    EXPECT_EQ(Bytes(sent[0].begin() + 25, sent[0].begin() + 35), utf16le("CAM 1"));
    EXPECT_EQ(sent[0], request(mv::kSetUmdName, {3, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 'C', 0, 'A', 0,
                                                 'M', 0, ' ', 0, '1', 0}));

    press(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), edit(3));
    const std::vector<Bytes> again = framesSince(before, mv::kSetUmdName);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1], again[0]);
    EXPECT_EQ(device.state().model.UmdName[2], u"CAM 1");
}

TEST_F(UmdPage, AnEmptiedEditSendsATwentyEightByteFrameAndStoresNoName) {
    open();
    const size_t before = frameCount();
    typeInto(7, "");
    press(Qt::Key_Tab);
    const std::vector<Bytes> sent = framesSince(before, mv::kSetUmdName);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].size(), 28u);
    EXPECT_EQ(sent[0][17], 7);
    EXPECT_EQ(model().UmdName[6], u"");
    EXPECT_EQ(device.state().model.UmdName[6], u"");
}

TEST_F(UmdPage, ElevenCharactersCanBeTypedAndTheTwelfthIsRefused) {
    open();
    typeInto(4, "ABCDEFGHIJKL");
    EXPECT_EQ(edit(4)->text(), "ABCDEFGHIJK");
    // The characters the edit refuses do not count: a backslash and an accented letter add nothing.
    typeInto(5, "A\\B");
    QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf16(u"\u00e9"));
    QApplication::sendEvent(edit(5), &accented);
    EXPECT_EQ(edit(5)->text(), "AB");
}

TEST_F(UmdPage, ABackgroundClickCommitsTheLabelOnceAndASecondClickDoesNothing) {
    open();
    Umd& umd = *page<Umd>();
    clickBackground();  // no label edit had the focus yet
    const size_t before = frameCount();
    typeInto(12, "STAGE");
    EXPECT_EQ(umd.focusedLabel(), 12);
    clickBackground();
    EXPECT_EQ(umd.focusedLabel(), 0);
    EXPECT_NE(QApplication::focusWidget(), edit(12));
    EXPECT_EQ(framesSince(before, mv::kSetUmdName).size(), 1u);
    EXPECT_EQ(model().UmdName[11], u"STAGE");
    clickBackground();
    EXPECT_EQ(framesSince(before).size(), 1u);
}

TEST_F(UmdPage, EnterAndEscapeNeverCloseThePage) {
    open();
    QWidget* shown = shownPage();
    for (QWidget* target : {shown, static_cast<QWidget*>(edit(9))}) {
        target->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, key);
            settle();
        }
    }
    EXPECT_EQ(shownPage(), shown);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(model().CurrentPage, kPageUmd);
}

TEST_F(UmdPage, WithTheLockOnEveryControlKeepsOrReturnsToTheModelAndNothingIsSent) {
    open();
    window->toggleLock();
    settle();
    const MultiviewerState stored = model();
    const std::string shown = pageControls();
    const size_t before = frameCount();
    click(kAllUmd);
    for (int n = 1; n <= 16; ++n) click(inputButton(n));
    typeInto(3, "LOCKED");
    press(Qt::Key_Return);
    EXPECT_EQ(edit(3)->text(), "Umd_03") << "the edit shows the stored name again";
    typeInto(4, "LOCKED");
    press(Qt::Key_Tab);
    typeInto(5, "LOCKED");
    clickBackground();
    EXPECT_TRUE(framesSince(before).empty());
    EXPECT_EQ(pageControls(), shown);
    EXPECT_EQ(model().UmdOn, stored.UmdOn);
    EXPECT_EQ(model().AllUmdOn, stored.AllUmdOn);
    EXPECT_EQ(model().UmdName, stored.UmdName);
}

TEST_F(UmdPage, LeavingThePageByItsButtonCommitsTheLabelBeingTyped) {
    open();
    const size_t before = frameCount();
    typeInto(2, "DESK");
    click(1012);  // the settings page
    ASSERT_EQ(model().CurrentPage, kPageSettings);
    const std::vector<Bytes> sent = framesSince(before, mv::kSetUmdName);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][17], 2);
    EXPECT_EQ(device.state().model.UmdName[1], u"DESK");
}

TEST_F(UmdPage, ClosingThePanelWhileALabelHasTheFocusSendsNothing) {
    open();
    typeInto(2, "UNSAVED");
    const size_t before = frameCount();
    delete window->currentPanel();  // as the window's end does; the senders go with the panel
    settle();
    EXPECT_TRUE(framesSince(before, mv::kSetUmdName).empty());
    EXPECT_EQ(device.state().model.UmdName[1], u"Umd_02");
}

TEST_F(UmdPage, TheDevicesSwitchReportsMoveTheButtons) {
    open();
    ASSERT_TRUE(device.switchUmd(5, 0));
    waitFor([this] { return model().UmdOn[4] == 0; });
    EXPECT_EQ(bitmapOf(inputButton(5)), offBitmap(5));
    ASSERT_TRUE(device.switchUmd(0, 0));
    waitFor([this] { return model().AllUmdOn == 0; });
    EXPECT_EQ(bitmapOf(kAllUmd), 201);
}

TEST_F(UmdPage, AReportForAnotherPageChangesOnlyTheModel) {
    open();
    const std::string shown = pageControls();
    const uint8_t payload[] = {0};
    ASSERT_TRUE(device.frontPanelChange(mv::kSetFormatStatus, payload));
    waitFor([this] { return model().FormatStatusOn == 0; });
    EXPECT_EQ(pageControls(), shown);
}

// After a whole-state report the device's state is read again, and after its 3000 ms the page shows it.
TEST_F(UmdPage, AfterTheDeviceLoadsItsDefaultsThePageShowsTheLabelsAndSwitchesReadBack) {
    open([](MultiviewerState& m) {
        m.UmdName[0] = u"CAM A";
        m.UmdOn.fill(0);
        m.AllUmdOn = 0;
    });
    ASSERT_EQ(edit(1)->text(), "CAM A");
    device.loadDefaults();  // labels "Umd_01" ..., every switch on
    // The re-read and the device's 3000 ms: a bound generous enough for a loaded machine.
    ASSERT_TRUE(QTest::qWaitFor([this] { return edit(1)->text() == "Umd_01"; }, 20000));
    EXPECT_EQ(model().UmdName[0], u"Umd_01");
    EXPECT_EQ(bitmapOf(kAllUmd), 202);
    for (int n = 1; n <= 16; ++n) EXPECT_EQ(bitmapOf(inputButton(n)), onBitmap(n)) << n;
}

}  // namespace app_umd_page_test
}  // namespace kvx
