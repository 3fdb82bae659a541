// A restore on the simulated multiviewer: the frames made from a saved state bring a device in any other
// state to it, and a device that ignores one request shows exactly that field as differing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/state_fields.h"
#include "multiviewer/state_restore.h"
#include "simulator/multiviewer_device.h"

namespace kvx {
namespace simulator_multiviewer_restore_test {

const Target kTarget{kLinkLan, [] {
                         DeviceEntry entry;
                         entry.setAddress("192.168.1.101");
                         entry.deviceType = kTypeMultiviewer;
                         entry.subCode = 0x01;
                         return entry;
                     }()};

// Settings that differ from the factory's in every restored field, in switcher mode, so the routes and the
// windows' sources can only both be right when the mode changes come in the right places.
MultiviewerState wantedSettings() {
    MultiviewerState s = factorySettings();
    s.SwitcherMode = 1;
    s.LayoutMode = 61;
    for (size_t k = 0; k < kWindowCount; ++k) {
        const auto v = static_cast<uint8_t>(k);
        s.WindowSource[k] = static_cast<uint8_t>(16 - k);
        s.MatrixRoute[k] = static_cast<uint8_t>((k + 3) % 16 + 1);
        s.UmdName[k] = u"Cam " + std::u16string(1, static_cast<char16_t>(u'A' + k));
        s.UmdOn[k] = v % 2;
        s.UmdTextColor[k] = static_cast<uint8_t>(k % 14);
        s.UmdBackColor[k] = static_cast<uint8_t>(k + 1);
        s.FormatTextColor[k] = static_cast<uint8_t>(15 - k);
        s.FormatBackColor[k] = static_cast<uint8_t>(k + 10);
        s.TimecodeTextColor[k] = static_cast<uint8_t>(k % 5);
        s.TimecodeBackColor[k] = static_cast<uint8_t>(20 - k);
        s.AudioMeterOn[k] = 1 - v % 2;
        s.AudioChannelPair[k] = v % 8;
    }
    s.OutputFormat = 6;
    s.AllUmdOn = 0;
    s.FormatStatusOn = 0;
    s.TimecodeOn = 1;
    s.BorderOn = 0;
    s.AudioSourceWindow = 9;
    s.AllAudioMeterOn = 0;
    s.AudioAlarmOn = 1;
    return s;
}

// Hands each frame to the device as the LAN would.
void deliver(MultiviewerDevice& device, const std::vector<Bytes>& frames) {
    for (const Bytes& frame : frames) device.handleFrame(frame, {});
}

MultiviewerDevice multiviewer() {
    return MultiviewerDevice({kTypeMultiviewer, 0x01, "MV", {1, 2, 3, 4}});
}

TEST(Restore, BringsAFactoryDeviceToTheSavedSettings) {
    MultiviewerDevice device = multiviewer();
    const MultiviewerState wanted = wantedSettings();
    ASSERT_FALSE(restoredDifferences(wanted, device.state().model).empty());
    deliver(device, restoreFrames(wanted, kTarget));
    for (const FieldDifference& d : restoredDifferences(wanted, device.state().model))
        ADD_FAILURE() << d.field << ": wanted " << jsonLiteral(d.wanted) << ", found "
                      << jsonLiteral(d.found);
}

TEST(Restore, BringsADeviceInSwitcherModeBackToMultiviewerMode) {
    MultiviewerDevice device = multiviewer();
    deliver(device, restoreFrames(wantedSettings(), kTarget));
    MultiviewerState wanted = factorySettings();
    wanted.UmdName[4] = u"";  // an empty name is sent too
    deliver(device, restoreFrames(wanted, kTarget));
    EXPECT_TRUE(restoredDifferences(wanted, device.state().model).empty());
    EXPECT_EQ(device.state().model.SwitcherMode, 0);
}

TEST(Restore, FramesGoToTheTargetInTheOrderTheDeviceNeeds) {
    const std::vector<Bytes> frames = restoreFrames(wantedSettings(), kTarget);
    std::vector<uint8_t> codes;
    for (const Bytes& frame : frames) {
        EXPECT_EQ(frame[frame::kTypeOffset], kTypeMultiviewer);
        EXPECT_EQ(frame[frame::kSubOffset], 0x01);
        EXPECT_EQ(frame[frame::kLinkOffset], kLinkLan);
        codes.push_back(frame[frame::kCommandOffset]);
    }
    // Multiviewer mode, layout and the 16 sources; switcher mode and the 16 routes; the wanted mode.
    ASSERT_GT(codes.size(), 37u);
    EXPECT_EQ(codes[0], mv::kSetWorkMode);
    EXPECT_EQ(frames[0][frame::kPayloadOffset], 0);
    EXPECT_EQ(codes[1], mv::kSetLayout);
    EXPECT_EQ(std::count(codes.begin() + 2, codes.begin() + 18, mv::kSetSource), 16);
    EXPECT_EQ(codes[18], mv::kSetWorkMode);
    EXPECT_EQ(frames[18][frame::kPayloadOffset], 1);
    EXPECT_EQ(std::count(codes.begin() + 19, codes.begin() + 35, mv::kSetSource), 16);
    EXPECT_EQ(codes[35], mv::kSetWorkMode);
    EXPECT_EQ(codes.back(), mv::kSetOutputFormat);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), mv::kSetDhcp), 0);
}

struct IgnoredCase {
    uint8_t code;
    std::vector<std::string> fields;  // what the read-back then shows as differing
};

class RestoreOntoADeviceThatIgnores : public testing::TestWithParam<IgnoredCase> {};

TEST_P(RestoreOntoADeviceThatIgnores, ShowsExactlyThatField) {
    MultiviewerDevice device = multiviewer();
    device.ignoreCommand(GetParam().code);
    const MultiviewerState wanted = wantedSettings();
    deliver(device, restoreFrames(wanted, kTarget));
    std::vector<std::string> fields;
    for (const FieldDifference& d : restoredDifferences(wanted, device.state().model))
        fields.push_back(d.field);
    EXPECT_EQ(fields, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(Codes, RestoreOntoADeviceThatIgnores,
                         testing::Values(IgnoredCase{mv::kSetBorder, {"BorderOn"}},
                                         IgnoredCase{mv::kSetLayout, {"LayoutMode"}},
                                         IgnoredCase{mv::kSetAudioAlarm, {"AudioAlarmOn"}},
                                         IgnoredCase{mv::kSetOutputFormat, {"OutputFormat"}}));

}  // namespace simulator_multiviewer_restore_test
}  // namespace kvx
