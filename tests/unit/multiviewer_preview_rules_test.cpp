#include <gtest/gtest.h>

#include <set>

#include "multiviewer/geometry.h"
#include "multiviewer/layout_catalogue.h"
#include "multiviewer/preview_rules.h"

namespace kvx::preview {
namespace multiviewer_preview_rules_test {

Rect drawn(uint8_t layout, int k) {
    return drawnRect(layout, k, layoutGeometry(layout)[static_cast<size_t>(k - 1)]);
}

// The element rules are given per drawn window size; the drawn rectangles must come out at those sizes.
struct DrawnSizeCase {
    uint8_t layout;
    int firstWindow;
    int lastWindow;
    int width;
    int height;
};

class DrawnSizes : public ::testing::TestWithParam<DrawnSizeCase> {};

TEST_P(DrawnSizes, MatchTheSizesTheElementRulesAreMadeFor) {
    const DrawnSizeCase& c = GetParam();
    for (int k = c.firstWindow; k <= c.lastWindow; ++k) {
        const Rect r = drawn(c.layout, k);
        EXPECT_EQ(r.width, c.width) << "layout " << int(c.layout) << " window " << k;
        EXPECT_EQ(r.height, c.height) << "layout " << int(c.layout) << " window " << k;
        EXPECT_TRUE(elementRule(c.layout, k).has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryLayout, DrawnSizes,
    ::testing::Values(DrawnSizeCase{1, 1, 1, 720, 480}, DrawnSizeCase{16, 1, 1, 720, 480},
                      DrawnSizeCase{40, 1, 4, 360, 240}, DrawnSizeCase{41, 1, 4, 304, 190},
                      DrawnSizeCase{42, 1, 4, 280, 140}, DrawnSizeCase{60, 1, 1, 480, 320},
                      DrawnSizeCase{60, 2, 6, 240, 160}, DrawnSizeCase{61, 1, 1, 428, 270},
                      DrawnSizeCase{61, 2, 6, 188, 110}, DrawnSizeCase{80, 1, 8, 180, 120},
                      DrawnSizeCase{81, 1, 8, 132, 70}, DrawnSizeCase{82, 1, 8, 188, 110},
                      DrawnSizeCase{83, 1, 8, 188, 110}, DrawnSizeCase{90, 1, 9, 240, 160},
                      DrawnSizeCase{91, 1, 9, 188, 110}, DrawnSizeCase{92, 1, 1, 308, 190},
                      DrawnSizeCase{92, 2, 9, 128, 70}, DrawnSizeCase{93, 1, 1, 308, 190},
                      DrawnSizeCase{93, 2, 9, 128, 70}, DrawnSizeCase{100, 1, 2, 360, 240},
                      DrawnSizeCase{100, 3, 10, 180, 120}, DrawnSizeCase{101, 1, 2, 308, 190},
                      DrawnSizeCase{101, 3, 10, 128, 70}, DrawnSizeCase{102, 1, 2, 308, 190},
                      DrawnSizeCase{102, 3, 10, 128, 70}, DrawnSizeCase{111, 1, 1, 316, 190},
                      DrawnSizeCase{111, 2, 11, 136, 70}, DrawnSizeCase{121, 1, 12, 136, 70},
                      DrawnSizeCase{160, 1, 16, 180, 120}, DrawnSizeCase{161, 1, 16, 136, 70}));

TEST(DrawnRect, GapsMoveTheRectangle) {
    EXPECT_EQ(drawn(41, 4), (Rect{400, 265, 304, 190}));
    EXPECT_EQ(drawn(42, 1), (Rect{40, 25, 280, 140}));
    EXPECT_EQ(drawn(42, 3), (Rect{40, 315, 280, 140}));  // records 3 and 4 move 75 down
    EXPECT_EQ(drawn(111, 8), (Rect{572, 25, 136, 70}));
    EXPECT_EQ(drawn(40, 4), (Rect{360, 240, 360, 240}));
}

TEST(ElementRule, NoneOutsideTheCatalogueOrItsWindows) {
    EXPECT_FALSE(elementRule(0, 1));
    EXPECT_FALSE(elementRule(110, 1));
    EXPECT_FALSE(elementRule(120, 1));
    EXPECT_FALSE(elementRule(5, 2));
    EXPECT_FALSE(elementRule(40, 5));
    EXPECT_FALSE(elementRule(121, 13));
    EXPECT_FALSE(elementRule(160, 0));
}

struct LabelCase {
    const char* name;
    uint8_t layout;
    int window;
    std::u16string label;
    std::u16string drawnText;
    Point at;
};

class LabelPlacementRules : public ::testing::TestWithParam<LabelCase> {};

TEST_P(LabelPlacementRules, ShortWholeOrLongForm) {
    const LabelCase& c = GetParam();
    const auto rule = elementRule(c.layout, c.window);
    ASSERT_TRUE(rule);
    const LabelPlacement placement = placeLabel(*rule, drawn(c.layout, c.window), c.label);
    EXPECT_EQ(placement.text, c.drawnText);
    EXPECT_EQ(placement.at, c.at);
}

const std::u16string k20 = u"ABCDEFGHIJKLMNOPQRST";
const std::u16string k21 = k20 + u"U";
const std::u16string k11 = u"ABCDEFGHIJK";

INSTANTIATE_TEST_SUITE_P(
    Examples, LabelPlacementRules,
    ::testing::Values(LabelCase{"Single20Whole", 1, 1, k20, k20, {220, 420}},
                      LabelCase{"Single21Cut", 1, 1, k21, u"ABCDEFG...", {312, 420}},
                      LabelCase{"Layout42Cut20", 42, 1, k21, k20 + u"...", {132, 167}},
                      LabelCase{"Layout60Window1Whole", 60, 1, k11, k11, {240 - 55, 280}},
                      LabelCase{"Layout60Window1Short", 60, 1, u"CAM", u"CAM", {240 - 12, 280}},
                      LabelCase{"Layout60Window2Cut", 60, 2, k11, u"ABCDEFGHIJ...", {600 - 64, 140}},
                      LabelCase{"Layout61Window1Fixed", 61, 1, u"CAM", u"CAM", {254 - 107, 25 + 272}},
                      LabelCase{"Layout100Small", 100, 3, u"ABCDEFGHI", u"ABCDEFGH...", {90 - 56, 240 + 105}},
                      LabelCase{
                          "Layout92Window1Whole", 92, 1, u"ABCDEFGHI", u"ABCDEFGHI", {374 - 72, 145 + 192}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ElementRule, MeterAndFormatTextPositions) {
    const auto single = elementRule(1, 1);
    ASSERT_TRUE(single);
    EXPECT_EQ(meterRect(*single, drawn(1, 1)), (Rect{20, 120, 45, 336}));
    EXPECT_EQ(formatTextPosition(*single, drawn(1, 1)), (Point{650, 10}));

    const auto gapped = elementRule(81, 5);
    ASSERT_TRUE(gapped);
    const Rect r = drawn(81, 5);  // (40, 265, 132, 70)
    EXPECT_EQ(meterRect(*gapped, r), (Rect{5, 282, 20, 56}));
    EXPECT_EQ(formatTextPosition(*gapped, r), (Point{102, 245}));
    EXPECT_EQ(numberPosition(r), (Point{101, 295}));
}

TEST(ElementWindow, SingleWindowLayoutsUseTheWindowOfTheirCode) {
    EXPECT_EQ(elementWindow(5, 1), 5);
    EXPECT_EQ(elementWindow(16, 1), 16);
    EXPECT_EQ(elementWindow(40, 3), 3);
    EXPECT_EQ(elementWindow(160, 16), 16);
}

TEST(LayoutDecor, ClockFacesAndBars) {
    const LayoutDecor d42 = layoutDecor(42);
    ASSERT_TRUE(d42.clock);
    EXPECT_EQ(d42.clock->centre(), (Point{360, 240}));
    EXPECT_EQ(d42.clock->hourHand, (Point{360, 195}));
    EXPECT_EQ(d42.clock->minuteHand, (Point{405, 240}));
    EXPECT_TRUE(d42.bars.empty());

    const LayoutDecor d111 = layoutDecor(111);
    EXPECT_FALSE(d111.clock);
    ASSERT_EQ(d111.bars.size(), 4u);
    EXPECT_EQ(d111.bars[3], (Rect{405, 420, 120, 30}));

    for (uint8_t code : {92, 93, 121}) {
        const LayoutDecor d = layoutDecor(code);
        ASSERT_TRUE(d.clock) << int(code);
        // Both hands are 45 units long, one straight up, one to the right.
        EXPECT_EQ(d.clock->hourHand, (Point{d.clock->centre().x, d.clock->centre().y - 45}));
        EXPECT_EQ(d.clock->minuteHand, (Point{d.clock->centre().x + 45, d.clock->centre().y}));
        EXPECT_EQ(d.bars.size(), 2u);
    }
    EXPECT_EQ(layoutDecor(82).bars[1], (Rect{280, 96, 180, 30}));
    EXPECT_EQ(layoutDecor(83).bars[0], (Rect{280, 200, 180, 30}));
    for (uint8_t code : {0, 1, 40, 41, 60, 90, 160, 161}) {
        EXPECT_FALSE(layoutDecor(code).clock) << int(code);
        EXPECT_TRUE(layoutDecor(code).bars.empty()) << int(code);
    }
}

TEST(LayoutCatalogue, ThirtySixLayoutsWithTheirButtonsAndGroups) {
    std::set<int> codes;
    std::set<int> buttons;
    for (const LayoutEntry& entry : layoutCatalogue()) {
        codes.insert(entry.code);
        buttons.insert(entry.button);
        EXPECT_EQ(kLayoutGroups[static_cast<size_t>(entry.group)].windows, entry.windows) << int(entry.code);
        EXPECT_EQ(entry.highlightedImage, entry.normalImage + 1);
    }
    EXPECT_EQ(codes.size(), 36u);
    EXPECT_EQ(buttons.size(), 36u);
    EXPECT_EQ(findLayout(1)->button, 1083);
    EXPECT_EQ(findLayout(16)->normalImage, 245);
    EXPECT_EQ(findLayout(90)->normalImage, 263);
    EXPECT_EQ(findLayout(91)->normalImage, 261);
    EXPECT_EQ(findLayout(61)->button, 1117);
    EXPECT_EQ(findLayout(102)->button, 1115);
    EXPECT_EQ(findLayout(161)->highlightedImage, 392);
    EXPECT_EQ(findLayout(110), nullptr);
    EXPECT_EQ(layoutWindowCount(121), 12);
    EXPECT_EQ(layoutWindowCount(120), 0);
    EXPECT_EQ(layoutWindowCount(0), 0);
}

}  // namespace multiviewer_preview_rules_test
}  // namespace kvx::preview
