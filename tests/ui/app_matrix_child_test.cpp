// The 8x8 matrix switcher panel, and what both matrix panels share, on simulated switchers.
#include <QTimer>

#include "matrix_panel_fixture.h"

namespace kvx {
namespace app_matrix_child_test {

constexpr int kInput1 = 1054;
constexpr int kOutput1 = 1062;
constexpr int kStatus1 = 1128;
constexpr int kApply = 1082;
constexpr int kOneToAll = 1136;
constexpr int kOneToOne = 1137;
constexpr int kRefresh = 1138;
constexpr int kBacklightList = 1074;
constexpr int kTrackbar = 1139;
constexpr int kBrightnessEdit = 1140;

int number(int n) {
    return 175 + 2 * (n - 1);
}
int lit(int n) {
    return 176 + 2 * (n - 1);
}

class Matrix8x8Panel : public MatrixPanelTest {
protected:
    CClass_matrix_child& panel() { return open<CClass_matrix_child>(k8x8); }
    void pressInput(CClass_matrix_child& p, int n) { click(p, kInput1 + n - 1); }
    void pressOutput(CClass_matrix_child& p, int k) { click(p, kOutput1 + k - 1); }
    int statusBitmap(CClass_matrix_child& p, int k) { return bitmapOf(p, kStatus1 + k - 1); }
    int outputBitmap(CClass_matrix_child& p, int k) { return bitmapOf(p, kOutput1 + k - 1); }
};

TEST_F(Matrix8x8Panel, ApplyRoutesTheInputToTheMarkedOutputsAndTheStatusRowShowsIt) {
    auto& p = panel();
    const size_t before = textCount(k8x8);
    pressInput(p, 3);
    for (int k : {1, 2, 5}) pressOutput(p, k);
    click(p, kApply);
    EXPECT_EQ(textsSince(k8x8, before), std::vector<std::string>{"3V1,2,5."});
    const std::vector<int> shown{3, 3, 3, 4, 3, 6, 7, 8};  // the device started one-to-one
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(statusBitmap(p, k), lit(shown[k - 1])) << "output " << k;
    EXPECT_EQ(bitmapOf(p, kApply), 199);
    EXPECT_EQ(bitmapOf(p, kInput1 + 2), lit(3));
    EXPECT_EQ(device(k8x8).state().routes[4], 3);
    EXPECT_EQ(window->lockBitmap(), 132);
}

TEST_F(Matrix8x8Panel, ApplyWithNoOutputMarkedSendsNothingButHighlightsApply) {
    auto& p = panel();
    const size_t before = textCount(k8x8);
    pressInput(p, 2);
    click(p, kApply);
    EXPECT_TRUE(textsSince(k8x8, before).empty());
    EXPECT_EQ(bitmapOf(p, kApply), 199);
    EXPECT_EQ(p.routing().ModeHighlight, kModeApply);
}

TEST_F(Matrix8x8Panel, PressingAMarkedOutputAgainUnmarksIt) {
    auto& p = panel();
    const size_t before = textCount(k8x8);
    pressInput(p, 3);
    pressOutput(p, 1);
    pressOutput(p, 2);
    EXPECT_EQ(outputBitmap(p, 2), lit(2));
    pressOutput(p, 2);
    EXPECT_EQ(outputBitmap(p, 2), number(2));
    EXPECT_EQ(outputBitmap(p, 1), lit(1));
    click(p, kApply);
    EXPECT_EQ(textsSince(k8x8, before), std::vector<std::string>{"3V1."});
}

TEST_F(Matrix8x8Panel, PressingTheSelectedInputAgainKeepsTheMarks) {
    auto& p = panel();
    const size_t before = textCount(k8x8);
    pressInput(p, 6);
    pressOutput(p, 4);
    pressInput(p, 6);
    EXPECT_EQ(outputBitmap(p, 4), lit(4));
    click(p, kApply);
    EXPECT_EQ(textsSince(k8x8, before), std::vector<std::string>{"6V4."});
}

TEST_F(Matrix8x8Panel, ChoosingAnotherInputDropsTheMarksAndTheModeHighlight) {
    auto& p = panel();
    const size_t before = textCount(k8x8);
    pressInput(p, 3);
    pressOutput(p, 4);
    click(p, kApply);
    pressInput(p, 5);
    EXPECT_EQ(bitmapOf(p, kInput1 + 2), number(3));
    EXPECT_EQ(bitmapOf(p, kInput1 + 4), lit(5));
    EXPECT_EQ(bitmapOf(p, kApply), 198);
    EXPECT_EQ(outputBitmap(p, 4), number(4));
    click(p, kApply);
    EXPECT_EQ(textsSince(k8x8, before), std::vector<std::string>{"3V4."});
}

TEST_F(Matrix8x8Panel, InputEightToAllOutputs) {
    auto& p = panel();
    const size_t before = textCount(k8x8);
    pressInput(p, 8);
    click(p, kOneToAll);
    EXPECT_EQ(textsSince(k8x8, before), std::vector<std::string>{"8All."});
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(statusBitmap(p, k), lit(8)) << k;
        EXPECT_EQ(outputBitmap(p, k), lit(k)) << k;
    }
    EXPECT_EQ(bitmapOf(p, kOneToAll), 195);
}

TEST_F(Matrix8x8Panel, OneToOneSendsItsTextAndLeavesNoInputSelected) {
    auto& p = panel();
    const size_t before = textCount(k8x8);
    pressInput(p, 4);
    click(p, kOneToAll);
    click(p, kOneToOne);
    EXPECT_EQ(textsSince(k8x8, before), (std::vector<std::string>{"4All.", "All#."}));
    EXPECT_EQ(p.routing().SelectedInput, 0);
    EXPECT_EQ(bitmapOf(p, kInput1 + 3), number(4));
    EXPECT_EQ(bitmapOf(p, kOneToOne), 197);
    EXPECT_EQ(bitmapOf(p, kOneToAll), 194);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(outputBitmap(p, k), number(k)) << k;
        EXPECT_EQ(statusBitmap(p, k), lit(k)) << k;
    }
    // With no input selected, outputs and apply do nothing.
    pressOutput(p, 1);
    click(p, kApply);
    EXPECT_EQ(textsSince(k8x8, before).size(), 2u);
    EXPECT_EQ(outputBitmap(p, 1), number(1));
}

// The start reads the routing, the lock, DHCP, the name and the backlight settings from the device.
struct StartCase {
    const char* name;
    std::u16string deviceName;
    QString nameBox;
};

class Matrix8x8Start : public Matrix8x8Panel, public ::testing::WithParamInterface<StartCase> {};

TEST_P(Matrix8x8Start, ShowsWhatTheDeviceReports) {
    setDeviceState(k8x8, [](MatrixSwitcherDevice::State& s) {
        s.routes = {2, 2, 7, 1, 5, 5, 8, 3};
        s.dhcpOn = 1;
        s.name = GetParam().deviceName;
        s.backlightTime = 2;
        s.backlightBrightness = 40;
    });
    auto& p = panel();
    const std::vector<int> routes{2, 2, 7, 1, 5, 5, 8, 3};
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(statusBitmap(p, k), lit(routes[k - 1])) << k;
    EXPECT_EQ(window->nameEdit()->text(), GetParam().nameBox);
    EXPECT_EQ(window->deviceDhcpOn(), 1);
    auto* list = controlOf<QComboBox>(p, kBacklightList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentText(), QStringLiteral("15s Off"));
    EXPECT_EQ(controlOf<QSlider>(p, kTrackbar)->value(), 40);
    EXPECT_EQ(controlOf<QLineEdit>(p, kBrightnessEdit)->text(), QStringLiteral("40%"));
    EXPECT_TRUE(controlOf<QWidget>(p, kApply)->isEnabled()) << "the reads are over";
    EXPECT_EQ(bitmapOf(p, kRefresh), 451);
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(bitmapOf(p, kInput1 + n - 1), number(n));
}

INSTANTIATE_TEST_SUITE_P(Names, Matrix8x8Start,
                         ::testing::Values(StartCase{"Named", u"Studio 4", QStringLiteral("Studio 4")},
                                           StartCase{"Unnamed", u"", QStringLiteral("Custom Name")}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Matrix8x8Panel, TheBacklightListHoldsTheFiveTimesAndSendsTheChoice) {
    auto& p = panel();
    auto* list = controlOf<QComboBox>(p, kBacklightList);
    ASSERT_EQ(list->count(), 5);
    const QStringList texts{"15s Dim", "60s Dim", "15s Off", "60s Off", "Always On"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(list->itemText(i), texts[i]);
    const size_t before = frameCount(k8x8);
    chooseByKeys(list, 1);
    const auto sent = framesSince(k8x8, before, 0x51);
    ASSERT_EQ(sent.size(), 3u) << "4 -> 3 -> 2 -> 1, each step a choice";
    EXPECT_EQ(sent.back(), buildBacklightTime(0x01, kLinkLan, 1));
    EXPECT_EQ(device(k8x8).state().backlightTime, 1);
}

TEST_F(Matrix8x8Panel, TheBrightnessGoesOutOnlyWhenTheButtonIsReleasedOverTheTrackbar) {
    auto& p = panel();
    auto* trackbar = controlOf<ReleaseTrackbar>(p, kTrackbar);
    ASSERT_NE(trackbar, nullptr);
    const size_t before = frameCount(k8x8);
    trackbar->setFocus();
    QTest::keyClick(trackbar, Qt::Key_Home);
    EXPECT_EQ(controlOf<QLineEdit>(p, kBrightnessEdit)->text(), QStringLiteral("0%"));
    EXPECT_EQ(p.routing().BacklightBrightness, 0);
    const QPoint left(2, trackbar->height() / 2);
    QTest::mousePress(trackbar, Qt::LeftButton, {}, left);
    QTest::mouseRelease(trackbar, Qt::LeftButton, {}, QPoint(-20, trackbar->height() / 2));
    EXPECT_TRUE(framesSince(k8x8, before, 0x52).empty()) << "released beside the trackbar";
    QTest::mouseClick(trackbar, Qt::LeftButton, {}, left);
    const auto sent = framesSince(k8x8, before, 0x52);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], buildBacklightBrightness(0x01, kLinkLan, static_cast<uint8_t>(trackbar->value())));
    EXPECT_EQ(device(k8x8).state().backlightBrightness, trackbar->value());
}

TEST_F(Matrix8x8Panel, RefreshShowsItsBusyPictureReadsTheRoutingAndComesBack) {
    auto& p = panel();
    const size_t before = frameCount(k8x8);
    device(k8x8).handleText("5All.");  // changed on the device's front panel
    click(p, kRefresh);
    EXPECT_EQ(bitmapOf(p, kRefresh), 450);
    EXPECT_EQ(framesSince(k8x8, before, 0x53).size(), 1u);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(statusBitmap(p, k), lit(5)) << k;
    auto* timer = p.findChild<QTimer*>(QStringLiteral("refresh timer 3"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 2000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bitmapOf(p, kRefresh) == 451; }, 10000));
    EXPECT_FALSE(timer->isActive());
}

// A mode button pressed while a refresh reads the device is taken at once; its text goes out after the read,
// and the status row ends showing what the device then has, not the read's older answer.
struct ClickDuringReadCase {
    const char* name;
    std::vector<int> before;  // pressed (and settled) before the refresh
    int button;
    std::string text;
    std::array<uint8_t, 8> routes;  // the device's routing afterwards
};

class Matrix8x8ClickDuringRead : public Matrix8x8Panel,
                                 public ::testing::WithParamInterface<ClickDuringReadCase> {};

TEST_P(Matrix8x8ClickDuringRead, IsSentAfterTheReadAndTheDeviceIsShown) {
    const ClickDuringReadCase& c = GetParam();
    auto& p = panel();
    for (int id : c.before) click(p, id);
    device(k8x8).handleText("5All.");  // changed on the device's own front panel
    const size_t texts = textCount(k8x8);
    QTest::mouseClick(p.control(kRefresh), Qt::LeftButton);  // its answer has not come back yet
    ASSERT_TRUE(p.control(c.button)->isEnabled());
    QTest::mouseClick(p.control(c.button), Qt::LeftButton);
    EXPECT_EQ(bitmapOf(p, c.button), c.button == kApply      ? 199
                                     : c.button == kOneToAll ? 195
                                                             : 197)
        << "the click shows at once";
    EXPECT_EQ(textsSince(k8x8, texts), std::vector<std::string>{c.text});
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(device(k8x8).state().routes[k - 1], c.routes[k - 1]) << "output " << k;
        EXPECT_EQ(statusBitmap(p, k), lit(c.routes[k - 1])) << "output " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    ModeButtons, Matrix8x8ClickDuringRead,
    ::testing::Values(
        ClickDuringReadCase{"OneToOne", {}, kOneToOne, "All#.", {1, 2, 3, 4, 5, 6, 7, 8}},
        ClickDuringReadCase{"OneToAll", {kInput1 + 2}, kOneToAll, "3All.", {3, 3, 3, 3, 3, 3, 3, 3}},
        ClickDuringReadCase{
            "Apply", {kInput1 + 1, kOutput1, kOutput1 + 3}, kApply, "2V1,4.", {2, 5, 5, 2, 5, 5, 5, 5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Matrix8x8Panel, ALockReportedByTheDeviceLocksThePanelAndShowsOnTheLockButton) {
    setDeviceState(k8x8, [](MatrixSwitcherDevice::State& s) { s.panelLocked = 1; });
    auto& p = panel();
    EXPECT_TRUE(window->panelLocked());
    EXPECT_EQ(window->lockBitmap(), 135);
    const size_t before = textCount(k8x8);
    pressInput(p, 1);
    click(p, kOneToAll);
    EXPECT_TRUE(textsSince(k8x8, before).empty());
}

// The lock holds for both panels: only the trackbar and its edit change, and nothing goes out.
class LockedPanels : public MatrixPanelTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(LockedPanels, OnlyTheTrackbarAndItsEditChange) {
    MatrixPanel& p = GetParam() == k8x8 ? static_cast<MatrixPanel&>(open<CClass_matrix_child>(k8x8))
                                        : open<CClass_matrix_child_16x16>(GetParam());
    const MatrixPanelLayout& ids = p.layout();
    QTest::mouseClick(window->lockButton(), Qt::LeftButton);
    settle();
    ASSERT_TRUE(window->panelLocked());
    const size_t frames = frameCount(GetParam());
    const size_t texts = textCount(GetParam());

    for (int id : {ids.firstInputId + 2, ids.firstOutputId, ids.applyId, ids.oneToAllId, ids.oneToOneId,
                   ids.refreshId}) {
        click(p, id);
    }
    EXPECT_EQ(bitmapOf(p, ids.firstInputId + 2), ids.numberBitmap(3));
    EXPECT_EQ(bitmapOf(p, ids.firstOutputId), ids.numberBitmap(1));
    EXPECT_EQ(bitmapOf(p, ids.oneToOneId), 196);
    EXPECT_EQ(bitmapOf(p, ids.refreshId), 451);
    auto* list = controlOf<QComboBox>(p, ids.backlightListId);
    const int stored = list->currentIndex();
    chooseByKeys(list, stored - 1);
    EXPECT_EQ(list->currentIndex(), stored);

    auto* trackbar = controlOf<ReleaseTrackbar>(p, ids.trackbarId);
    trackbar->setFocus();
    QTest::keyClick(trackbar, Qt::Key_Home);
    QTest::mouseClick(trackbar, Qt::LeftButton, {}, QPoint(2, trackbar->height() / 2));
    EXPECT_EQ(trackbar->value(), 0) << "the device reported 100";
    EXPECT_EQ(p.routing().BacklightBrightness, 0);
    EXPECT_EQ(controlOf<QLineEdit>(p, ids.brightnessEditId)->text(),
              QString::asprintf("%d%%", trackbar->value()));

    EXPECT_EQ(frameCount(GetParam()), frames);
    EXPECT_EQ(textCount(GetParam()), texts);
}

INSTANTIATE_TEST_SUITE_P(BothPanels, LockedPanels,
                         ::testing::Values(MatrixPanelTest::k8x8, MatrixPanelTest::k16x16));

TEST_F(Matrix8x8Panel, AnAnswerForAPanelThatIsGoneIsDropped) {
    auto& p = panel();
    QTest::mouseClick(p.control(kRefresh), Qt::LeftButton);  // its read is still queued
    device(k8x8).handleText("7All.");
    auto& next = open<CClass_matrix_child_16x16>(k16x16);
    EXPECT_EQ(bitmapOf(next, 1082), 475) << "the new panel shows its own device";
}

class Matrix8x8At144Dpi : public MatrixPanelTest {
protected:
    Matrix8x8At144Dpi() : MatrixPanelTest(144) {}
};

TEST_F(Matrix8x8At144Dpi, PositionsFollowTheScreenAndPictureButtonsKeepTheirSize) {
    auto& p = open<CClass_matrix_child>(k8x8);
    EXPECT_EQ(p.size(), QSize(1860, 810));
    struct Place {
        int id;
        QRect geometry;
    };
    const Place places[] = {
        {kInput1, {36, 120, 100, 60}},         {kInput1 + 7, {1674, 120, 100, 60}},
        {kOutput1 + 1, {270, 276, 100, 60}},   {kStatus1, {36, 432, 100, 60}},
        {kApply, {990, 615, 130, 45}},         {kRefresh, {1629, 615, 130, 45}},
        {kBacklightList, {345, 588, 330, 45}},
    };
    for (const Place& place : places) EXPECT_EQ(p.control(place.id)->geometry(), place.geometry) << place.id;
}

}  // namespace app_matrix_child_test
}  // namespace kvx
