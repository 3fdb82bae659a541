// The layout mode page: what each LayoutMode shows, the layout buttons and input lists with their lock
// rules, and the device's reports while the page is shown.
#include <set>

#include "multiviewer/layout_catalogue.h"
#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/ui/layout_mode_page.h"
#include "ui/multiviewer_window_fixture.h"

namespace kvx {
namespace app_multiviewer_layout_page_test {

using Frames = std::vector<Bytes>;
constexpr int kPicture = CClass_16_view_mode::kPictureListId;

class LayoutPageTest : public MultiviewerWindowTest {
protected:
    CClass_16_view_mode& openWith(uint8_t layout, const std::function<void(MultiviewerState&)>& more = {}) {
        open([&](MultiviewerState& m) {
            m.LayoutMode = layout;
            m.SwitcherMode = 0;
            if (more) more(m);
        });
        return *page<CClass_16_view_mode>();
    }
    std::set<int> shownLayoutButtons() const {
        std::set<int> shown;
        for (const LayoutEntry& entry : layoutCatalogue()) {
            if (!control(entry.button)->isHidden()) shown.insert(entry.button);
        }
        return shown;
    }
    // Buttons that show their highlighted image.
    std::set<int> highlightedButtons() const {
        std::set<int> lit;
        for (const LayoutEntry& entry : layoutCatalogue()) {
            if (bitmapOf(entry.button) == entry.highlightedImage) {
                lit.insert(entry.button);
            } else {
                EXPECT_EQ(bitmapOf(entry.button), entry.normalImage) << entry.button;
            }
        }
        return lit;
    }
    int enabledInputLists() const {
        int enabled = 0;
        for (int n = 1; n <= kWindowCount; ++n) {
            const bool on = list(control::layoutSourceList(n))->isEnabled();
            if (on) {
                EXPECT_EQ(n, enabled + 1) << "the enabled lists are those of the first windows";
            }
            enabled += on;
        }
        return enabled;
    }
};

std::set<int> singleWindowButtons() {
    std::set<int> buttons;
    for (int code = 1; code <= 16; ++code) buttons.insert(1082 + code);
    return buttons;
}

struct RefreshCase {
    const char* name;
    uint8_t layout;
    int picture;          // position of the PICTURE list
    std::set<int> shown;  // layout buttons shown
    std::set<int> lit;    // buttons highlighted
    int enabledLists;
};

class LayoutRefreshTest : public LayoutPageTest, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(LayoutRefreshTest, PictureListButtonsAndInputListsFollowTheLayout) {
    const RefreshCase& c = GetParam();
    openWith(c.layout);
    EXPECT_EQ(list(kPicture)->currentIndex(), c.picture);
    EXPECT_EQ(shownLayoutButtons(), c.shown);
    EXPECT_EQ(highlightedButtons(), c.lit);
    EXPECT_EQ(enabledInputLists(), c.enabledLists);
    EXPECT_EQ(page<CClass_16_view_mode>()->highlightedLayout(), c.layout);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutRefreshTest,
    ::testing::Values(RefreshCase{"NoReadBackYet", 0, 0, singleWindowButtons(), {}, 0},
                      RefreshCase{"SingleWindow7", 7, 0, singleWindowButtons(), {1089}, 0},
                      RefreshCase{"FourWindows", 40, 1, {1082, 1099, 1100}, {1082}, 4},
                      RefreshCase{"SixWithGaps", 61, 2, {1101, 1117}, {1117}, 6},
                      RefreshCase{"EightCentreBars", 83, 3, {1102, 1103, 1104, 1114}, {1114}, 8},
                      RefreshCase{"Eleven110", 110, 6, {1111}, {1111}, 11},
                      RefreshCase{"Eleven111", 111, 6, {1111}, {1111}, 11},
                      RefreshCase{"Twelve120", 120, 7, {1112}, {1112}, 12},
                      RefreshCase{"Twelve121", 121, 7, {1112}, {1112}, 12},
                      RefreshCase{"SixteenUnknownVariant", 162, 8, {1113, 1116}, {}, 16},
                      // Tens digits that no group has: the PICTURE list keeps its entry, no button shows.
                      RefreshCase{"FiveWindowsUnknown", 50, 0, {}, {}, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayoutPageTest, AClickOnALayoutHighlightsItAndSendsItsCode) {
    openWith(110);
    const size_t before = frameCount();
    click(1111);  // the 11-window layout is sent as 111
    const Frames sent = framesSince(before, mv::kSetLayout);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(payloadOf(sent[0]), (Bytes{111}));
    EXPECT_EQ(model().LayoutMode, 111);

    choose(kPicture, 1);
    click(1099);  // layout 41
    EXPECT_EQ(highlightedButtons(), (std::set<int>{1099}));
    EXPECT_EQ(model().LayoutMode, 41);
    EXPECT_EQ(model().WindowGeometry[0], (GeometryRecord{0, 0, 360, 240, 1}));  // recomputed after sending
    ASSERT_EQ(framesSince(before, mv::kSetLayout).size(), 2u);
    // The click leaves the lists as the PICTURE list set them; they follow the layout at the next refresh.
    EXPECT_EQ(enabledInputLists(), 4);
}

TEST_F(LayoutPageTest, TheHighlightedLayoutSendsNothingAlsoRightAfterCreation) {
    openWith(40);
    const size_t before = frameCount();
    click(1082);
    EXPECT_TRUE(framesSince(before).empty());
}

TEST_F(LayoutPageTest, ThePictureListShowsAGroupAndEnablesItsListsWithoutSending) {
    openWith(40);
    const size_t before = frameCount();
    choose(kPicture, 8);  // "WIN 16"
    EXPECT_EQ(shownLayoutButtons(), (std::set<int>{1113, 1116}));
    EXPECT_EQ(enabledInputLists(), 16);
    EXPECT_TRUE(framesSince(before).empty());
    EXPECT_EQ(model().LayoutMode, 40);

    choose(control::layoutSourceList(9), 4);  // window 9 shows SDI_05
    const Frames sent = framesSince(before, mv::kSetSource);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(payloadOf(sent[0]), (Bytes{5, 9}));
    EXPECT_EQ(model().WindowSource[8], 5);
}

TEST_F(LayoutPageTest, AnInputListSendsOnlyAChangeFromWhatThePageKnows) {
    openWith(160, [](MultiviewerState& m) {
        for (int w = 0; w < 16; ++w) m.WindowSource[static_cast<size_t>(w)] = static_cast<uint8_t>(w + 1);
        m.WindowSource[5] = 0;  // never read: the list shows nothing
    });
    EXPECT_EQ(list(control::layoutSourceList(6))->currentIndex(), -1);
    EXPECT_EQ(list(control::layoutSourceList(3))->currentIndex(), 2);

    // The device reports window 3 on input 7; the page still knows input 3 for it.
    device.changeSource(3, 7);
    waitFor([this] { return model().WindowSource[2] == 7; });
    EXPECT_EQ(list(control::layoutSourceList(3))->currentIndex(), 6);
    EXPECT_EQ(page<CClass_16_view_mode>()->shownSources()[2], 3);
    const size_t before = frameCount();
    choose(control::layoutSourceList(3), 2);  // SDI_03 again: what the page knows, nothing is sent
    EXPECT_TRUE(framesSince(before).empty());
    choose(control::layoutSourceList(3), 10);
    const Frames sent = framesSince(before, mv::kSetSource);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(payloadOf(sent[0]), (Bytes{11, 3}));
}

TEST_F(LayoutPageTest, LockedTheButtonsDoNothingAndTheListsReturn) {
    openWith(40, [](MultiviewerState& m) { m.WindowSource[1] = 2; });
    QTest::mouseClick(window->lockButton(), Qt::LeftButton);
    settle();
    const size_t before = frameCount();
    click(1099);
    choose(control::layoutSourceList(2), 9);
    EXPECT_TRUE(framesSince(before).empty());
    EXPECT_EQ(highlightedButtons(), (std::set<int>{1082}));
    EXPECT_EQ(list(control::layoutSourceList(2))->currentIndex(), 1);
    EXPECT_EQ(model().LayoutMode, 40);
    EXPECT_EQ(model().WindowSource[1], 2);
    choose(kPicture, 4);  // the PICTURE list still shows another group
    EXPECT_EQ(shownLayoutButtons(), (std::set<int>{1105, 1106, 1107, 1108}));
}

TEST_F(LayoutPageTest, ADeviceLayoutChangeRefreshesThePageAndShowsWindowOnesInput) {
    openWith(160);
    device.changeLayout(4);
    waitFor([this] { return model().LayoutMode == 4; });
    EXPECT_EQ(list(kPicture)->currentIndex(), 0);
    EXPECT_EQ(highlightedButtons(), (std::set<int>{1086}));
    EXPECT_EQ(list(control::layoutSourceList(1))->currentIndex(), 3);
    EXPECT_EQ(enabledInputLists(), 0);
    EXPECT_EQ(model().WindowGeometry[0], (GeometryRecord{0, 0, 720, 480, 4}));

    device.changeLayout(92);
    waitFor([this] { return model().LayoutMode == 92; });
    EXPECT_EQ(shownLayoutButtons(), (std::set<int>{1105, 1106, 1107, 1108}));
    EXPECT_EQ(highlightedButtons(), (std::set<int>{1107}));
    EXPECT_EQ(enabledInputLists(), 9);
}

}  // namespace app_multiviewer_layout_page_test
}  // namespace kvx
