// Changes made on the simulated multiviewer's own front panel, and the reports that tell the PC of them.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "multiviewer/report_handler.h"
#include "multiviewer/status_decode.h"
#include "multiviewer/status_encode.h"
#include "simulator/multiviewer_device.h"

namespace kvx {
namespace simulator_multiviewer_front_panel_test {

constexpr DeviceId kId{0x4B, 0x56, 0x01, 0xA1};

struct Panel {
    Panel() {
        device.setReportSink([this](const Bytes& frame) { reports.push_back(frame); });
    }
    MultiviewerDevice device{{kTypeMultiviewer, 0x01, "KVX_MV16", kId}};
    std::vector<Bytes> reports;
};

// The PC's model after a read-back of the device.
MultiviewerState readBack(const MultiviewerDevice& device, uint8_t page) {
    MultiviewerState model;
    model.StatusBlock = encodeStatusBlock(device.state().model);
    decodeStatusBlock(model);
    model.CurrentPage = page;
    return model;
}

void expectReportFrame(const Bytes& report, uint8_t code, const Bytes& data) {
    ASSERT_EQ(report.size(), frame::kDataOffset + data.size() + 3);
    EXPECT_EQ(report[0], 0xA5);
    EXPECT_EQ(report[1], 0x6C);
    EXPECT_EQ(report[2] | (report[3] << 8), static_cast<int>(report.size()));
    EXPECT_EQ(report[4], kTypeMultiviewer);
    EXPECT_TRUE(isFromDevice(report, kId));
    EXPECT_EQ(report[16], code);
    EXPECT_EQ(Bytes(report.begin() + frame::kDataOffset, report.end() - 3), data);
    EXPECT_EQ(report[report.size() - 3] | (report[report.size() - 2] << 8),
              checksum(std::span(report).first(report.size() - 3)));
    EXPECT_EQ(report.back(), 0xAE);
}

struct ActionCase {
    const char* name;
    bool switcherMode;
    uint8_t page;  // the page the PC shows when the report arrives
    std::function<bool(MultiviewerDevice&)> action;
    uint8_t code;
    Bytes data;
};
void PrintTo(const ActionCase& c, std::ostream* os) {
    *os << c.name;
}

class FrontPanel : public ::testing::TestWithParam<ActionCase> {};

// The report brings the PC's model to the device's new state.
TEST_P(FrontPanel, ChangesTheStateAndReportsIt) {
    const ActionCase& c = GetParam();
    Panel panel;
    MultiviewerState start = panel.device.state().model;
    start.SwitcherMode = c.switcherMode;
    panel.device.setModel(start);
    MultiviewerState pc = readBack(panel.device, c.page);

    ASSERT_TRUE(c.action(panel.device));
    ASSERT_EQ(panel.reports.size(), 1u);
    expectReportFrame(panel.reports[0], c.code, c.data);
    EXPECT_NE(encodeStatusBlock(panel.device.state().model), encodeStatusBlock(pc))
        << "the action changed nothing";

    NoPageUpdates pages;
    EXPECT_EQ(applyReport(panel.reports[0], kId, pc, pages).kind, ReportKind::Applied);
    EXPECT_EQ(encodeStatusBlock(pc), encodeStatusBlock(panel.device.state().model));
}

INSTANTIATE_TEST_SUITE_P(
    Actions, FrontPanel,
    ::testing::Values(
        ActionCase{"Layout", false, kPageLayout, [](auto& d) { return d.changeLayout(90); }, 0x33, {90}},
        ActionCase{
            "LayoutOnTheMatrixPage", true, kPageMatrix, [](auto& d) { return d.changeLayout(4); }, 0x33, {4}},
        ActionCase{"SourceOfAWindow",
                   false,
                   kPageLayout,
                   [](auto& d) { return d.changeSource(3, 5); },
                   0x34,
                   {5, 3}},
        ActionCase{"SourceOfAnOutput",
                   true,
                   kPageMatrix,
                   [](auto& d) { return d.changeSource(16, 1); },
                   0x34,
                   {1, 16}},
        ActionCase{"UmdOff", false, kPageUmd, [](auto& d) { return d.switchUmd(7, 0); }, 0x36, {7, 0}},
        ActionCase{"AllUmdOff", false, kPageUmd, [](auto& d) { return d.switchUmd(0, 0); }, 0x5C, {0}},
        ActionCase{"UmdTextColour",
                   false,
                   kPageColour,
                   [](auto& d) { return d.changeColour(0x3B, 16, 2); },
                   0x3B,
                   {16, 2}},
        ActionCase{"FormatBackColour",
                   false,
                   kPageColour,
                   [](auto& d) { return d.changeColour(0x3E, 1, 31); },
                   0x3E,
                   {1, 31}},
        ActionCase{"TimecodeTextColour",
                   false,
                   kPageColour,
                   [](auto& d) { return d.changeColour(0x54, 9, 4); },
                   0x54,
                   {9, 4}},
        // Changes of the audio page's settings and the border, made as the requests that make them.
        ActionCase{"AudioMeterOfAWindow",
                   false,
                   kPageAudio,
                   [](auto& d) {
                       return d.frontPanelChange(0x37, Bytes{5, 0});
                   },
                   0x37,
                   {5, 0}},
        ActionCase{"ChannelPairOfAWindow",
                   false,
                   kPageAudio,
                   [](auto& d) {
                       return d.frontPanelChange(0x52, Bytes{10, 3});
                   },
                   0x52,
                   {10, 3}},
        ActionCase{"AudioSource",
                   false,
                   kPageAudio,
                   [](auto& d) { return d.frontPanelChange(0x39, Bytes{16}); },
                   0x39,
                   {16}},
        ActionCase{"AllAudioMetersOff",
                   false,
                   kPageAudio,
                   [](auto& d) { return d.frontPanelChange(0x5B, Bytes{0}); },
                   0x5B,
                   {0}},
        ActionCase{"BorderOff",
                   false,
                   kPageColour,
                   [](auto& d) { return d.frontPanelChange(0x3F, Bytes{0}); },
                   0x3F,
                   {0}},
        // Window 1 (counted from 0) with the code 16: "625i50".
        ActionCase{"SignalOfTheFirstWindow",
                   false,
                   kPageLayout,
                   [](auto& d) { return d.setSignal(0, 1, 16); },
                   0x51,
                   {0, 1, 16}},
        ActionCase{"SignalFoundAtTheLastWindow",
                   false,
                   kPageLayout,
                   [](auto& d) { return d.setSignal(15, 1, 29); },
                   0x51,
                   {15, 1, 29}},
        // Any request's change, given by its code and payload.
        ActionCase{"FormatStatusOff",
                   false,
                   kPageSettings,
                   [](auto& d) { return d.frontPanelChange(0x5D, Bytes{0}); },
                   0x5D,
                   {0}},
        ActionCase{"OutputFormat",
                   false,
                   kPageSettings,
                   [](auto& d) {
                       return d.frontPanelChange(0x19, Bytes{0, 14});
                   },
                   0x19,
                   {0, 14}},
        ActionCase{"AudioAlarmOn",
                   false,
                   kPageSettings,
                   [](auto& d) { return d.frontPanelChange(0x56, Bytes{1}); },
                   0x56,
                   {1}},
        ActionCase{"UmdOffByCode",
                   false,
                   kPageUmd,
                   [](auto& d) {
                       return d.frontPanelChange(0x36, Bytes{5, 0});
                   },
                   0x36,
                   {5, 0}},
        ActionCase{"SignalByCode",
                   false,
                   kPageLayout,
                   [](auto& d) {
                       return d.frontPanelChange(0x51, Bytes{2, 1, 16});
                   },
                   0x51,
                   {2, 1, 16}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrontPanelSignal, ShowsItsFormatTextAtThePc) {
    Panel panel;
    MultiviewerState pc = readBack(panel.device, kPageLayout);
    ASSERT_TRUE(panel.device.setSignal(0, 1, 16));
    ASSERT_TRUE(panel.device.setSignal(1, 0, 16));
    NoPageUpdates pages;
    for (const Bytes& report : panel.reports) applyReport(report, kId, pc, pages);
    EXPECT_EQ(pc.WindowFormatText[0], u"625i50");
    EXPECT_EQ(pc.WindowFormatText[1], u"No Signal");
}

// Index 0 changes every input on the device; the PC's report handling sets the first only and learns the
// rest at its next read-back.
TEST(FrontPanelColour, IndexZeroChangesEveryInput) {
    Panel panel;
    ASSERT_TRUE(panel.device.changeColour(0x3C, 0, 9));
    const auto colours = panel.device.state().model.UmdBackColor;
    for (uint8_t c : colours) EXPECT_EQ(c, 9);
    ASSERT_EQ(panel.reports.size(), 1u);
    expectReportFrame(panel.reports[0], 0x3C, {0, 9});
}

TEST(FrontPanelDefaults, RestoresTheFactorySettingsAndAsksForARead) {
    Panel panel;
    ASSERT_TRUE(panel.device.changeLayout(4));
    ASSERT_TRUE(panel.device.setSignal(3, 1, 27));
    panel.reports.clear();

    panel.device.loadDefaults();
    ASSERT_EQ(panel.reports.size(), 1u);
    expectReportFrame(panel.reports[0], 0x0B, {});
    MultiviewerState pc;
    NoPageUpdates pages;
    EXPECT_EQ(applyReport(panel.reports[0], kId, pc, pages).kind, ReportKind::WholeState);

    const MultiviewerState state = panel.device.state().model;
    EXPECT_EQ(state.LayoutMode, factorySettings().LayoutMode);
    EXPECT_EQ(state.WindowSignal[3], (WindowSignal{1, 27})) << "signals are no setting";
    EXPECT_EQ(state.DeviceName, u"KVX_MV16");
}

struct RefusedAction {
    const char* name;
    std::function<bool(MultiviewerDevice&)> action;
};
void PrintTo(const RefusedAction& c, std::ostream* os) {
    *os << c.name;
}

class FrontPanelRefuses : public ::testing::TestWithParam<RefusedAction> {};

TEST_P(FrontPanelRefuses, AValueOutOfRange) {
    Panel panel;
    const StatusBlock before = encodeStatusBlock(panel.device.state().model);
    EXPECT_FALSE(GetParam().action(panel.device));
    EXPECT_TRUE(panel.reports.empty());
    EXPECT_EQ(encodeStatusBlock(panel.device.state().model), before);
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, FrontPanelRefuses,
    ::testing::Values(
        RefusedAction{"LayoutZero", [](auto& d) { return d.changeLayout(0); }},
        RefusedAction{"ReadStatusIsNoChange", [](auto& d) { return d.frontPanelChange(0x0A, Bytes{}); }},
        RefusedAction{"SignalWithoutItsFormat",
                      [](auto& d) {
                          return d.frontPanelChange(0x51, Bytes{2, 1});
                      }},
        RefusedAction{"FormatNotInTheTable",
                      [](auto& d) {
                          return d.frontPanelChange(0x19, Bytes{0, 2});
                      }},
        RefusedAction{"LayoutSeventeen", [](auto& d) { return d.changeLayout(17); }},
        RefusedAction{"LayoutWithoutWindows", [](auto& d) { return d.changeLayout(43); }},
        RefusedAction{"WindowZero", [](auto& d) { return d.changeSource(0, 1); }},
        RefusedAction{"WindowSeventeen", [](auto& d) { return d.changeSource(17, 1); }},
        RefusedAction{"InputSeventeen", [](auto& d) { return d.changeSource(1, 17); }},
        RefusedAction{"UmdInputSeventeen", [](auto& d) { return d.switchUmd(17, 1); }},
        RefusedAction{"UmdTwo", [](auto& d) { return d.switchUmd(3, 2); }},
        RefusedAction{"NotAColourCode", [](auto& d) { return d.changeColour(0x33, 1, 1); }},
        RefusedAction{"ColourIndexSeventeen", [](auto& d) { return d.changeColour(0x3B, 17, 1); }},
        RefusedAction{"TextColourSixteen", [](auto& d) { return d.changeColour(0x3D, 1, 16); }},
        RefusedAction{"BackColourThirtyTwo", [](auto& d) { return d.changeColour(0x55, 1, 32); }},
        RefusedAction{"SignalWindowSixteen", [](auto& d) { return d.setSignal(16, 1, 31); }},
        RefusedAction{"SignalPresentTwo", [](auto& d) { return d.setSignal(0, 2, 31); }},
        RefusedAction{"SignalFormatSixtyFour", [](auto& d) { return d.setSignal(0, 1, 64); }},
        RefusedAction{"MeterOfWindowZero",
                      [](auto& d) {
                          return d.frontPanelChange(0x37, Bytes{0, 1});
                      }},
        RefusedAction{"ChannelPairEight",
                      [](auto& d) {
                          return d.frontPanelChange(0x52, Bytes{1, 8});
                      }},
        RefusedAction{"AudioSourceSeventeen", [](auto& d) { return d.frontPanelChange(0x39, Bytes{17}); }},
        RefusedAction{"BorderTwo", [](auto& d) { return d.frontPanelChange(0x3F, Bytes{2}); }},
        RefusedAction{"MeterWithoutItsValue", [](auto& d) { return d.frontPanelChange(0x37, Bytes{3}); }},
        RefusedAction{"TheStatusRequest", [](auto& d) { return d.frontPanelChange(0x0A, Bytes{}); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace simulator_multiviewer_front_panel_test
}  // namespace kvx
