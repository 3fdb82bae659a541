// The multiviewer panel in the main window: the first page, the page buttons with their mode questions
// and the lock, SetWorkMode, the preview's place, and reports that arrive during a whole-state re-read.
#include <QPainter>
#include <atomic>
#include <thread>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/ui/layout_mode_page.h"
#include "multiviewer/ui/matrix_page.h"
#include "multiviewer/ui/page_catalogue.h"
#include "ui/multiviewer_window_fixture.h"

namespace kvx {
namespace app_multiviewer_panel_test {

using Frames = std::vector<Bytes>;
const std::string kToSwitcher = std::string("Warning: ") + CClass_child_main_dlg::kLeaveMultiviewerQuestion;
const std::string kToMultiviewer = std::string("Warning: ") + CClass_child_main_dlg::kLeaveSwitcherQuestion;

// Button id of a page.
int buttonOf(int page) {
    return findPage(page)->buttonId;
}

std::string pageClass(int page) {
    const char* const names[] = {"",
                                 "CClass_16_view_mode",
                                 "CClass_16_view_umd",
                                 "CClass_16_view_color",
                                 "CClass_16_view_set",
                                 "CClass_16_view_matrix",
                                 "CClass_16_view_audio"};
    return std::string("kvx::") + names[page];
}

class PanelTest : public MultiviewerWindowTest {};

TEST_F(PanelTest, TheQuestionsAreTheDevicesOwnWords) {
    EXPECT_STREQ(
        CClass_child_main_dlg::kLeaveMultiviewerQuestion,
        "Exiting Multi-viewer Mode will make Loopout return to the status you set for Switcher Mode last "
        "time. \nAre you sure? ");
    EXPECT_STREQ(
        CClass_child_main_dlg::kLeaveSwitcherQuestion,
        "Exiting Switcher Mode will default the Matrix to one-to-one until you return to Switcher Mode. "
        "\nAre you sure? ");
}

TEST_F(PanelTest, ADeviceInSwitcherModeOpensOnPage5WithoutAQuestion) {
    open([](MultiviewerState& m) { m.SwitcherMode = 1; });
    EXPECT_EQ(model().CurrentPage, kPageMatrix);
    EXPECT_NE(page<CClass_16_view_matrix>(), nullptr);
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    const Frames workMode = framesSince(0, mv::kSetWorkMode);
    ASSERT_EQ(workMode.size(), 1u);
    EXPECT_EQ(payloadOf(workMode[0]), (Bytes{1}));
}

TEST_F(PanelTest, ADeviceInMultiviewerModeOpensOnPage1) {
    open();
    EXPECT_EQ(model().CurrentPage, kPageLayout);
    EXPECT_NE(page<CClass_16_view_mode>(), nullptr);
    EXPECT_EQ(bitmapOf(1009), 291);  // selected
    for (const auto& [id, normal] :
         {std::pair{1015, 292}, {1010, 294}, {1016, 284}, {1011, 286}, {1012, 288}})
        EXPECT_EQ(bitmapOf(id), normal) << id;
}

// One page change: the question asked (if any), the answer, and what follows.
struct SwitchCase {
    const char* name;
    int from;
    int to;
    const std::string* question;  // nullptr: none
    bool ok;
    int shown;     // the page shown afterwards
    int workMode;  // the SetWorkMode value sent, -1 for none
};

class PageSwitchTest : public MultiviewerWindowTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(PageSwitchTest, QuestionThenPageThenSetWorkMode) {
    const SwitchCase& c = GetParam();
    open();
    if (c.from == kPageMatrix) {
        click(buttonOf(kPageMatrix));  // asked and answered OK
    } else if (c.from != kPageLayout) {
        click(buttonOf(c.from));
    }
    ASSERT_EQ(model().CurrentPage, c.from);
    messages.clear();
    answerOk = c.ok;
    const size_t before = frameCount();

    click(buttonOf(c.to));

    if (c.question) {
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].toStdString(), *c.question);
    } else {
        EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    }
    EXPECT_EQ(model().CurrentPage, c.shown);
    EXPECT_EQ(model().SwitcherMode, c.shown == kPageMatrix ? 1 : 0);
    EXPECT_EQ(panel()->currentPage()->metaObject()->className(), pageClass(c.shown));
    for (const PageEntry& entry : pageCatalogue()) {
        EXPECT_EQ(bitmapOf(entry.buttonId), entry.page == c.shown ? entry.selectedBitmap : entry.normalBitmap)
            << entry.buttonId;
    }
    const Frames sent = framesSince(before);
    if (c.workMode < 0) {
        EXPECT_TRUE(sent.empty());
    } else {
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0][16], mv::kSetWorkMode);
        EXPECT_EQ(payloadOf(sent[0]), (Bytes{static_cast<uint8_t>(c.workMode)}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageSwitchTest,
    ::testing::Values(SwitchCase{"LayoutToSwitcherOk", 1, 5, &kToSwitcher, true, 5, 1},
                      SwitchCase{"LayoutToSwitcherCancelled", 1, 5, &kToSwitcher, false, 1, -1},
                      SwitchCase{"SwitcherToColourOk", 5, 3, &kToMultiviewer, true, 3, 0},
                      SwitchCase{"SwitcherToColourCancelled", 5, 3, &kToMultiviewer, false, 5, -1},
                      SwitchCase{"UmdToSettings", 2, 4, nullptr, true, 4, 0},
                      SwitchCase{"LayoutToAudio", 1, 6, nullptr, true, 6, 0},
                      SwitchCase{"TheShownPageAgain", 1, 1, nullptr, true, 1, -1},
                      SwitchCase{"TheSwitcherPageAgain", 5, 5, nullptr, true, 5, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace app_multiviewer_panel_test
}  // namespace kvx

namespace kvx {
namespace app_multiviewer_panel_test {

TEST_F(PanelTest, LockedPageButtonsDoNothingUntilTheNextReadBackLetsOneChangeThrough) {
    open();
    QTest::mouseClick(window->lockButton(), Qt::LeftButton);
    settle();
    ASSERT_EQ(model().PanelLocked, 1);
    const size_t before = frameCount();

    click(buttonOf(kPageMatrix));  // the question comes first, then the lock refuses
    EXPECT_EQ(messages.size(), 1);
    click(buttonOf(kPageUmd));
    EXPECT_EQ(model().CurrentPage, kPageLayout);
    EXPECT_NE(page<CClass_16_view_mode>(), nullptr);
    EXPECT_EQ(bitmapOf(buttonOf(kPageLayout)), 291);

    // The device's defaults are read back: one change goes through (SetWorkMode stays at home: locked).
    device.loadDefaults();
    waitFor([this] { return model().StatusLoaded == 1; });
    click(buttonOf(kPageUmd));
    EXPECT_EQ(model().CurrentPage, kPageUmd);
    click(buttonOf(kPageSettings));
    EXPECT_EQ(model().CurrentPage, kPageUmd);
    EXPECT_TRUE(framesSince(before, mv::kSetWorkMode).empty());
}

TEST_F(PanelTest, AReportDuringAWholeStateReReadIsAppliedAfterItInArrivalOrder) {
    open();
    device.loadDefaults();  // reported as 0x0B: read back, wait, then the selections are reset
    device.changeColour(mv::kSetUmdTextColor, 4, 6);
    device.changeLayout(90);
    device.changeLayout(40);
    waitFor([this] { return panel()->busy(); });
    waitFor([this] { return !panel()->busy(); });
    // Applied after the reset, so the operator sees the input the device reported last.
    EXPECT_EQ(model().ColorSourceSelect, 4);
    EXPECT_EQ(model().UmdTextColor[3], 6);
    EXPECT_EQ(model().LayoutMode, 40);
    EXPECT_EQ(model().WindowGeometry[3].number, 4);
    EXPECT_EQ(qobject_cast<CClass_16_view_mode*>(panel()->currentPage())->highlightedLayout(), 40);
}

TEST_F(PanelTest, ThePreviewIsPaintedAtTheAnchorAt720x480) {
    open([](MultiviewerState& m) { m.LayoutMode = 110; });  // outside the catalogue: background only
    EXPECT_EQ(panel()->previewRect(), QRect(5, 40, 720, 480));
    const QImage shot = panel()->grab().toImage();
    const QRgb grey = qRgb(152, 152, 152);
    for (const QPoint& p : {QPoint(5, 40), QPoint(724, 40), QPoint(5, 519), QPoint(724, 519)})
        EXPECT_EQ(shot.pixel(p), grey) << p.x() << "," << p.y();
    for (const QPoint& p : {QPoint(4, 40), QPoint(725, 40), QPoint(5, 39), QPoint(5, 520)})
        EXPECT_NE(shot.pixel(p), grey) << p.x() << "," << p.y();
}

TEST_F(PanelTest, SwitchingPagesWhileReportsPourInIsSafe) {
    open();
    std::atomic<bool> sending{true};
    std::thread frontPanel([&] {
        for (uint8_t n = 0; sending; n = static_cast<uint8_t>(n + 1)) {
            device.switchUmd(static_cast<uint8_t>(n % 16 + 1), n & 1);
            device.changeSource(static_cast<uint8_t>(n % 16 + 1), static_cast<uint8_t>((n + 3) % 16 + 1));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    for (int round = 0; round < 10; ++round) {
        for (int page : {kPageUmd, kPageSettings, kPageLayout, kPageAudio, kPageColour}) {
            panel()->showPage(page);
            QCoreApplication::processEvents();
        }
    }
    sending = false;
    frontPanel.join();
    settle();
    EXPECT_EQ(model().CurrentPage, kPageColour);
    EXPECT_EQ(model().UmdOn, device.state().model.UmdOn);  // every report arrived, in order
}

class HighDpiPanelTest : public MultiviewerWindowTest {
protected:
    HighDpiPanelTest() : MultiviewerWindowTest(144) {}
};

TEST_F(HighDpiPanelTest, ThePreviewScalesButTheAnchorAndPageButtonSizesDoNot) {
    open();
    EXPECT_EQ(panel()->previewRect(), QRect(5, 40, 1080, 720));
    EXPECT_EQ(panel()->pageRect(), QRect(1125, 157, 735, 630));
    EXPECT_EQ(control(1009)->geometry(), QRect(1125, 22, 65, 80));
    EXPECT_EQ(control(1012)->geometry(), QRect(1702, 22, 75, 80));
}

}  // namespace app_multiviewer_panel_test
}  // namespace kvx
