#include "multiviewer/multiviewer_commands.h"

#include <gtest/gtest.h>

#include <functional>

#include "multiviewer/status_encode.h"

namespace kvx {
namespace multiviewer_commands_test {

DeviceEntry multiviewerEntry() {
    DeviceEntry entry;
    entry.deviceType = 0xA1;
    entry.subCode = 0x01;
    entry.setAddress("10.0.0.5");
    return entry;
}

struct Sent {
    Bytes frame;
    FrameRoute route;
    std::function<void(bool)> afterSend;
};

class CountingView : public MultiviewerView {
public:
    void repaintPreview() override { ++repaints; }
    int repaints = 0;
};

// The senders with a transport that records each frame and lets the test say whether it went out.
struct Harness {
    explicit Harness(LinkKind link = kLinkLan)
        : commands(
              &state, [this] { return target; },
              [this](Bytes frame, FrameRoute route, std::function<void(bool)> afterSend) {
                  sent.push_back({std::move(frame), route, std::move(afterSend)});
              }) {
        target.link = link;
        target.entry = multiviewerEntry();
        commands.setView(&view);
    }
    void deliverAll(bool wentOut) {
        for (Sent& s : sent) s.afterSend(wentOut);
    }

    MultiviewerState state;
    Target target;
    std::vector<Sent> sent;
    CountingView view;
    MultiviewerCommands commands;
};

Bytes request(uint8_t code, std::initializer_list<uint8_t> payload = {}) {
    return buildFrame(0xA1, 0x01, kLinkLan, code, payload);
}

using Call = std::function<void(MultiviewerCommands&)>;

struct FrameCase {
    const char* name;
    Call call;
    Bytes expected;
    size_t length;  // the request's total length
};

class RequestBytes : public ::testing::TestWithParam<FrameCase> {};

TEST_P(RequestBytes, OneFrameWithTheCodeAndPayload) {
    const FrameCase& c = GetParam();
    Harness h;
    h.state.CurrentPage = kPageMatrix;
    c.call(h.commands);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent[0].frame, c.expected);
    EXPECT_EQ(h.sent[0].frame.size(), c.length);
    EXPECT_EQ(h.sent[0].route, FrameRoute::Normal);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRequest, RequestBytes,
    ::testing::Values(
        FrameCase{"LoadDefault", [](auto& c) { c.loadDefault(); }, request(0x0B, {0x00}), 21},
        FrameCase{"SetOutputFormat", [](auto& c) { c.setOutputFormat(14); }, request(0x19, {0x00, 14}), 22},
        FrameCase{"SetLayout",
                  [](auto& c) { c.setLayout(90); },
                  {0xA5, 0x6C, 0x15, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x33, 0x5A, 0x56, 0x02, 0xAE},
                  21},
        FrameCase{"SetSource", [](auto& c) { c.setSource(3, 12); }, request(0x34, {3, 12}), 22},
        FrameCase{"SetUmdOn", [](auto& c) { c.setUmdOn(5, 1); }, request(0x36, {5, 1}), 22},
        FrameCase{"SetAllUmd", [](auto& c) { c.setUmdOn(0, 1); }, request(0x5C, {1}), 21},
        FrameCase{"SetAudioMeterOn", [](auto& c) { c.setAudioMeterOn(2, 0); }, request(0x37, {3, 0}), 22},
        FrameCase{"SetAudioMeterOnLast", [](auto& c) { c.setAudioMeterOn(15, 1); }, request(0x37, {16, 1}),
                  22},
        FrameCase{"SetAllAudioMeters", [](auto& c) { c.setAudioMeterOn(64, 1); }, request(0x5B, {1}), 21},
        FrameCase{"SetAudioSource", [](auto& c) { c.setAudioSource(16); }, request(0x39, {16}), 21},
        FrameCase{"SetUmdTextColor", [](auto& c) { c.setUmdTextColor(4, 6); }, request(0x3B, {4, 6}), 22},
        FrameCase{"SetUmdBackColor", [](auto& c) { c.setUmdBackColor(0, 14); }, request(0x3C, {0, 14}), 22},
        FrameCase{"SetFormatTextColor", [](auto& c) { c.setFormatTextColor(0, 2); }, request(0x3D, {0, 2}),
                  22},
        FrameCase{"SetFormatBackColor", [](auto& c) { c.setFormatBackColor(16, 3); }, request(0x3E, {16, 3}),
                  22},
        FrameCase{"SetBorder", [](auto& c) { c.setBorder(1); }, request(0x3F, {1}), 21},
        FrameCase{"SetAudioChannel", [](auto& c) { c.setAudioChannel(9, 3); }, request(0x52, {10, 3}), 22},
        FrameCase{"SetTimecodeTextColor", [](auto& c) { c.setTimecodeTextColor(0, 2); },
                  request(0x54, {0, 2}), 22},
        FrameCase{"SetTimecodeBackColor", [](auto& c) { c.setTimecodeBackColor(7, 9); },
                  request(0x55, {7, 9}), 22},
        FrameCase{"SetAudioAlarm", [](auto& c) { c.setAudioAlarm(0); }, request(0x56, {0}), 21},
        FrameCase{"SetUmdSize", [](auto& c) { c.setUmdSize(2); }, request(0x57, {2}), 21},
        FrameCase{"SaveCustom", [](auto& c) { c.sendPreset(0x58, 1); }, request(0x58, {1}), 21},
        FrameCase{"LoadCustom", [](auto& c) { c.sendPreset(0x59, 2); }, request(0x59, {2}), 21},
        FrameCase{"ResetMatrix", [](auto& c) { c.resetMatrix(); }, request(0x5A), 20},
        FrameCase{"SetFormatStatus", [](auto& c) { c.setFormatStatus(1); }, request(0x5D, {1}), 21},
        FrameCase{"SetTimecode", [](auto& c) { c.setTimecode(0); }, request(0x5E, {0}), 21}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetUmdName, SendsTheStoredLabelAsIndexedText) {
    Harness h;
    h.state.UmdName[2] = u"CAM 1";
    h.commands.setUmdName(3);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent[0].frame, buildIndexedText(0xA1, 0x01, kLinkLan, 3, u"CAM 1"));
    EXPECT_EQ(h.sent[0].frame.size(), 38u);  // ten bytes of text
    EXPECT_EQ(h.sent[0].frame[16], 0x1E);
    EXPECT_EQ(h.sent[0].frame[17], 3);
}

TEST(SetUmdName, AnEmptyNameIs28Bytes) {
    Harness h;
    h.state.UmdName[0].clear();
    h.commands.setUmdName(1);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent[0].frame.size(), 28u);
}

TEST(SetWorkModeAndDhcp, SendWhatTheCallerStored) {
    Harness h(kLinkSerial);
    h.state.SwitcherMode = 1;
    h.state.DhcpToggle = 1;
    h.commands.setWorkMode();
    h.commands.setDhcp();
    ASSERT_EQ(h.sent.size(), 2u);
    EXPECT_EQ(h.sent[0].frame, buildFrame(0xA1, 0x01, kLinkSerial, 0x62, {1}));
    EXPECT_EQ(h.sent[0].route, FrameRoute::Normal);
    // The DHCP switch goes out as a datagram even on a serial link.
    EXPECT_EQ(h.sent[1].frame, buildFrame(0xA1, 0x01, kLinkSerial, 0x63, {1}));
    EXPECT_EQ(h.sent[1].route, FrameRoute::DatagramOnly);
}

TEST(Header, TakesTypeSubAndLinkFromTheTargetWhenTheRequestIsMade) {
    Harness h;
    h.commands.setBorder(1);
    h.target.link = kLinkSerial;
    h.target.entry->deviceType = 0x83;
    h.target.entry->subCode = 0x07;
    h.commands.setBorder(0);
    ASSERT_EQ(h.sent.size(), 2u);
    EXPECT_EQ(h.sent[1].frame, buildFrame(0x83, 0x07, kLinkSerial, 0x3F, {0}));
    EXPECT_EQ(h.sent[0].frame[6], kLinkLan);
}

// --- What each sender stores ---

struct StoreCase {
    const char* name;
    Call call;
    std::function<void(const MultiviewerState&)> check;
};

class Stores : public ::testing::TestWithParam<StoreCase> {};

TEST_P(Stores, BeforeTheFrameGoesOutAndEvenWhenItDoesNot) {
    Harness h;
    GetParam().call(h.commands);
    GetParam().check(h.state);
    h.deliverAll(false);
    GetParam().check(h.state);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Stores,
    ::testing::Values(StoreCase{"UmdOn", [](auto& c) { c.setUmdOn(5, 1); },
                                [](const auto& s) {
                                    EXPECT_EQ(s.UmdOn[4], 1);
                                    EXPECT_EQ(s.AllUmdOn, 0);
                                }},
                      StoreCase{"AllUmdOn", [](auto& c) { c.setUmdOn(0, 1); },
                                [](const auto& s) {
                                    EXPECT_EQ(s.AllUmdOn, 1);
                                    EXPECT_EQ(s.UmdOn, PerInput<uint8_t>{});
                                }},
                      StoreCase{"AudioMeterOn", [](auto& c) { c.setAudioMeterOn(2, 1); },
                                [](const auto& s) {
                                    EXPECT_EQ(s.AudioMeterOn[2], 1);
                                    EXPECT_EQ(s.AllAudioMeterOn, 0);
                                }},
                      StoreCase{"AllAudioMeterOn", [](auto& c) { c.setAudioMeterOn(64, 1); },
                                [](const auto& s) {
                                    EXPECT_EQ(s.AllAudioMeterOn, 1);
                                    EXPECT_EQ(s.AudioMeterOn, PerWindow<uint8_t>{});
                                }},
                      StoreCase{"AudioChannelPair", [](auto& c) { c.setAudioChannel(9, 3); },
                                [](const auto& s) { EXPECT_EQ(s.AudioChannelPair[9], 3); }},
                      StoreCase{"BorderOn", [](auto& c) { c.setBorder(1); },
                                [](const auto& s) { EXPECT_EQ(s.BorderOn, 1); }},
                      StoreCase{"AudioAlarmOn", [](auto& c) { c.setAudioAlarm(1); },
                                [](const auto& s) { EXPECT_EQ(s.AudioAlarmOn, 1); }},
                      StoreCase{"FormatStatusOn", [](auto& c) { c.setFormatStatus(1); },
                                [](const auto& s) { EXPECT_EQ(s.FormatStatusOn, 1); }},
                      StoreCase{"TimecodeOn", [](auto& c) { c.setTimecode(1); },
                                [](const auto& s) { EXPECT_EQ(s.TimecodeOn, 1); }},
                      StoreCase{"ResetMatrix", [](auto& c) { c.resetMatrix(); },
                                [](const auto& s) {
                                    for (size_t k = 0; k < 16; ++k) {
                                        EXPECT_EQ(s.MatrixRoute[k], k + 1);
                                        EXPECT_EQ(s.SwitcherGeometry[k].number, static_cast<int>(k + 1));
                                    }
                                }},
                      StoreCase{"SourceOutsidePages1And5StoresNothing", [](auto& c) { c.setSource(3, 12); },
                                [](const auto& s) {
                                    EXPECT_EQ(s.MatrixRoute, PerWindow<uint8_t>{});
                                    EXPECT_EQ(s.WindowSource, PerWindow<uint8_t>{});
                                }},
                      StoreCase{"PayloadOnlyRequestsStoreNothing",
                                [](auto& c) {
                                    c.setOutputFormat(14);
                                    c.setLayout(90);
                                    c.setAudioSource(3);
                                    c.setUmdSize(2);
                                },
                                [](const auto& s) {
                                    EXPECT_EQ(s.OutputFormat, 0);
                                    EXPECT_EQ(s.LayoutMode, 0);
                                    EXPECT_EQ(s.AudioSourceWindow, 0);
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Index 0 of the colour requests ---

struct ColourAllCase {
    const char* name;
    void (MultiviewerCommands::*send)(int, uint8_t);
    PerWindow<uint8_t> MultiviewerState::*field;
    bool allOnZero;
};

class ColourIndexZero : public ::testing::TestWithParam<ColourAllCase> {};

TEST_P(ColourIndexZero, SetsAllSixteenOrElementOneOnly) {
    const ColourAllCase& c = GetParam();
    Harness h;
    (h.state.*c.field).fill(9);
    (h.commands.*c.send)(0, 2);
    for (size_t k = 0; k < 16; ++k) EXPECT_EQ((h.state.*c.field)[k], (c.allOnZero || k == 0) ? 2 : 9) << k;
    (h.commands.*c.send)(16, 5);
    EXPECT_EQ((h.state.*c.field)[15], 5);
    EXPECT_EQ((h.state.*c.field)[14], c.allOnZero ? 2 : 9);
}

INSTANTIATE_TEST_SUITE_P(
    SixRequests, ColourIndexZero,
    ::testing::Values(ColourAllCase{"UmdText", &MultiviewerCommands::setUmdTextColor,
                                    &MultiviewerState::UmdTextColor, true},
                      ColourAllCase{"UmdBack", &MultiviewerCommands::setUmdBackColor,
                                    &MultiviewerState::UmdBackColor, true},
                      ColourAllCase{"FormatText", &MultiviewerCommands::setFormatTextColor,
                                    &MultiviewerState::FormatTextColor, true},
                      ColourAllCase{"FormatBack", &MultiviewerCommands::setFormatBackColor,
                                    &MultiviewerState::FormatBackColor, true},
                      ColourAllCase{"TimecodeText", &MultiviewerCommands::setTimecodeTextColor,
                                    &MultiviewerState::TimecodeTextColor, false},
                      ColourAllCase{"TimecodeBack", &MultiviewerCommands::setTimecodeBackColor,
                                    &MultiviewerState::TimecodeBackColor, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- SetSource by page ---

TEST(SetSource, OnTheMatrixPageStoresTheRouteAndTheCell) {
    Harness h;
    h.state.CurrentPage = kPageMatrix;
    h.commands.setSource(3, 12);
    EXPECT_EQ(h.state.MatrixRoute[11], 3);
    EXPECT_EQ(h.state.SwitcherGeometry[11].number, 3);
    EXPECT_EQ(h.state.WindowSource[11], 0);
    h.deliverAll(true);
    EXPECT_EQ(h.view.repaints, 1);
}

TEST(SetSource, OnTheLayoutPageLeavesTheModelToThePageAndRecolours) {
    Harness h;
    h.state.CurrentPage = kPageLayout;
    h.state.UmdTextColor[4] = 6;
    h.commands.setSource(5, 3);
    EXPECT_EQ(h.state.MatrixRoute, PerWindow<uint8_t>{});
    EXPECT_EQ(h.state.WindowSource[2], 0);
    h.state.WindowSource[2] = 5;  // what the layout page does after the call
    h.deliverAll(true);
    EXPECT_EQ(h.state.WindowRgb.umdText[2], (Rgb{255, 255, 0}));
    EXPECT_EQ(h.view.repaints, 1);
}

TEST(SetSource, OnOtherPagesNoRepaint) {
    Harness h;
    h.state.CurrentPage = kPageColour;
    h.commands.setSource(5, 3);
    h.deliverAll(true);
    EXPECT_EQ(h.view.repaints, 0);
}

// --- After sending ---

struct AfterCase {
    const char* name;
    Call call;
    bool repaints;
};

class AfterSending : public ::testing::TestWithParam<AfterCase> {};

TEST_P(AfterSending, RepaintOnlyWhenTheFrameWentOut) {
    const AfterCase& c = GetParam();
    Harness dropped;
    c.call(dropped.commands);
    dropped.deliverAll(false);
    EXPECT_EQ(dropped.view.repaints, 0);

    Harness delivered;
    c.call(delivered.commands);
    EXPECT_EQ(delivered.view.repaints, 0);  // nothing before the frame went out
    delivered.deliverAll(true);
    EXPECT_EQ(delivered.view.repaints, c.repaints ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRequest, AfterSending,
    ::testing::Values(AfterCase{"LoadDefault", [](auto& c) { c.loadDefault(); }, false},
                      AfterCase{"SetOutputFormat", [](auto& c) { c.setOutputFormat(7); }, false},
                      AfterCase{"SetUmdName", [](auto& c) { c.setUmdName(1); }, true},
                      AfterCase{"SetLayout", [](auto& c) { c.setLayout(40); }, true},
                      AfterCase{"SetUmdOn", [](auto& c) { c.setUmdOn(1, 1); }, true},
                      AfterCase{"SetAllUmd", [](auto& c) { c.setUmdOn(0, 1); }, true},
                      AfterCase{"SetAudioMeterOn", [](auto& c) { c.setAudioMeterOn(0, 1); }, true},
                      AfterCase{"SetAllAudioMeters", [](auto& c) { c.setAudioMeterOn(64, 1); }, true},
                      AfterCase{"SetAudioSource", [](auto& c) { c.setAudioSource(1); }, false},
                      AfterCase{"SetUmdTextColor", [](auto& c) { c.setUmdTextColor(1, 1); }, true},
                      AfterCase{"SetUmdBackColor", [](auto& c) { c.setUmdBackColor(1, 1); }, true},
                      AfterCase{"SetFormatTextColor", [](auto& c) { c.setFormatTextColor(1, 1); }, true},
                      AfterCase{"SetFormatBackColor", [](auto& c) { c.setFormatBackColor(1, 1); }, true},
                      AfterCase{"SetBorder", [](auto& c) { c.setBorder(1); }, true},
                      AfterCase{"SetAudioChannel", [](auto& c) { c.setAudioChannel(0, 1); }, true},
                      AfterCase{"SetTimecodeTextColor", [](auto& c) { c.setTimecodeTextColor(1, 1); }, false},
                      AfterCase{"SetTimecodeBackColor", [](auto& c) { c.setTimecodeBackColor(1, 1); }, false},
                      AfterCase{"SetAudioAlarm", [](auto& c) { c.setAudioAlarm(1); }, true},
                      AfterCase{"SetUmdSize", [](auto& c) { c.setUmdSize(1); }, false},
                      AfterCase{"Preset", [](auto& c) { c.sendPreset(0x59, 1); }, false},
                      AfterCase{"ResetMatrix", [](auto& c) { c.resetMatrix(); }, true},
                      AfterCase{"SetFormatStatus", [](auto& c) { c.setFormatStatus(1); }, true},
                      AfterCase{"SetTimecode", [](auto& c) { c.setTimecode(1); }, false},
                      AfterCase{"SetWorkMode", [](auto& c) { c.setWorkMode(); }, false},
                      AfterCase{"SetDhcp", [](auto& c) { c.setDhcp(); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AfterSending, ColourRequestsRecomputeTheirArrayOnlyOnceSent) {
    Harness h;
    h.commands.setFormatTextColor(2, 2);
    EXPECT_EQ(h.state.WindowRgb.formatText[1], (Rgb{0, 0, 0}));
    h.deliverAll(true);
    EXPECT_EQ(h.state.WindowRgb.formatText[1], (Rgb{255, 0, 0}));
}

TEST(AfterSending, SetLayoutRecomputesTheGeometry) {
    Harness h;
    h.state.LayoutMode = 40;  // stored by the page before the call
    h.commands.setLayout(40);
    EXPECT_EQ(h.state.WindowGeometry[3], GeometryRecord{});
    h.deliverAll(true);
    EXPECT_EQ(h.state.WindowGeometry[3], (GeometryRecord{360, 240, 360, 240, 4}));
}

TEST(AfterSending, NoViewMeansNoRepaintButTheModelWorkStillRuns) {
    Harness h;
    h.commands.setView(nullptr);
    h.commands.setUmdTextColor(0, 2);
    h.state.WindowSource.fill(1);
    h.deliverAll(true);
    EXPECT_EQ(h.view.repaints, 0);
    EXPECT_EQ(h.state.WindowRgb.umdText[7], (Rgb{255, 0, 0}));
}

// --- Locked panel, missing model, refused indexes ---

const std::vector<Call> kEveryCall = {
    [](auto& c) { c.loadDefault(); },
    [](auto& c) { c.setOutputFormat(7); },
    [](auto& c) { c.setUmdName(1); },
    [](auto& c) { c.setLayout(40); },
    [](auto& c) { c.setSource(2, 2); },
    [](auto& c) { c.setUmdOn(1, 1); },
    [](auto& c) { c.setUmdOn(0, 1); },
    [](auto& c) { c.setAudioMeterOn(0, 1); },
    [](auto& c) { c.setAudioMeterOn(64, 1); },
    [](auto& c) { c.setAudioSource(1); },
    [](auto& c) { c.setUmdTextColor(0, 1); },
    [](auto& c) { c.setUmdBackColor(0, 1); },
    [](auto& c) { c.setFormatTextColor(0, 1); },
    [](auto& c) { c.setFormatBackColor(0, 1); },
    [](auto& c) { c.setBorder(1); },
    [](auto& c) { c.setAudioChannel(0, 1); },
    [](auto& c) { c.setTimecodeTextColor(0, 1); },
    [](auto& c) { c.setTimecodeBackColor(0, 1); },
    [](auto& c) { c.setAudioAlarm(1); },
    [](auto& c) { c.setUmdSize(1); },
    [](auto& c) { c.sendPreset(0x58, 1); },
    [](auto& c) { c.resetMatrix(); },
    [](auto& c) { c.setFormatStatus(1); },
    [](auto& c) { c.setTimecode(1); },
    [](auto& c) { c.setWorkMode(); },
    [](auto& c) { c.setDhcp(); },
};

TEST(LockedPanel, NothingIsStoredOrSent) {
    for (uint8_t page : {kPageLayout, kPageMatrix}) {
        Harness h;
        h.state.PanelLocked = 1;
        h.state.CurrentPage = page;
        const StatusBlock before = encodeStatusBlock(h.state);
        const GeometryTable cellsBefore = h.state.SwitcherGeometry;
        for (const Call& call : kEveryCall) call(h.commands);
        EXPECT_TRUE(h.sent.empty());
        EXPECT_EQ(encodeStatusBlock(h.state), before);
        EXPECT_EQ(h.state.SwitcherGeometry, cellsBefore);
    }
    Harness unlocked;
    for (const Call& call : kEveryCall) call(unlocked.commands);
    EXPECT_EQ(unlocked.sent.size(), kEveryCall.size());
}

TEST(NoModel, NothingIsSent) {
    std::vector<Bytes> sent;
    MultiviewerCommands commands(
        nullptr, [] { return Target{}; },
        [&](Bytes frame, FrameRoute, std::function<void(bool)>) { sent.push_back(frame); });
    for (const Call& call : kEveryCall) call(commands);
    EXPECT_TRUE(sent.empty());
}

TEST(IndexRanges, OutOfRangeIndexesAreRefused) {
    Harness h;
    h.state.CurrentPage = kPageMatrix;
    h.commands.setUmdOn(17, 1);
    h.commands.setUmdOn(-1, 1);
    h.commands.setAudioMeterOn(16, 1);
    h.commands.setAudioMeterOn(-1, 1);
    h.commands.setAudioMeterOn(63, 1);
    h.commands.setAudioChannel(16, 1);
    h.commands.setUmdTextColor(17, 1);
    h.commands.setTimecodeBackColor(-1, 1);
    h.commands.setSource(0, 3);
    h.commands.setSource(3, 17);
    h.commands.setUmdName(0);
    h.commands.setUmdName(17);
    EXPECT_TRUE(h.sent.empty());
    EXPECT_EQ(encodeStatusBlock(h.state), encodeStatusBlock(MultiviewerState{}));
}

}  // namespace multiviewer_commands_test
}  // namespace kvx
