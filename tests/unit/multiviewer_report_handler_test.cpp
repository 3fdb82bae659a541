#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "multiviewer/report_handler.h"
#include "multiviewer/status_encode.h"
#include "protocol/control_frame.h"

namespace kvx {
namespace multiviewer_report_handler_test {

const DeviceId kConnected{0x11, 0x22, 0x33, 0x44};

// A report as the device sends it: its data from byte 18 (byte 17 is not interpreted).
Bytes report(uint8_t code, std::vector<uint8_t> data, const DeviceId& id = kConnected) {
    std::vector<uint8_t> payload{0xEE};
    payload.insert(payload.end(), data.begin(), data.end());
    Bytes frame = buildFrame(0xA1, 0x01, kLinkLan, code, payload);
    std::copy(id.begin(), id.end(), frame.begin() + 10);
    return frame;
}

class RecordingPages : public PageUpdates {
public:
    void pageRefresh(int page) override { calls.push_back("refresh " + std::to_string(page)); }
    void listSelected(int id, int entry) override {
        calls.push_back("list " + std::to_string(id) + " " + std::to_string(entry));
    }
    void buttonBitmap(int id, int bitmap) override {
        calls.push_back("button " + std::to_string(id) + " " + std::to_string(bitmap));
    }
    void showMeterSwitch() override { calls.push_back("meter"); }
    std::vector<std::string> calls;
};

// Everything a report may change, for "nothing changed" checks.
struct Snapshot {
    explicit Snapshot(const MultiviewerState& s)
        : block(encodeStatusBlock(s)),
          selections{s.ColorSourceSelect, s.ColorWindowSelect, s.AudioWindowSelect},
          geometry(s.WindowGeometry),
          cells(s.SwitcherGeometry),
          formatText(s.WindowFormatText),
          umdText(s.WindowRgb.umdText) {}
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
    StatusBlock block;
    std::array<uint8_t, 3> selections;
    GeometryTable geometry;
    GeometryTable cells;
    PerWindow<std::u16string> formatText;
    std::array<Rgb, 16> umdText;
};

using Prepare = std::function<void(MultiviewerState&)>;
using Check = std::function<void(const MultiviewerState&)>;

struct ReportCase {
    const char* name;
    uint8_t page;
    uint8_t code;
    std::vector<uint8_t> data;
    Check check;  // nullptr: the model must not change
    std::vector<std::string> calls;
    bool repaint;
    Prepare prepare = nullptr;
};

MultiviewerState preparedState(const ReportCase& c) {
    MultiviewerState state;
    state.CurrentPage = c.page;
    state.WindowSource.fill(1);
    state.UmdBackColor.fill(4);
    state.AudioChannelPair[4] = 3;
    if (c.prepare) c.prepare(state);
    return state;
}

class Reports : public ::testing::TestWithParam<ReportCase> {};

TEST_P(Reports, ModelPageAndRepaint) {
    const ReportCase& c = GetParam();
    MultiviewerState state = preparedState(c);
    const Snapshot before(state);
    RecordingPages pages;
    const ReportOutcome outcome = applyReport(report(c.code, c.data), kConnected, state, pages);
    if (c.check) {
        EXPECT_EQ(outcome.kind, ReportKind::Applied);
        c.check(state);
    } else {
        EXPECT_TRUE(Snapshot(state) == before) << "the model changed";
    }
    EXPECT_EQ(pages.calls, c.calls);
    EXPECT_EQ(outcome.repaint, c.repaint);
}

// The same report from another device changes nothing and touches no page.
TEST_P(Reports, AnotherDeviceIsIgnored) {
    const ReportCase& c = GetParam();
    MultiviewerState state = preparedState(c);
    const Snapshot before(state);
    RecordingPages pages;
    const ReportOutcome outcome =
        applyReport(report(c.code, c.data, {0x11, 0x22, 0x33, 0x45}), kConnected, state, pages);
    EXPECT_EQ(outcome.kind, ReportKind::Ignored);
    EXPECT_FALSE(outcome.repaint);
    EXPECT_TRUE(pages.calls.empty());
    EXPECT_TRUE(Snapshot(state) == before);
}

// A datagram that ends before the data its code uses is ignored, and nothing past its end is read.
TEST_P(Reports, TooShortForItsDataIsIgnored) {
    const ReportCase& c = GetParam();
    if (c.data.empty()) GTEST_SKIP() << "no data bytes to cut";
    const Bytes full = report(c.code, c.data);
    const Bytes cut(full.begin(), full.begin() + 18 + static_cast<std::ptrdiff_t>(c.data.size()) - 1);
    MultiviewerState state = preparedState(c);
    const Snapshot before(state);
    RecordingPages pages;
    EXPECT_EQ(applyReport(cut, kConnected, state, pages).kind, ReportKind::Ignored);
    EXPECT_TRUE(pages.calls.empty());
    EXPECT_TRUE(Snapshot(state) == before);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, Reports,
    ::testing::Values(
        // 0x19 output format
        ReportCase{"FormatOnSettingsPage",
                   4,
                   0x19,
                   {0, 11},
                   [](auto& s) { EXPECT_EQ(s.OutputFormat, 11); },
                   {"list 1051 1"},
                   false},
        ReportCase{"FormatNotInTableSelectsNothing",
                   4,
                   0x19,
                   {0, 2},
                   [](auto& s) { EXPECT_EQ(s.OutputFormat, 2); },
                   {},
                   false},
        ReportCase{
            "FormatOnOtherPage", 1, 0x19, {0, 14}, [](auto& s) { EXPECT_EQ(s.OutputFormat, 14); }, {}, false},
        // 0x33 layout
        ReportCase{"SingleLayoutOnLayoutPage",
                   1,
                   0x33,
                   {4},
                   [](auto& s) {
                       EXPECT_EQ(s.LayoutMode, 4);
                       EXPECT_EQ(s.WindowGeometry[0], (GeometryRecord{0, 0, 720, 480, 4}));
                   },
                   {"refresh 1", "list 1028 3"},
                   true},
        ReportCase{"MultiLayoutOnLayoutPage",
                   1,
                   0x33,
                   {90},
                   [](auto& s) {
                       EXPECT_EQ(s.WindowGeometry[8], (GeometryRecord{480, 320, 240, 160, 9}));
                   },
                   {"refresh 1"},
                   true},
        ReportCase{"LayoutZeroSelectsNoSource",
                   1,
                   0x33,
                   {0},
                   [](auto& s) { EXPECT_EQ(s.LayoutMode, 0); },
                   {"refresh 1"},
                   true},
        ReportCase{"LayoutOnMatrixPage",
                   5,
                   0x33,
                   {40},
                   [](auto& s) {
                       EXPECT_EQ(s.LayoutMode, 40);
                       EXPECT_EQ(s.WindowGeometry, GeometryTable{});
                   },
                   {},
                   false},
        ReportCase{"LayoutOnColourPage",
                   3,
                   0x33,
                   {40},
                   [](auto& s) {
                       EXPECT_EQ(s.WindowGeometry[3], (GeometryRecord{360, 240, 360, 240, 4}));
                   },
                   {},
                   true},
        // 0x34 source
        ReportCase{"SourceOnMatrixPage",
                   5,
                   0x34,
                   {3, 12},
                   [](auto& s) {
                       EXPECT_EQ(s.MatrixRoute[11], 3);
                       EXPECT_EQ(s.SwitcherGeometry[11].number, 3);
                       EXPECT_EQ(s.WindowSource[11], 1);
                   },
                   {"list 1086 2"},
                   true},
        ReportCase{"SourceOnMatrixPageFirstOutputs",
                   5,
                   0x34,
                   {16, 8},
                   [](auto& s) { EXPECT_EQ(s.MatrixRoute[7], 16); },
                   {"list 1081 15"},
                   true},
        ReportCase{"SourceOnLayoutPage",
                   1,
                   0x34,
                   {5, 3},
                   [](auto& s) {
                       EXPECT_EQ(s.WindowSource[2], 5);
                       EXPECT_EQ(s.MatrixRoute[2], 0);
                       EXPECT_EQ(s.WindowRgb.umdText[2], (Rgb{255, 255, 0}));  // input 5's colour
                   },
                   {"list 1030 4"},
                   true,
                   [](auto& s) { s.UmdTextColor[4] = 6; }},
        ReportCase{"SourceOnUmdPage", 2, 0x34, {5, 3}, nullptr, {}, true},
        ReportCase{"SourceOnColourPage", 3, 0x34, {5, 3}, nullptr, {}, true},
        ReportCase{"SourceOnSettingsPage", 4, 0x34, {5, 3}, nullptr, {}, true},
        ReportCase{"SourceOnAudioPage", 6, 0x34, {5, 3}, nullptr, {}, true},
        ReportCase{"SourceInputZero", 5, 0x34, {0, 3}, nullptr, {}, false},
        ReportCase{"SourceInput17", 1, 0x34, {17, 3}, nullptr, {}, false},
        ReportCase{"SourceWindowZero", 5, 0x34, {3, 0}, nullptr, {}, false},
        ReportCase{"SourceWindow17", 1, 0x34, {3, 17}, nullptr, {}, false},
        // 0x36 UMD of one input
        ReportCase{"UmdOnOnUmdPage",
                   2,
                   0x36,
                   {5, 1},
                   [](auto& s) { EXPECT_EQ(s.UmdOn[4], 1); },
                   {"button 1131 407"},
                   true},
        ReportCase{"UmdOffOnUmdPage",
                   2,
                   0x36,
                   {16, 0},
                   [](auto& s) { EXPECT_EQ(s.UmdOn[15], 0); },
                   {"button 1142 428"},
                   true,
                   [](auto& s) { s.UmdOn[15] = 1; }},
        ReportCase{"UmdOnOtherPage", 3, 0x36, {1, 1}, [](auto& s) { EXPECT_EQ(s.UmdOn[0], 1); }, {}, true},
        ReportCase{"UmdInputZero", 2, 0x36, {0, 1}, nullptr, {}, false},
        ReportCase{"UmdInput17", 2, 0x36, {17, 1}, nullptr, {}, false},
        // 0x37 audio meter of one window
        ReportCase{"MeterOnAudioPage",
                   6,
                   0x37,
                   {5, 1},
                   [](auto& s) {
                       EXPECT_EQ(s.AudioMeterOn[4], 1);
                       EXPECT_EQ(s.AudioWindowSelect, 4);
                   },
                   {"list 1075 4", "meter", "list 1077 3"},
                   true},
        ReportCase{"MeterOnOtherPage",
                   4,
                   0x37,
                   {16, 1},
                   [](auto& s) {
                       EXPECT_EQ(s.AudioMeterOn[15], 1);
                       EXPECT_EQ(s.AudioWindowSelect, 15);
                   },
                   {},
                   true},
        ReportCase{"MeterWindowZero", 6, 0x37, {0, 1}, nullptr, {}, false},
        ReportCase{"MeterWindow17", 6, 0x37, {17, 1}, nullptr, {}, false},
        // 0x52 channel pair
        ReportCase{"ChannelOnAudioPage",
                   6,
                   0x52,
                   {5, 6},
                   [](auto& s) {
                       EXPECT_EQ(s.AudioChannelPair[4], 6);
                       EXPECT_EQ(s.AudioWindowSelect, 4);
                   },
                   {"list 1075 4", "meter", "list 1077 6"},
                   false},
        ReportCase{"ChannelWindow17", 6, 0x52, {17, 1}, nullptr, {}, false},
        // 0x39 audio source
        ReportCase{"AudioSourceOnAudioPage",
                   6,
                   0x39,
                   {16},
                   [](auto& s) { EXPECT_EQ(s.AudioSourceWindow, 16); },
                   {"list 1074 16"},
                   true},
        ReportCase{"AudioSourceOnOtherPage",
                   4,
                   0x39,
                   {3},
                   [](auto& s) { EXPECT_EQ(s.AudioSourceWindow, 3); },
                   {},
                   false},
        // switches
        ReportCase{"FormatStatus3A",
                   4,
                   0x3A,
                   {1},
                   [](auto& s) { EXPECT_EQ(s.FormatStatusOn, 1); },
                   {"button 1116 206"},
                   true},
        ReportCase{"FormatStatus5DOff",
                   4,
                   0x5D,
                   {0},
                   [](auto& s) { EXPECT_EQ(s.FormatStatusOn, 0); },
                   {"button 1116 205"},
                   true,
                   [](auto& s) { s.FormatStatusOn = 1; }},
        ReportCase{
            "FormatStatusOtherPage", 2, 0x5D, {1}, [](auto& s) { EXPECT_EQ(s.FormatStatusOn, 1); }, {}, true},
        ReportCase{"Timecode53",
                   4,
                   0x53,
                   {1},
                   [](auto& s) { EXPECT_EQ(s.TimecodeOn, 1); },
                   {"button 1118 283"},
                   false},
        ReportCase{"Timecode5EOff",
                   4,
                   0x5E,
                   {0},
                   [](auto& s) { EXPECT_EQ(s.TimecodeOn, 0); },
                   {"button 1118 282"},
                   false,
                   [](auto& s) { s.TimecodeOn = 1; }},
        ReportCase{"AudioAlarm",
                   4,
                   0x56,
                   {1},
                   [](auto& s) { EXPECT_EQ(s.AudioAlarmOn, 1); },
                   {"button 1117 204"},
                   false},
        ReportCase{
            "AudioAlarmOtherPage", 6, 0x56, {1}, [](auto& s) { EXPECT_EQ(s.AudioAlarmOn, 1); }, {}, false},
        ReportCase{"AllMeters",
                   6,
                   0x5B,
                   {1},
                   [](auto& s) { EXPECT_EQ(s.AllAudioMeterOn, 1); },
                   {"button 1146 453"},
                   true},
        ReportCase{"AllMetersOff",
                   6,
                   0x5B,
                   {0},
                   [](auto& s) { EXPECT_EQ(s.AllAudioMeterOn, 0); },
                   {"button 1146 452"},
                   true,
                   [](auto& s) { s.AllAudioMeterOn = 1; }},
        ReportCase{
            "AllUmd", 2, 0x5C, {1}, [](auto& s) { EXPECT_EQ(s.AllUmdOn, 1); }, {"button 1115 202"}, true},
        ReportCase{"AllUmdOtherPage", 1, 0x5C, {1}, [](auto& s) { EXPECT_EQ(s.AllUmdOn, 1); }, {}, true},
        ReportCase{"Border", 3, 0x3F, {1}, [](auto& s) { EXPECT_EQ(s.BorderOn, 1); }, {"list 1074 1"}, true},
        ReportCase{"BorderOtherPage", 4, 0x3F, {1}, [](auto& s) { EXPECT_EQ(s.BorderOn, 1); }, {}, true},
        // colours
        ReportCase{"UmdTextAllSetsInputOne",
                   3,
                   0x3B,
                   {0, 6},
                   [](auto& s) {
                       EXPECT_EQ(s.UmdTextColor[0], 6);
                       for (size_t k = 1; k < 16; ++k) EXPECT_EQ(s.UmdTextColor[k], 9);
                       EXPECT_EQ(s.ColorSourceSelect, 0);
                       EXPECT_EQ(s.WindowRgb.umdText[0], (Rgb{255, 255, 0}));
                   },
                   {"list 1032 0", "list 1033 6", "list 1034 4"},
                   true,
                   [](auto& s) {
                       s.UmdTextColor.fill(9);
                       s.ColorSourceSelect = 5;
                   }},
        ReportCase{"UmdBack",
                   3,
                   0x3C,
                   {7, 2},
                   [](auto& s) {
                       EXPECT_EQ(s.UmdBackColor[6], 2);
                       EXPECT_EQ(s.ColorSourceSelect, 7);
                   },
                   {"list 1032 7", "list 1034 2", "list 1033 11"},
                   true,
                   [](auto& s) { s.UmdTextColor[6] = 11; }},
        ReportCase{"FormatText",
                   3,
                   0x3D,
                   {16, 1},
                   [](auto& s) {
                       EXPECT_EQ(s.FormatTextColor[15], 1);
                       EXPECT_EQ(s.ColorWindowSelect, 16);
                       EXPECT_EQ(s.WindowRgb.formatText[15], (Rgb{0, 0, 255}));
                   },
                   {"list 1035 16", "list 1036 1", "list 1037 0"},
                   true},
        ReportCase{"FormatBackOtherPage",
                   1,
                   0x3E,
                   {2, 20},
                   [](auto& s) {
                       EXPECT_EQ(s.FormatBackColor[1], 20);
                       EXPECT_EQ(s.ColorWindowSelect, 2);
                   },
                   {},
                   true},
        ReportCase{"TimecodeTextAll",
                   3,
                   0x54,
                   {0, 3},
                   [](auto& s) {
                       EXPECT_EQ(s.TimecodeTextColor[0], 3);
                       EXPECT_EQ(s.TimecodeTextColor[1], 0);
                       EXPECT_EQ(s.WindowRgb.timecodeText[0], (Rgb{255, 0, 255}));
                   },
                   {"list 1035 0", "list 1075 3", "list 1076 5"},
                   true,
                   [](auto& s) { s.TimecodeBackColor[0] = 5; }},
        ReportCase{"TimecodeBack",
                   3,
                   0x55,
                   {9, 14},
                   [](auto& s) {
                       EXPECT_EQ(s.TimecodeBackColor[8], 14);
                       EXPECT_EQ(s.WindowRgb.timecodeBack[8], (Rgb{152, 152, 152}));
                   },
                   {"list 1035 9", "list 1076 14", "list 1075 0"},
                   true},
        ReportCase{"ColourIndex17", 3, 0x3B, {17, 6}, nullptr, {}, false},
        ReportCase{"ColourIndex255", 3, 0x55, {255, 6}, nullptr, {}, false},
        // 0x51 window signal
        ReportCase{"SignalFirstWindow",
                   1,
                   0x51,
                   {0, 1, 16},
                   [](auto& s) {
                       EXPECT_EQ(s.WindowSignal[0], (WindowSignal{1, 16}));
                       EXPECT_EQ(s.WindowFormatText[0], u"625i50");
                   },
                   {},
                   true},
        ReportCase{"SignalLastWindowLost",
                   3,
                   0x51,
                   {15, 0, 16},
                   [](auto& s) { EXPECT_EQ(s.WindowFormatText[15], u"No Signal"); },
                   {},
                   true},
        ReportCase{"SignalWindow16IsOutOfRange", 1, 0x51, {16, 1, 16}, nullptr, {}, false},
        // codes outside the table
        ReportCase{"StatusReplyCode", 1, 0x0A, {1, 2, 3}, nullptr, {}, false},
        ReportCase{"UnknownCode", 1, 0x40, {1, 2, 3}, nullptr, {}, false},
        ReportCase{"UmdNameIsNotReported", 2, 0x1E, {1, 2, 3}, nullptr, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WholeStateReports, AskForAReadBackAndSayWhetherSelectionsReset) {
    for (const auto& [code, reset] :
         std::vector<std::pair<uint8_t, bool>>{{0x0B, true}, {0x38, true}, {0x59, false}}) {
        MultiviewerState state;
        state.CurrentPage = kPageColour;
        state.ColorSourceSelect = 4;
        const Snapshot before(state);
        RecordingPages pages;
        const ReportOutcome outcome = applyReport(report(code, {}), kConnected, state, pages);
        EXPECT_EQ(outcome.kind, ReportKind::WholeState) << int(code);
        EXPECT_EQ(outcome.resetSelections, reset) << int(code);
        EXPECT_TRUE(Snapshot(state) == before);  // nothing changes before the read-back
        EXPECT_TRUE(pages.calls.empty());
        EXPECT_EQ(applyReport(report(code, {}, {0, 0, 0, 0}), kConnected, state, pages).kind,
                  ReportKind::Ignored);
    }
}

TEST(WholeStateReports, AfterTheWaitResetRefreshAndRecompute) {
    for (uint8_t page = 0; page <= 6; ++page) {
        for (const bool reset : {true, false}) {
            MultiviewerState state;
            state.CurrentPage = page;
            state.ColorSourceSelect = 3;
            state.ColorWindowSelect = 4;
            state.AudioWindowSelect = 5;
            state.UmdWindowSelect = 6;
            state.LayoutMode = 160;
            state.WindowSource.fill(2);
            state.UmdTextColor[1] = 7;
            state.WindowSignal[15] = {1, 31};
            RecordingPages pages;
            afterWholeStateWait(state, reset, pages);
            const std::vector<std::string> expected =
                (page == 0 || page == 5) ? std::vector<std::string>{}
                                         : std::vector<std::string>{"refresh " + std::to_string(page)};
            EXPECT_EQ(pages.calls, expected) << "page " << int(page);
            EXPECT_EQ(state.ColorSourceSelect, reset ? 0 : 3);
            EXPECT_EQ(state.ColorWindowSelect, reset ? 0 : 4);
            EXPECT_EQ(state.AudioWindowSelect, reset ? 0 : 5);
            EXPECT_EQ(state.UmdWindowSelect, 6);
            EXPECT_EQ(state.WindowGeometry[15], (GeometryRecord{540, 360, 180, 120, 16}));
            EXPECT_EQ(state.WindowFormatText[15], u"1080p60");
            EXPECT_EQ(state.WindowRgb.umdText[9], (Rgb{255, 255, 255}));
        }
    }
}

TEST(DeviceFilter, NeedsBytes10To13) {
    const Bytes full = report(0x5C, {1});
    EXPECT_TRUE(isFromDevice(full, kConnected));
    EXPECT_TRUE(isFromDevice(std::span(full).first(14), kConnected));
    EXPECT_FALSE(isFromDevice(std::span(full).first(13), kConnected));
    EXPECT_FALSE(isFromDevice({}, kConnected));
    for (size_t i = 10; i < 14; ++i) {
        Bytes other = full;
        other[i] ^= 0x01;
        EXPECT_FALSE(isFromDevice(other, kConnected)) << i;
    }
}

TEST(ShortDatagrams, WithoutACodeByteAreIgnored) {
    const Bytes full = report(0x0B, {});
    for (size_t length : {0, 10, 14, 16}) {
        MultiviewerState state;
        RecordingPages pages;
        EXPECT_EQ(applyReport(std::span(full).first(length), kConnected, state, pages).kind,
                  ReportKind::Ignored)
            << length;
    }
    MultiviewerState state;
    RecordingPages pages;
    EXPECT_EQ(applyReport(std::span(full).first(17), kConnected, state, pages).kind, ReportKind::WholeState);
}

}  // namespace multiviewer_report_handler_test
}  // namespace kvx
