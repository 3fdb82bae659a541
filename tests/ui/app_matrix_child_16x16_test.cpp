// The 16x16 matrix switcher panel on simulated switchers: two-digit routing, the output format list and the
// model flag.
#include <QLabel>

#include "matrix_panel_fixture.h"

namespace kvx {
namespace app_matrix_child_16x16_test {

constexpr int kInput1 = 1158;
constexpr int kOutput1 = 1174;
constexpr int kStatus1 = 1082;
constexpr int kApply = 1190;
constexpr int kRefresh = 1191;
constexpr int kOneToAll = 1192;
constexpr int kFormatList = 1074;
constexpr int kFormatLabel = 1196;

int number(int n) {
    return 457 + n;
}
int lit(int n) {
    return 474 + n;
}

class Matrix16x16Panel : public MatrixPanelTest {
protected:
    CClass_matrix_child_16x16& panel(size_t which = k16x16) { return open<CClass_matrix_child_16x16>(which); }
    QComboBox* formatList(CClass_matrix_child_16x16& p) { return controlOf<QComboBox>(p, kFormatList); }
};

TEST_F(Matrix16x16Panel, InputTwelveToOutputsNineAndTen) {
    auto& p = panel();
    const size_t before = textCount(k16x16);
    click(p, kInput1 + 11);
    click(p, kOutput1 + 8);
    click(p, kOutput1 + 9);
    click(p, kApply);
    EXPECT_EQ(textsSince(k16x16, before), std::vector<std::string>{"12V9,10."});
    for (int k = 1; k <= 16; ++k) {
        EXPECT_EQ(bitmapOf(p, kStatus1 + k - 1), lit(k == 9 || k == 10 ? 12 : k)) << "output " << k;
    }
    EXPECT_EQ(bitmapOf(p, kApply), 199);
}

TEST_F(Matrix16x16Panel, TwoDigitOutputsAndInputSixteenToAll) {
    auto& p = panel();
    const size_t before = textCount(k16x16);
    click(p, kInput1 + 3);
    for (int k : {2, 11, 16}) click(p, kOutput1 + k - 1);
    click(p, kApply);
    click(p, kInput1 + 15);
    click(p, kOneToAll);
    EXPECT_EQ(textsSince(k16x16, before), (std::vector<std::string>{"4V2,11,16.", "16All."}));
    for (int k = 1; k <= 16; ++k) EXPECT_EQ(bitmapOf(p, kStatus1 + k - 1), lit(16)) << k;
}

TEST_F(Matrix16x16Panel, ApplyForAnInputNeitherMarkedNorRoutedDoesNothingAtAll) {
    auto& p = panel();
    const size_t before = textCount(k16x16);
    click(p, kInput1 + 5);
    click(p, kApply);
    EXPECT_TRUE(textsSince(k16x16, before).empty());
    EXPECT_EQ(bitmapOf(p, kApply), 198) << "unlike the 8x8, apply is not even highlighted";
    EXPECT_EQ(p.routing().ModeHighlight, kModeNone);
    // Once the input is marked somewhere, apply goes ahead.
    click(p, kOutput1 + 13);
    click(p, kApply);
    EXPECT_EQ(textsSince(k16x16, before), std::vector<std::string>{"6V14."});
}

TEST_F(Matrix16x16Panel, TheFormatListHoldsTheTwentyOneFormatsInOrder) {
    auto& p = panel();
    QComboBox* list = formatList(p);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 21);
    EXPECT_EQ(list->itemText(0), QStringLiteral("1080p60"));
    EXPECT_EQ(list->itemText(7), QStringLiteral("1080p23.98"));
    EXPECT_EQ(list->itemText(12), QStringLiteral("720p59.94"));
    EXPECT_EQ(list->itemText(20), QStringLiteral("525i59.94"));
    EXPECT_EQ(controlOf<QLabel>(p, kFormatLabel)->text(), QStringLiteral("OutputFormat"));
    EXPECT_EQ(controlOf<QLabel>(p, 1197)->text(), QStringLiteral("BacklitTime"));
    EXPECT_EQ(controlOf<QLabel>(p, 1198)->text(), QStringLiteral("Backlit Brightness"));
}

// The format code of a routing reply selects its list position; a code the list does not hold selects
// "1080p60". Each case is read with the refresh button after the one before.
TEST_F(Matrix16x16Panel, TheReportedFormatCodeSelectsItsText) {
    auto& p = panel();
    struct Case {
        uint8_t code;
        const char* text;
    };
    const Case cases[] = {
        {23, "1080p59.94"}, {99, "1080p60"}, {30, "720p59.94"}, {0, "1080p60"}, {24, "525i59.94"}};
    for (const Case& c : cases) {
        setDeviceState(k16x16, [&](MatrixSwitcherDevice::State& s) { s.outputFormatCode = c.code; });
        click(p, kRefresh);
        EXPECT_EQ(formatList(p)->currentText(), QString::fromLatin1(c.text)) << int(c.code);
    }
}

TEST_F(Matrix16x16Panel, ChoosingAFormatSendsItsCodeAndARedrawKeepsIt) {
    auto& p = panel();
    const size_t before = frameCount(k16x16);
    chooseByKeys(formatList(p), 12);
    EXPECT_EQ(formatList(p)->currentText(), QStringLiteral("720p59.94"));
    const auto sent = framesSince(k16x16, before, 0x19);
    ASSERT_EQ(sent.size(), 12u) << "each arrow step is a choice";
    EXPECT_EQ(sent.back(), buildMatrixOutputFormat(0x01, kLinkLan, 30));
    ASSERT_EQ(sent.back().size(), 22u);
    EXPECT_EQ(sent.back()[17], 0x00);
    EXPECT_EQ(sent.back()[18], 30);
    EXPECT_EQ(device(k16x16).state().outputFormatCode, 30);
    // A routing command redraws the status row, which selects the stored format again.
    click(p, kInput1 + 1);
    click(p, kOneToAll);
    EXPECT_EQ(formatList(p)->currentText(), QStringLiteral("720p59.94"));
}

TEST_F(Matrix16x16Panel, TheModelFlagDecidesWhetherTheFormatListCanBeUsed) {
    {
        auto& p = panel(k16x16);
        EXPECT_TRUE(formatList(p)->isEnabled());
        EXPECT_TRUE(controlOf<QLabel>(p, kFormatLabel)->isEnabled());
    }
    auto& p = panel(k16x16NoModel);
    EXPECT_FALSE(formatList(p)->isEnabled());
    EXPECT_FALSE(controlOf<QLabel>(p, kFormatLabel)->isEnabled());
    EXPECT_TRUE(controlOf<QWidget>(p, kApply)->isEnabled()) << "only the format controls";
    click(p, kRefresh);  // the end of a read enables the sending controls, but not this one
    EXPECT_FALSE(formatList(p)->isEnabled());
}

TEST_F(Matrix16x16Panel, WithThePanelLockedAChosenFormatGoesBackAndNothingIsSent) {
    setDeviceState(k16x16, [](MatrixSwitcherDevice::State& s) {
        s.outputFormatCode = 11;  // 1080p50
        s.panelLocked = 1;
    });
    auto& p = panel();
    EXPECT_EQ(formatList(p)->currentText(), QStringLiteral("1080p50"));
    const size_t before = frameCount(k16x16);
    chooseByKeys(formatList(p), 5);
    EXPECT_EQ(formatList(p)->currentIndex(), 2);
    EXPECT_TRUE(framesSince(k16x16, before).empty());
}

TEST_F(Matrix16x16Panel, NumbersUseTheirOwnBitmapsAndStartNormal) {
    setDeviceState(k16x16, [](MatrixSwitcherDevice::State& s) { s.routes.fill(0); });
    auto& p = panel();
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(bitmapOf(p, kInput1 + n - 1), number(n)) << n;
        EXPECT_EQ(bitmapOf(p, kOutput1 + n - 1), number(n)) << n;
        EXPECT_EQ(bitmapOf(p, kStatus1 + n - 1), number(n)) << "input 0 leaves output " << n << " as it was";
        EXPECT_EQ(p.control(kInput1 + n - 1)->size(), QSize(62, 50));
    }
    click(p, kInput1 + 9);
    EXPECT_EQ(bitmapOf(p, kInput1 + 9), lit(10));
}

}  // namespace app_matrix_child_16x16_test
}  // namespace kvx
