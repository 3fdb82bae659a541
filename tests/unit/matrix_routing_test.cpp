#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "matrix/routing.h"

namespace kvx {
namespace matrix_routing_test {

// One operator action on a panel.
struct Step {
    enum Kind { Input, Output, Apply, ToAll, OneToOne } kind;
    int number = 0;
};
Step in(int n) {
    return {Step::Input, n};
}
Step out(int k) {
    return {Step::Output, k};
}
constexpr Step kApply{Step::Apply};
constexpr Step kToAll{Step::ToAll};
constexpr Step kOneToOne{Step::OneToOne};

RoutingUpdate run(MatrixRouting& routing, const Step& step) {
    switch (step.kind) {
        case Step::Input:
            return routing.selectInput(step.number);
        case Step::Output:
            return routing.toggleOutput(step.number);
        case Step::Apply:
            return routing.apply();
        case Step::ToAll:
            return routing.routeToAll();
        case Step::OneToOne:
            return routing.oneToOne();
    }
    return {};
}

std::bitset<kMaxMatrixPorts> outputs(std::initializer_list<int> numbers) {
    std::bitset<kMaxMatrixPorts> set;
    for (int k : numbers) set.set(static_cast<size_t>(k - 1));
    return set;
}

struct RoutingCase {
    const char* name;
    const MatrixKind* kind;
    std::vector<Step> steps;
    std::vector<std::string> texts;    // routing texts produced, in order
    std::vector<uint8_t> statusRoute;  // all ports
    uint8_t selectedInput;
    uint8_t modeHighlight;
    std::bitset<kMaxMatrixPorts> lit;  // the output row after the last step
};

class RoutingScenario : public ::testing::TestWithParam<RoutingCase> {};

TEST_P(RoutingScenario, SendsTheTextsAndEndsInTheState) {
    const RoutingCase& c = GetParam();
    MatrixRouting routing(*c.kind);
    std::vector<std::string> texts;
    std::bitset<kMaxMatrixPorts> shown;  // what the output row shows, as the panel would redraw it
    for (const Step& step : c.steps) {
        const RoutingUpdate update = run(routing, step);
        if (update.routingText) texts.push_back(*update.routingText);
        if (update.litOutputs) shown = *update.litOutputs;
    }
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(
        std::vector<uint8_t>(routing.StatusRoute.begin(), routing.StatusRoute.begin() + routing.ports()),
        c.statusRoute);
    EXPECT_EQ(routing.SelectedInput, c.selectedInput);
    EXPECT_EQ(routing.ModeHighlight, c.modeHighlight);
    EXPECT_EQ(shown, c.lit);
    EXPECT_EQ(routing.litOutputs(routing.SelectedInput), c.lit);
}

const std::vector<uint8_t> kNone8(8, 0);
const std::vector<uint8_t> kOneToOne8{1, 2, 3, 4, 5, 6, 7, 8};
const std::vector<uint8_t> kNone16(16, 0);

INSTANTIATE_TEST_SUITE_P(
    Panels, RoutingScenario,
    ::testing::Values(
        RoutingCase{"ApplyToMarkedOutputs",
                    &kMatrix8x8,
                    {in(3), out(1), out(2), out(5), kApply},
                    {"3V1,2,5."},
                    {3, 3, 0, 0, 3, 0, 0, 0},
                    3,
                    kModeApply,
                    outputs({1, 2, 5})},
        RoutingCase{"ApplyWithNothingMarkedStillHighlights",
                    &kMatrix8x8,
                    {in(3), kApply},
                    {},
                    kNone8,
                    3,
                    kModeApply,
                    {}},
        RoutingCase{"SecondPressUnmarks",
                    &kMatrix8x8,
                    {in(3), out(1), out(1), kApply},
                    {},
                    kNone8,
                    3,
                    kModeApply,
                    {}},
        RoutingCase{"MarksStayAfterApply",
                    &kMatrix8x8,
                    {in(2), out(4), kApply, out(6), kApply},
                    {"2V4.", "2V4,6."},
                    {0, 0, 0, 2, 0, 2, 0, 0},
                    2,
                    kModeApply,
                    outputs({4, 6})},
        RoutingCase{"OneToOneLeavesNoInput",
                    &kMatrix8x8,
                    {in(3), out(1), kApply, kOneToOne},
                    {"3V1.", "All#."},
                    kOneToOne8,
                    0,
                    kModeOneToOne,
                    {}},
        RoutingCase{
            "OneToOneNeedsNoInput", &kMatrix8x8, {kOneToOne}, {"All#."}, kOneToOne8, 0, kModeOneToOne, {}},
        RoutingCase{"InputEightToAll",
                    &kMatrix8x8,
                    {in(8), kToAll},
                    {"8All."},
                    std::vector<uint8_t>(8, 8),
                    8,
                    kModeOneToAll,
                    outputs({1, 2, 3, 4, 5, 6, 7, 8})},
        RoutingCase{"SameInputAgainKeepsMarks",
                    &kMatrix8x8,
                    {in(3), out(2), in(3), kApply},
                    {"3V2."},
                    {0, 3, 0, 0, 0, 0, 0, 0},
                    3,
                    kModeApply,
                    outputs({2})},
        RoutingCase{"NewInputClearsMarksAndModes",
                    &kMatrix8x8,
                    {in(3), out(2), kApply, out(7), in(4)},
                    {"3V2."},
                    {0, 3, 0, 0, 0, 0, 0, 0},
                    4,
                    kModeNone,
                    {}},
        RoutingCase{"BackToAnInputLightsWhatWasApplied",
                    &kMatrix8x8,
                    {in(3), out(2), kApply, in(4), in(3)},
                    {"3V2."},
                    {0, 3, 0, 0, 0, 0, 0, 0},
                    3,
                    kModeNone,
                    outputs({2})},
        RoutingCase{
            "NothingWithoutAnInput", &kMatrix8x8, {out(1), kApply, kToAll}, {}, kNone8, 0, kModeNone, {}},
        RoutingCase{"NumbersOutsideThePanelAreIgnored",
                    &kMatrix8x8,
                    {in(9), in(0), in(2), out(9), out(0), kApply},
                    {},
                    kNone8,
                    2,
                    kModeApply,
                    {}},
        RoutingCase{"TwoDigitOutputs",
                    &kMatrix16x16,
                    {in(4), out(2), out(11), out(16), kApply},
                    {"4V2,11,16."},
                    {0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 4},
                    4,
                    kModeApply,
                    outputs({2, 11, 16})},
        RoutingCase{"TwoDigitInput",
                    &kMatrix16x16,
                    {in(12), out(9), out(10), kApply},
                    {"12V9,10."},
                    {0, 0, 0, 0, 0, 0, 0, 0, 12, 12, 0, 0, 0, 0, 0, 0},
                    12,
                    kModeApply,
                    outputs({9, 10})},
        RoutingCase{"SixteenApplyNeedsAMarkedOrRoutedInput",
                    &kMatrix16x16,
                    {in(5), kApply},
                    {},
                    kNone16,
                    5,
                    kModeNone,
                    {}},
        RoutingCase{"SixteenApplyOfARoutedInputHighlightsOnly",
                    &kMatrix16x16,
                    {in(5), out(1), kApply, in(6), in(5), kApply},
                    {"5V1."},
                    {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                    5,
                    kModeApply,
                    outputs({1})},
        RoutingCase{"SixteenToAll",
                    &kMatrix16x16,
                    {in(16), kToAll},
                    {"16All."},
                    std::vector<uint8_t>(16, 16),
                    16,
                    kModeOneToAll,
                    outputs({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})},
        RoutingCase{"SixteenOneToOne",
                    &kMatrix16x16,
                    {in(7), kOneToOne},
                    {"All#."},
                    {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
                    0,
                    kModeOneToOne,
                    {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MatrixRouting, SelectingAnInputSwapsTheInputButtonsAndDropsTheModeHighlight) {
    MatrixRouting routing(kMatrix8x8);
    EXPECT_EQ(routing.selectInput(3).input, (ButtonSwap{0, 3}));
    routing.toggleOutput(1);
    EXPECT_EQ(routing.apply().mode, (ButtonSwap{kModeNone, kModeApply}));

    const RoutingUpdate update = routing.selectInput(5);
    EXPECT_EQ(update.input, (ButtonSwap{3, 5}));
    EXPECT_EQ(update.mode, (ButtonSwap{kModeApply, kModeNone}));
    EXPECT_EQ(routing.PendingRoute, (std::array<uint8_t, kMaxMatrixPorts>{}));
}

TEST(MatrixRouting, RepeatedActionsChangeNothing) {
    MatrixRouting routing(kMatrix8x8);
    routing.selectInput(3);
    routing.toggleOutput(2);
    EXPECT_TRUE(routing.selectInput(3).empty());
    routing.apply();
    EXPECT_FALSE(routing.highlightMode(kModeApply).has_value());
    // A second apply sends again but the highlight stays as it is.
    const RoutingUpdate again = routing.apply();
    EXPECT_FALSE(again.mode.has_value());
    EXPECT_EQ(again.routingText, "3V2.");
}

TEST(MatrixRouting, OutputsLightForAppliedOrPendingRoutes) {
    MatrixRouting routing(kMatrix8x8);
    routing.AppliedRoute = {2, 0, 5, 2};
    routing.PendingRoute = {0, 2, 0, 0, 0, 0, 0, 2};
    EXPECT_EQ(routing.litOutputs(2), outputs({1, 2, 4, 8}));
    EXPECT_EQ(routing.litOutputs(5), outputs({3}));
    EXPECT_EQ(routing.litOutputs(7), outputs({}));
    EXPECT_EQ(routing.litOutputs(0), outputs({}));
}

TEST(MatrixRouting, OneToOneTurnsTheSelectedInputButtonOff) {
    MatrixRouting routing(kMatrix8x8);
    routing.selectInput(6);
    EXPECT_EQ(routing.oneToOne().input, (ButtonSwap{6, 0}));
    EXPECT_EQ(routing.AppliedRoute[7], 8);
}

TEST(MatrixRouting, StatusRowShowsOnlyInputsOfThePanel) {
    MatrixRouting routing(kMatrix8x8);
    routing.StatusRoute = {8, 0, 9, 1};
    EXPECT_EQ(routing.statusInput(1), 8);
    EXPECT_EQ(routing.statusInput(2), std::nullopt);
    EXPECT_EQ(routing.statusInput(3), std::nullopt);
    EXPECT_EQ(routing.statusInput(4), 1);
    EXPECT_EQ(routing.statusInput(9), std::nullopt);
}

TEST(MatrixRouting, RoutingReplyFillsTheStatusRowAndTheSixteenFormat) {
    MatrixRoutingReply reply;
    for (size_t i = 0; i < reply.routes.size(); ++i) reply.routes[i] = static_cast<uint8_t>(16 - i);
    reply.outputFormatPosition = 12;

    MatrixRouting eight(kMatrix8x8);
    eight.useRoutingReply(reply);
    EXPECT_EQ(eight.StatusRoute[0], 16);
    EXPECT_EQ(eight.StatusRoute[7], 9);
    EXPECT_EQ(eight.StatusRoute[8], 0);
    EXPECT_EQ(eight.MatrixOutputFormat, 0);
    EXPECT_EQ(eight.AppliedRoute, (std::array<uint8_t, kMaxMatrixPorts>{}));

    MatrixRouting sixteen(kMatrix16x16);
    sixteen.useRoutingReply(reply);
    EXPECT_EQ(sixteen.StatusRoute[15], 1);
    EXPECT_EQ(sixteen.MatrixOutputFormat, 12);
}

TEST(MatrixRouting, BacklightReplySetsTimeAndBrightness) {
    MatrixRouting routing(kMatrix16x16);
    routing.useBacklightReply({3, 75});
    EXPECT_EQ(routing.BacklightTime, 3);
    EXPECT_EQ(routing.BacklightBrightness, 75);
}

}  // namespace matrix_routing_test
}  // namespace kvx
