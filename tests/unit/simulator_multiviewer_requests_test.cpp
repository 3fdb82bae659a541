// Requests the simulated multiviewer refuses, the main window's requests, and the custom presets.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "multiviewer/status_decode.h"
#include "multiviewer/status_encode.h"
#include "simulator/multiviewer_device.h"

namespace kvx {
namespace simulator_multiviewer_requests_test {

constexpr std::array<uint8_t, 4> kId{0x4B, 0x56, 0x01, 0xA1};

struct Bench {
    Bench() {
        device.setReportSink([this](const Bytes& frame) { reports.push_back(frame); });
    }
    void request(uint8_t code, std::initializer_list<uint8_t> payload) {
        device.handleFrame(buildFrame(kTypeMultiviewer, 0x01, kLinkLan, code, payload), {});
    }
    void request(const Bytes& frame) { device.handleFrame(frame, {}); }
    MultiviewerDevice device{{kTypeMultiviewer, 0x01, "KVX_MV16", kId}};
    std::vector<Bytes> reports;
};

// What the PC would read back of the device, and what it keeps beyond that.
struct Observable {
    StatusBlock block;
    uint8_t dhcpToggle;
    uint8_t panelLocked;
    uint8_t umdSize;
    std::array<uint8_t, kNetworkAddressBytes> network;
    std::array<StatusBlock, kCustomPresetCount> presets;
    friend bool operator==(const Observable&, const Observable&) = default;
};
Observable observe(const MultiviewerDevice& device) {
    const MultiviewerDeviceState s = device.state();
    return {encodeStatusBlock(s.model),
            s.model.DhcpToggle,
            s.panelLocked,
            s.umdSize,
            s.networkAddress,
            {encodeStatusBlock(s.presets[0]), encodeStatusBlock(s.presets[1])}};
}

struct RefusedCase {
    const char* name;
    Bytes frame;
};
void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

Bytes mvFrame(uint8_t code, std::initializer_list<uint8_t> payload) {
    return buildFrame(kTypeMultiviewer, 0x01, kLinkLan, code, payload);
}

class RefusedRequest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedRequest, ChangesNothingAndReportsNothing) {
    Bench bench;
    const Observable before = observe(bench.device);
    bench.request(GetParam().frame);
    EXPECT_EQ(observe(bench.device), before);
    EXPECT_TRUE(bench.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRangeOrMalformed, RefusedRequest,
    ::testing::Values(
        RefusedCase{"LayoutZero", mvFrame(0x33, {0})}, RefusedCase{"LayoutTwoHundred", mvFrame(0x33, {200})},
        RefusedCase{"LayoutWithoutPayload", mvFrame(0x33, {})},
        RefusedCase{"SourceInputZero", mvFrame(0x34, {0, 1})},
        RefusedCase{"SourceWindowSeventeen", mvFrame(0x34, {1, 17})},
        RefusedCase{"SourceOneByte", mvFrame(0x34, {1})},
        RefusedCase{"OutputFormatFirstByteNotZero", mvFrame(0x19, {1, 7})},
        RefusedCase{"OutputFormatUnknownCode", mvFrame(0x19, {0, 2})},
        RefusedCase{"UmdOnInputZero", mvFrame(0x36, {0, 1})}, RefusedCase{"UmdOnTwo", mvFrame(0x36, {3, 2})},
        RefusedCase{"MeterWindowSeventeen", mvFrame(0x37, {17, 1})},
        RefusedCase{"AudioSourceSeventeen", mvFrame(0x39, {17})},
        RefusedCase{"ColourIndexSeventeen", mvFrame(0x3B, {17, 1})},
        RefusedCase{"TextColourSixteen", mvFrame(0x3B, {1, 16})},
        RefusedCase{"BackColourThirtyTwo", mvFrame(0x3C, {1, 32})},
        RefusedCase{"TimecodeColourThreeBytes", mvFrame(0x54, {1, 2, 3})},
        RefusedCase{"BorderTwo", mvFrame(0x3F, {2})}, RefusedCase{"ChannelPairEight", mvFrame(0x52, {1, 8})},
        RefusedCase{"UmdSizeThree", mvFrame(0x57, {3})}, RefusedCase{"SavePresetZero", mvFrame(0x58, {0})},
        RefusedCase{"SavePresetThree", mvFrame(0x58, {3})},
        RefusedCase{"LoadPresetThree", mvFrame(0x59, {3})},
        RefusedCase{"ResetMatrixWithPayload", mvFrame(0x5A, {1})},
        RefusedCase{"WorkModeTwo", mvFrame(0x62, {2})}, RefusedCase{"DhcpTwo", mvFrame(0x63, {2})},
        RefusedCase{"PanelLockTwo", mvFrame(0x50, {2})},
        RefusedCase{"UmdNameInputZero", buildIndexedText(kTypeMultiviewer, 0x01, kLinkLan, 0, u"X")},
        RefusedCase{"UmdNameInputSeventeen", buildIndexedText(kTypeMultiviewer, 0x01, kLinkLan, 17, u"X")},
        RefusedCase{"UmdNameWrongFixedBytes", mvFrame(0x1E, {3, 1, 0, 1, 0, 1, 0, 0, 'X', 0})},
        RefusedCase{"UmdNameOddText", mvFrame(0x1E, {3, 1, 0, 1, 0, 1, 0, 1, 'X'})},
        RefusedCase{"CustomNameOddLength", mvFrame(0x0F, {'A', 0, 'B'})},
        RefusedCase{"NetworkShort", mvFrame(0x05, {192, 168, 1, 50})},
        RefusedCase{"OtherType", buildFrame(kType8x8, 0x01, kLinkLan, 0x33, {90})},
        RefusedCase{"UnknownCode", mvFrame(0x40, {1})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindowRequests, PanelLockIsKeptAndNotReported) {
    Bench bench;
    bench.request(buildPanelLock(kTypeMultiviewer, 0x01, kLinkLan, true));
    EXPECT_EQ(bench.device.state().panelLocked, 1);
    bench.request(buildPanelLock(kTypeMultiviewer, 0x01, kLinkSerial, false));
    EXPECT_EQ(bench.device.state().panelLocked, 0);
    EXPECT_TRUE(bench.reports.empty());
}

TEST(MainWindowRequests, CustomNameReadsBackFromTheStatusBlock) {
    struct Case {
        std::u16string sent;
        std::u16string readBack;
    };
    // A zero unit ends the text: the device keeps nothing after it that the PC could not read back.
    for (const Case& c :
         {Case{u"Studio 4", u"Studio 4"}, Case{u"", u""}, Case{u"ABCDEFGHIJKLMNOPQRST", u"ABCDEFGHIJKLMNOP"},
          Case{std::u16string(u"Ab\0cd", 5), u"Ab"}}) {
        Bench bench;
        bench.request(buildCustomName(kTypeMultiviewer, 0x01, kLinkLan, c.sent));
        EXPECT_EQ(bench.device.state().model.DeviceName, c.readBack);
        MultiviewerState pc;
        pc.StatusBlock = encodeStatusBlock(bench.device.state().model);
        decodeStatusBlock(pc);
        EXPECT_EQ(pc.DeviceName, c.readBack);
        EXPECT_TRUE(bench.reports.empty());
    }
}

TEST(MainWindowRequests, NetworkSettingsSetTheAddressAndDhcp) {
    Bench bench;
    bench.request(
        buildNetworkSettings(kTypeMultiviewer, 0x01, kLinkLan, {192, 168, 1, 50, 0, 0, 0, 0, 0, 0, 0, 0}, 0));
    MultiviewerDeviceState s = bench.device.state();
    EXPECT_EQ(s.networkAddress, (std::array<uint8_t, 12>{192, 168, 1, 50, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s.model.DeviceDhcpOn, 0);

    bench.request(buildNetworkSettings(kTypeMultiviewer, 0x01, kLinkSerial, {}, 1));
    s = bench.device.state();
    EXPECT_EQ(s.networkAddress, (std::array<uint8_t, 12>{}));
    EXPECT_EQ(s.model.DeviceDhcpOn, 1);
    MultiviewerState pc;
    pc.StatusBlock = encodeStatusBlock(s.model);
    decodeStatusBlock(pc);
    EXPECT_EQ(pc.DeviceDhcpOn, 1) << "the status block shows it";
    EXPECT_TRUE(bench.reports.empty());
}

TEST(UmdName, LongerThanARecordIsCutToSixteenCharacters) {
    Bench bench;
    bench.request(buildIndexedText(kTypeMultiviewer, 0x01, kLinkLan, 16, u"ABCDEFGHIJKLMNOPQR"));
    EXPECT_EQ(bench.device.state().model.UmdName[15], u"ABCDEFGHIJKLMNOP");
    EXPECT_TRUE(bench.reports.empty());
}

TEST(UmdName, EndsAtItsFirstZeroUnitAsThePcReadsItBack) {
    Bench bench;
    bench.request(buildIndexedText(kTypeMultiviewer, 0x01, kLinkLan, 3, std::u16string(u"Cam\0era", 7)));
    EXPECT_EQ(bench.device.state().model.UmdName[2], u"Cam");
    MultiviewerState pc;
    pc.StatusBlock = encodeStatusBlock(bench.device.state().model);
    decodeStatusBlock(pc);
    EXPECT_EQ(pc.UmdName[2], u"Cam");
}

TEST(CustomPresets, LoadRestoresWhatWasSavedAndAsksForARead) {
    Bench bench;
    bench.request(0x33, {41});
    bench.request(0x3B, {0, 5});
    bench.request(0x58, {1});
    const StatusBlock first = encodeStatusBlock(bench.device.state().model);
    bench.request(0x33, {92});
    bench.request(0x5C, {0});
    bench.request(0x58, {2});
    const StatusBlock second = encodeStatusBlock(bench.device.state().model);
    ASSERT_NE(first, second);

    bench.reports.clear();
    bench.request(0x59, {1});
    EXPECT_EQ(encodeStatusBlock(bench.device.state().model), first);
    ASSERT_EQ(bench.reports.size(), 1u);
    EXPECT_EQ(bench.reports[0][16], 0x59);
    EXPECT_EQ(bench.reports[0].size(), 21u) << "no data: the PC reads the whole state";

    bench.request(0x59, {2});
    EXPECT_EQ(encodeStatusBlock(bench.device.state().model), second);
}

// A preset holds settings: the name given later, the work mode and the signals stay as they are.
TEST(CustomPresets, LoadKeepsNameModeAndSignals) {
    Bench bench;
    bench.request(0x58, {2});
    bench.request(buildCustomName(kTypeMultiviewer, 0x01, kLinkLan, u"Later"));
    bench.request(0x62, {1});
    ASSERT_TRUE(bench.device.setSignal(14, 1, 23));
    bench.request(0x59, {2});
    const MultiviewerState s = bench.device.state().model;
    EXPECT_EQ(s.DeviceName, u"Later");
    EXPECT_EQ(s.SwitcherMode, 1);
    EXPECT_EQ(s.WindowSignal[14], (WindowSignal{1, 23}));
}

TEST(ResetMatrix, RoutesOneToOneAndReportsAWholeStateChange) {
    Bench bench;
    bench.request(0x62, {1});
    bench.request(0x34, {9, 1});
    bench.request(0x34, {9, 2});
    bench.reports.clear();
    bench.request(0x5A, {});
    const auto routes = bench.device.state().model.MatrixRoute;
    for (size_t k = 0; k < routes.size(); ++k) EXPECT_EQ(routes[k], k + 1);
    ASSERT_EQ(bench.reports.size(), 1u);
    EXPECT_EQ(bench.reports[0][16], 0x38);
}

}  // namespace simulator_multiviewer_requests_test
}  // namespace kvx
