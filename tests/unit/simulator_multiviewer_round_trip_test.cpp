// The PC's senders against the simulated multiviewer: every request leaves the device in the state the PC's
// model shows, and the device's report of the change, folded into that model, leaves it as it is.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "multiviewer/multiviewer_commands.h"
#include "multiviewer/report_handler.h"
#include "multiviewer/status_decode.h"
#include "multiviewer/status_encode.h"
#include "simulator/multiviewer_device.h"

namespace kvx {
namespace simulator_multiviewer_round_trip_test {

constexpr DeviceId kId{0x11, 0x22, 0x33, 0x44};

// The PC's model of a device, as a status read-back leaves it.
MultiviewerState readBack(const MultiviewerDevice& device, MultiviewerState model) {
    model.StatusBlock = encodeStatusBlock(device.state().model);
    decodeStatusBlock(model);
    return model;
}

// The device fields of a model: what the status block carries, and the DHCP toggle that it does not.
struct DeviceFields {
    StatusBlock block;
    uint8_t dhcpToggle;
    friend bool operator==(const DeviceFields&, const DeviceFields&) = default;
};
DeviceFields fieldsOf(const MultiviewerState& s) {
    return {encodeStatusBlock(s), s.DhcpToggle};
}

// The PC's senders wired to a simulated multiviewer: every frame goes to the device at once.
struct Bench {
    Bench() {
        device.setReportSink([this](const Bytes& frame) { reports.push_back(frame); });
        target.entry.emplace();
        target.entry->deviceType = kTypeMultiviewer;
        target.entry->subCode = 0x01;
        target.entry->setAddress("192.168.1.101");
    }
    // Both sides start from the same state, as after a read-back.
    void start(const std::function<void(MultiviewerState&)>& setup) {
        MultiviewerState start = device.state().model;
        if (setup) setup(start);
        device.setModel(start);
        model = readBack(device, MultiviewerState());
        model.DhcpToggle = start.DhcpToggle;
    }

    MultiviewerDevice device{{kTypeMultiviewer, 0x01, "KVX_MV16", kId}};
    MultiviewerState model;
    Target target;
    std::vector<Bytes> sent;
    std::vector<Bytes> reports;
    MultiviewerCommands commands{&model, [this] { return target; },
                                 [this](Bytes frame, FrameRoute, std::function<void(bool)> afterSend) {
                                     sent.push_back(frame);
                                     device.handleFrame(frame, {});
                                     afterSend(true);
                                 }};
};

using Setup = std::function<void(MultiviewerState&)>;
using Send = std::function<void(MultiviewerCommands&, MultiviewerState& model)>;
using DeviceCheck = std::function<void(const MultiviewerDeviceState&)>;

struct RoundTripCase {
    const char* name;
    Setup setup;                    // the state both sides start from (none: the factory state)
    Send send;                      // what the page does: store, call the sender, store after the call
    std::optional<uint8_t> report;  // the report code the device sends, none when it has none
    bool wholeState = false;        // the report asks the PC to read the state back
    Setup deviceDiffers = {};       // where the device rightly differs from the PC's model
    DeviceCheck check = {};         // what the status block cannot show
};
void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, DeviceFollowsTheModelAndItsReportChangesNothing) {
    const RoundTripCase& c = GetParam();
    Bench bench;
    bench.start(c.setup);
    c.send(bench.commands, bench.model);
    ASSERT_EQ(bench.sent.size(), 1u) << "one request per sender";

    MultiviewerState expected = bench.model;
    if (c.deviceDiffers) c.deviceDiffers(expected);
    const MultiviewerDeviceState device = bench.device.state();
    EXPECT_EQ(fieldsOf(device.model), fieldsOf(expected));
    if (c.check) c.check(device);

    if (!c.report) {
        EXPECT_TRUE(bench.reports.empty());
        return;
    }
    ASSERT_EQ(bench.reports.size(), 1u);
    const Bytes& report = bench.reports[0];
    const Bytes& request = bench.sent[0];
    EXPECT_EQ(report[frame::kCommandOffset], *c.report);
    EXPECT_TRUE(isFromDevice(report, kId));
    if (!c.wholeState) {
        // The request's payload, one byte on.
        EXPECT_EQ(Bytes(report.begin() + frame::kDataOffset, report.end() - 3),
                  Bytes(request.begin() + frame::kPayloadOffset, request.end() - 3));
    }

    NoPageUpdates pages;
    const DeviceFields before = fieldsOf(bench.model);
    const ReportOutcome outcome = applyReport(report, kId, bench.model, pages);
    EXPECT_EQ(outcome.kind, c.wholeState ? ReportKind::WholeState : ReportKind::Applied);
    EXPECT_EQ(fieldsOf(bench.model), before);
    if (c.wholeState) {
        // The read-back that the report asks for brings the PC's model to the device's state.
        EXPECT_EQ(fieldsOf(readBack(bench.device, bench.model)).block, encodeStatusBlock(device.model));
    }
}

void onPage(MultiviewerState& s, uint8_t page) {
    s.CurrentPage = page;
}
void inSwitcherMode(MultiviewerState& s) {
    s.SwitcherMode = 1;
}

const std::vector<RoundTripCase> kCases{
    {"OutputFormat",
     {},
     [](auto& c, auto& m) {
         m.OutputFormat = 14;
         c.setOutputFormat(14);
     },
     0x19},
    {"UmdName",
     {},
     [](auto& c, auto& m) {
         m.UmdName[2] = u"CAM 1";
         c.setUmdName(3);
     },
     std::nullopt},
    {"UmdNameEmpty",
     {},
     [](auto& c, auto& m) {
         m.UmdName[15].clear();
         c.setUmdName(16);
     },
     std::nullopt},
    {"Layout",
     {},
     [](auto& c, auto& m) {
         m.LayoutMode = 90;
         c.setLayout(90);
     },
     0x33},
    {"SourceOfAWindow",
     {},
     [](auto& c, auto& m) {
         onPage(m, kPageLayout);
         c.setSource(5, 3);
         m.WindowSource[2] = 5;  // the layout page stores it after the call
     },
     0x34},
    {"SourceOfAnOutput", inSwitcherMode,
     [](auto& c, auto& m) {
         onPage(m, kPageMatrix);
         c.setSource(7, 12);
     },
     0x34},
    {"UmdOn", {}, [](auto& c, auto&) { c.setUmdOn(4, 0); }, 0x36},
    {"AllUmd", {}, [](auto& c, auto&) { c.setUmdOn(0, 0); }, 0x5C},
    {"AudioMeterOn", {}, [](auto& c, auto&) { c.setAudioMeterOn(2, 0); }, 0x37},
    {"AllAudioMeters", {}, [](auto& c, auto&) { c.setAudioMeterOn(mv::kAllMetersIndex, 0); }, 0x5B},
    {"AudioSource",
     {},
     [](auto& c, auto& m) {
         m.AudioSourceWindow = 9;
         c.setAudioSource(9);
     },
     0x39},
    {"AudioSourceOff",
     {},
     [](auto& c, auto& m) {
         m.AudioSourceWindow = 0;
         c.setAudioSource(0);
     },
     0x39},
    {"UmdTextColourOfOneInput", {}, [](auto& c, auto&) { c.setUmdTextColor(4, 6); }, 0x3B},
    {"UmdTextColourOfAll", {}, [](auto& c, auto&) { c.setUmdTextColor(0, 2); }, 0x3B},
    {"UmdBackColourOfAll", {}, [](auto& c, auto&) { c.setUmdBackColor(0, 14); }, 0x3C},
    {"UmdBackColourOutsideThePalette", {}, [](auto& c, auto&) { c.setUmdBackColor(16, 20); }, 0x3C},
    {"FormatTextColourOfAll", {}, [](auto& c, auto&) { c.setFormatTextColor(0, 2); }, 0x3D},
    {"FormatBackColourOfOneWindow", {}, [](auto& c, auto&) { c.setFormatBackColor(16, 3); }, 0x3E},
    {"Border", {}, [](auto& c, auto&) { c.setBorder(0); }, 0x3F},
    {"AudioChannel", {}, [](auto& c, auto&) { c.setAudioChannel(9, 3); }, 0x52},
    {"TimecodeTextColourOfOneWindow", {}, [](auto& c, auto&) { c.setTimecodeTextColor(7, 9); }, 0x54},
    // Index 0 sets every window on the device; the PC's model stores element 1 only until the next read-back.
    {"TimecodeTextColourOfAll",
     {},
     [](auto& c, auto&) { c.setTimecodeTextColor(0, 2); },
     0x54,
     false,
     [](MultiviewerState& s) { s.TimecodeTextColor.fill(2); }},
    {"TimecodeBackColourOfOneWindow", {}, [](auto& c, auto&) { c.setTimecodeBackColor(3, 1); }, 0x55},
    {"TimecodeBackColourOfAll",
     {},
     [](auto& c, auto&) { c.setTimecodeBackColor(0, 5); },
     0x55,
     false,
     [](MultiviewerState& s) { s.TimecodeBackColor.fill(5); }},
    {"AudioAlarm", {}, [](auto& c, auto&) { c.setAudioAlarm(1); }, 0x56},
    {"UmdSize",
     {},
     [](auto& c, auto&) { c.setUmdSize(2); },
     std::nullopt,
     false,
     {},
     [](const MultiviewerDeviceState& d) { EXPECT_EQ(d.umdSize, 2); }},
    {"SaveCustom",
     [](MultiviewerState& s) { s.LayoutMode = 41; },
     [](auto& c, auto&) { c.sendPreset(mv::kSaveCustom, 2); },
     std::nullopt,
     false,
     {},
     [](const MultiviewerDeviceState& d) {
         EXPECT_EQ(d.presets[1].LayoutMode, 41);
         EXPECT_EQ(d.presets[0].LayoutMode, 160) << "preset 1 keeps the factory settings";
     }},
    {"LoadCustom", [](MultiviewerState& s) { s.LayoutMode = 4; },
     [](auto& c, auto&) { c.sendPreset(mv::kLoadCustom, 1); }, 0x59, true,
     [](MultiviewerState& s) { s.LayoutMode = 160; }},
    {"LoadDefault",
     [](MultiviewerState& s) {
         s.LayoutMode = 4;
         s.UmdTextColor.fill(3);
         s.DeviceName = u"Gallery";
     },
     [](auto& c, auto&) { c.loadDefault(); }, 0x0B, true,
     [](MultiviewerState& s) {
         s.LayoutMode = 160;
         s.UmdTextColor.fill(7);
     },
     [](const MultiviewerDeviceState& d) { EXPECT_EQ(d.model.DeviceName, u"Gallery") << "not a setting"; }},
    {"ResetMatrix",
     [](MultiviewerState& s) {
         inSwitcherMode(s);
         for (size_t k = 0; k < kWindowCount; ++k) s.MatrixRoute[k] = static_cast<uint8_t>(16 - k);
     },
     [](auto& c, auto& m) {
         onPage(m, kPageMatrix);
         c.resetMatrix();
     },
     0x38, true},
    {"FormatStatus", {}, [](auto& c, auto&) { c.setFormatStatus(0); }, 0x5D},
    {"Timecode", {}, [](auto& c, auto&) { c.setTimecode(1); }, 0x5E},
    {"WorkMode",
     {},
     [](auto& c, auto& m) {
         m.SwitcherMode = 1;
         c.setWorkMode();
     },
     std::nullopt},
    // The device also takes the toggle as its DHCP setting, which the status block shows.
    {"Dhcp",
     {},
     [](auto& c, auto& m) {
         m.DhcpToggle = 1;
         c.setDhcp();
     },
     std::nullopt,
     false,
     [](MultiviewerState& s) { s.DeviceDhcpOn = 1; }},
};

INSTANTIATE_TEST_SUITE_P(EverySender, RoundTrip, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A source request means the window's input in multiviewer mode and the output's in switcher mode.
TEST(RoundTripSource, FollowsTheWorkModeThePcSent) {
    Bench bench;
    bench.start({});
    bench.model.CurrentPage = kPageMatrix;
    bench.model.SwitcherMode = 1;
    bench.commands.setWorkMode();
    bench.commands.setSource(9, 2);
    const MultiviewerState device = bench.device.state().model;
    EXPECT_EQ(device.MatrixRoute[1], 9);
    EXPECT_EQ(device.WindowSource[1], 2) << "the window keeps its input";
}

}  // namespace simulator_multiviewer_round_trip_test
}  // namespace kvx
