#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "matrix/matrix_replies.h"
#include "simulator/matrix_switcher_device.h"

namespace kvx {
namespace simulator_matrix_switcher_test {

SimulatedDevice::Identity identityOf(uint8_t type) {
    return {type, 0x07, "MATRIX", {1, 2, 3, 4}};
}

std::vector<uint8_t> routesOf(const MatrixSwitcherDevice& device) {
    const auto routes = device.state().routes;
    return {routes.begin(), routes.begin() + device.outputs()};
}

// Every answer the device gives to one frame.
std::vector<Bytes> answers(MatrixSwitcherDevice& device, const Bytes& frame) {
    std::vector<Bytes> replies;
    device.handleFrame(frame, [&](const Bytes& reply) { replies.push_back(reply); });
    return replies;
}

struct TextCase {
    const char* name;
    uint8_t type;
    std::vector<std::string> texts;
    std::vector<uint8_t> routes;
};

class RoutingTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(RoutingTexts, RouteOrChangeNothing) {
    MatrixSwitcherDevice device(identityOf(GetParam().type));
    for (const std::string& text : GetParam().texts) device.handleText(text);
    EXPECT_EQ(routesOf(device), GetParam().routes);
    EXPECT_EQ(device.receivedTexts(), GetParam().texts);
}

const std::vector<uint8_t> kStraight8{1, 2, 3, 4, 5, 6, 7, 8};
const std::vector<uint8_t> kStraight16{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

INSTANTIATE_TEST_SUITE_P(
    Applied, RoutingTexts,
    ::testing::Values(
        TextCase{"ToChosenOutputs", 0x82, {"3V1,2,5."}, {3, 3, 3, 4, 3, 6, 7, 8}},
        TextCase{"ToOneOutput", 0x82, {"8V1."}, {8, 2, 3, 4, 5, 6, 7, 8}},
        TextCase{"RepeatedOutput", 0x82, {"2V1,1."}, {2, 2, 3, 4, 5, 6, 7, 8}},
        TextCase{"ToAll", 0x82, {"8All."}, std::vector<uint8_t>(8, 8)},
        TextCase{"OneToOneAfterAll", 0x82, {"5All.", "All#."}, kStraight8},
        TextCase{
            "TwoDigitOutputs", 0x83, {"4V2,11,16."}, {1, 4, 3, 4, 5, 6, 7, 8, 9, 10, 4, 12, 13, 14, 15, 4}},
        TextCase{
            "TwoDigitInput", 0x83, {"12V9,10."}, {1, 2, 3, 4, 5, 6, 7, 8, 12, 12, 11, 12, 13, 14, 15, 16}},
        TextCase{"SixteenToAll", 0x83, {"16All."}, std::vector<uint8_t>(16, 16)}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Malformed, RoutingTexts,
    ::testing::Values(
        TextCase{"Empty", 0x82, {""}, kStraight8}, TextCase{"NoOutputs", 0x82, {"3V."}, kStraight8},
        TextCase{"TrailingComma", 0x82, {"3V1,."}, kStraight8},
        TextCase{"NoFullStop", 0x82, {"3V1,2"}, kStraight8},
        TextCase{"EmptyBetweenCommas", 0x82, {"3V1,,2."}, kStraight8},
        TextCase{"LeadingZeroInput", 0x82, {"03V1."}, kStraight8},
        TextCase{"LeadingZeroOutput", 0x82, {"3V01."}, kStraight8},
        TextCase{"InputZero", 0x82, {"0V1."}, kStraight8},
        TextCase{"InputAboveEight", 0x82, {"9V1."}, kStraight8},
        TextCase{"OutputAboveEight", 0x82, {"3V1,9."}, kStraight8},
        TextCase{"InputAboveSixteen", 0x83, {"17V1."}, kStraight16},
        TextCase{"OutputAboveSixteen", 0x83, {"3V1,17."}, kStraight16},
        TextCase{"ThreeDigits", 0x83, {"100V1."}, kStraight16},
        TextCase{"LowerCaseV", 0x82, {"3v1."}, kStraight8},
        TextCase{"LowerCaseAll", 0x82, {"3all."}, kStraight8},
        TextCase{"AllWithoutInput", 0x82, {"All."}, kStraight8},
        TextCase{"AllAboveEight", 0x82, {"9All."}, kStraight8},
        TextCase{"OneToOneWithoutFullStop", 0x82, {"5All.", "All#"}, std::vector<uint8_t>(8, 5)},
        TextCase{"OneToOneWithTail", 0x82, {"5All.", "All#.."}, std::vector<uint8_t>(8, 5)},
        TextCase{"TwoCommands", 0x82, {"3V1.2V2."}, kStraight8},
        TextCase{"LeadingSpace", 0x82, {" 3V1."}, kStraight8},
        TextCase{"Negative", 0x82, {"3V-1."}, kStraight8}, TextCase{"NoInput", 0x82, {"V1."}, kStraight8}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReplySizeCase {
    uint8_t type;
    uint8_t command;
    size_t size;
};

class ReplySizes : public ::testing::TestWithParam<ReplySizeCase> {};

// A serial reader waits for exactly this many bytes, whatever the name's length.
TEST_P(ReplySizes, MatchWhatASerialReaderWaitsFor) {
    MatrixSwitcherDevice device(identityOf(GetParam().type));
    for (const std::u16string& name : {std::u16string(), std::u16string(u"A"), std::u16string(16, u'x')}) {
        auto state = device.state();
        state.name = name;
        device.setState(state);
        const uint8_t requestType = GetParam().command == 0x53 ? GetParam().type : kBacklightType;
        const auto replies = answers(device, buildFrame(requestType, 0x01, kLinkSerial, GetParam().command));
        ASSERT_EQ(replies.size(), 1u);
        const Bytes& reply = replies[0];
        ASSERT_EQ(reply.size(), GetParam().size);
        EXPECT_EQ(reply[2] | (reply[3] << 8), static_cast<int>(reply.size()));
        EXPECT_EQ(reply[4], GetParam().type);
        EXPECT_EQ(reply[16], GetParam().command);
        EXPECT_EQ(reply.back(), 0xAE);
        EXPECT_EQ(reply[reply.size() - 3] | (reply[reply.size() - 2] << 8),
                  checksum(std::span(reply).first(reply.size() - 3)));
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, ReplySizes,
                         ::testing::Values(ReplySizeCase{0x82, 0x53, 64}, ReplySizeCase{0x83, 0x53, 73},
                                           ReplySizeCase{0x82, 0x50, 23}, ReplySizeCase{0x83, 0x50, 23}));

TEST(MatrixSwitcherDevice, RoutingReplyParsesBackWithThePanelsParser) {
    for (const MatrixKind* kind : {&kMatrix8x8, &kMatrix16x16}) {
        MatrixSwitcherDevice device(identityOf(kind->type));
        auto state = device.state();
        for (size_t i = 0; i < state.routes.size(); ++i)
            state.routes[i] = static_cast<uint8_t>(kind->ports - i % 5);
        state.panelLocked = 1;
        state.dhcpOn = 1;
        state.outputFormatCode = 23;
        state.name = u"Studio A";
        device.setState(state);

        const auto replies = answers(device, buildFrame(kind->type, 0x01, kLinkLan, 0x53));
        ASSERT_EQ(replies.size(), 1u);
        const auto reply = parseRoutingReply(replies[0], *kind);
        ASSERT_TRUE(reply.has_value());
        for (int k = 0; k < kind->ports; ++k)
            EXPECT_EQ(reply->routes[k], state.routes[k]) << "output " << k + 1;
        EXPECT_EQ(reply->panelLocked, 1);
        EXPECT_EQ(reply->dhcpOn, 1);
        EXPECT_EQ(reply->name, u"Studio A");
        if (kind->hasOutputFormat) {
            EXPECT_EQ(kMatrixOutputFormats[reply->outputFormatPosition].text, "1080p59.94");
        }
    }
}

TEST(MatrixSwitcherDevice, NoNameReadsBackAsCustomName) {
    MatrixSwitcherDevice device(identityOf(0x82));
    const auto replies = answers(device, buildFrame(0x82, 0x01, kLinkLan, 0x53));
    ASSERT_EQ(replies.size(), 1u);
    const auto reply = parseRoutingReply(replies[0], kMatrix8x8);
    ASSERT_TRUE(reply.has_value());
    EXPECT_FALSE(reply->name.has_value());
    EXPECT_EQ(reply->routes, (std::array<uint8_t, 16>{1, 2, 3, 4, 5, 6, 7, 8}));
}

// What the panels and the main window set reads back through the parsers.
TEST(MatrixSwitcherDevice, SettingsFramesReadBack) {
    MatrixSwitcherDevice device(identityOf(0x83));
    for (const Bytes& frame :
         {buildBacklightTime(0x07, kLinkLan, 2), buildBacklightBrightness(0x07, kLinkLan, 55),
          buildMatrixOutputFormat(0x07, kLinkLan, 30), buildPanelLock(0x83, 0x07, kLinkLan, true),
          buildCustomName(0x83, 0x07, kLinkLan, u"Deck 1"),
          buildNetworkSettings(0x83, 0x07, kLinkLan, {}, 1)}) {
        EXPECT_TRUE(answers(device, frame).empty());
    }

    const auto backlight = answers(device, buildFrame(0x03, 0x01, kLinkLan, 0x50));
    ASSERT_EQ(backlight.size(), 1u);
    const auto levels = parseBacklightReply(backlight[0]);
    ASSERT_TRUE(levels.has_value());
    EXPECT_EQ(levels->time, 2);
    EXPECT_EQ(levels->brightness, 55);

    const auto routing = answers(device, buildFrame(0x83, 0x01, kLinkLan, 0x53));
    ASSERT_EQ(routing.size(), 1u);
    const auto reply = parseRoutingReply(routing[0], kMatrix16x16);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->outputFormatCode, 30);
    EXPECT_EQ(reply->panelLocked, 1);
    EXPECT_EQ(reply->dhcpOn, 1);
    EXPECT_EQ(reply->name, u"Deck 1");
}

// Command 0x50 is the backlight read with type 0x03 and no payload, the panel lock with the device's own
// type and one byte; nothing else.
TEST(MatrixSwitcherDevice, TellsBacklightReadFromPanelLock) {
    MatrixSwitcherDevice device(identityOf(0x82));
    EXPECT_TRUE(answers(device, buildPanelLock(0x82, 0x01, kLinkLan, true)).empty());
    EXPECT_EQ(device.state().panelLocked, 1);
    EXPECT_TRUE(answers(device, buildFrame(0x03, 0x01, kLinkLan, 0x50, {0})).empty());
    EXPECT_TRUE(answers(device, buildFrame(0x82, 0x01, kLinkLan, 0x50)).empty());
    EXPECT_EQ(device.state().panelLocked, 1);
    EXPECT_EQ(answers(device, buildFrame(0x03, 0x01, kLinkLan, 0x50)).size(), 1u);
    answers(device, buildPanelLock(0x82, 0x01, kLinkLan, false));
    EXPECT_EQ(device.state().panelLocked, 0);
}

TEST(MatrixSwitcherDevice, IgnoresWhatDoesNotFit) {
    MatrixSwitcherDevice eight(identityOf(0x82));
    const auto before = eight.state();
    for (const Bytes& frame :
         {buildBacklightTime(0x01, kLinkLan, 5), buildBacklightBrightness(0x01, kLinkLan, 101),
          buildMatrixOutputFormat(0x01, kLinkLan, 30), buildFrame(0x82, 0x01, kLinkLan, 0x50, {2}),
          buildFrame(0x03, 0x01, kLinkLan, 0x51, {1, 2}), buildFrame(0x83, 0x01, kLinkLan, 0x53)}) {
        EXPECT_TRUE(answers(eight, frame).empty());
    }
    const auto after = eight.state();
    EXPECT_EQ(after.backlightTime, before.backlightTime);
    EXPECT_EQ(after.backlightBrightness, before.backlightBrightness);
    EXPECT_EQ(after.outputFormatCode, before.outputFormatCode);
    EXPECT_EQ(after.panelLocked, before.panelLocked);
}

TEST(MatrixSwitcherDevice, KeepsAtMostThirtyTwoNameBytes) {
    MatrixSwitcherDevice device(identityOf(0x82));
    answers(device, buildCustomName(0x82, 0x01, kLinkLan, u"0123456789ABCDEFGH"));
    EXPECT_EQ(device.state().name, u"0123456789ABCDEF");
    const auto reply = parseRoutingReply(device.routingReply(kLinkLan), kMatrix8x8);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->name, u"0123456789ABCDEF");
}

TEST(MatrixSwitcherDevice, IsAMatrixSwitcherOnly) {
    EXPECT_THROW(MatrixSwitcherDevice(identityOf(0xA1)), std::invalid_argument);
    EXPECT_EQ(MatrixSwitcherDevice(identityOf(0x83)).outputs(), 16);
}

}  // namespace simulator_matrix_switcher_test
}  // namespace kvx
