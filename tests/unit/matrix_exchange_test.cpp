#include "matrix/matrix_exchange.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "unit/support/pc_links.h"

namespace kvx {
namespace matrix_exchange_test {

constexpr uint8_t kEntrySub = 0x07;

// A reply as a switcher frames it: byte 17 unread, the data from byte 18.
Bytes replyFrame(uint8_t type, uint8_t command, const Bytes& data) {
    Bytes payload{0x00};
    payload.insert(payload.end(), data.begin(), data.end());
    return buildFrame(type, 0x01, kLinkLan, command, payload);
}

// A routing reply with routes 8, 7, ... 1 (16, ... 1), locked, DHCP on, format code 23 and the name "Ab",
// its name area padded to 32 bytes as the serial reader expects.
Bytes routingReply(const MatrixKind& kind) {
    Bytes data;
    for (int k = 1; k <= kind.ports; ++k) data.push_back(static_cast<uint8_t>(kind.ports + 1 - k));
    data.insert(data.end(), {1, 1});
    if (kind.hasOutputFormat) data.push_back(23);
    data.insert(data.end(), {4, 'A', 0, 'b', 0});
    data.resize(data.size() + 28, 0);
    return replyFrame(kind.type, 0x53, data);
}

const Bytes kBacklightReply = replyFrame(0x03, 0x50, {3, 80});

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class MatrixExchange : public ::testing::Test, protected test::PcLinks, protected test::AnsweringDevice {
protected:
    MatrixExchange() : AnsweringDevice(static_cast<PcLinks&>(*this)) {
        entry.setAddress("10.0.0.2");
        entry.deviceType = kType16x16;
        entry.subCode = kEntrySub;
    }

    Target lan() const { return Target{kLinkLan, entry}; }
    Target overSerial() {
        EXPECT_TRUE(serial.open(test::kSerialName, 9600));
        return Target{kLinkSerial, entry};
    }

    DeviceEntry entry;
};

TEST_F(MatrixExchange, ReadsRoutingOverTheLan) {
    lanAnswers = {routingReply(kMatrix8x8)};
    testing::internal::CaptureStdout();
    const auto outcome = readRouting(link, lan(), kMatrix8x8);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "readLen = 64 \nread matrix \n");

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], buildFrame(0x82, 0x01, kLinkLan, 0x53));
    EXPECT_TRUE(outcome.exchanged);
    ASSERT_TRUE(outcome.reply.has_value());
    EXPECT_EQ(outcome.reply->routes[0], 8);
    EXPECT_EQ(outcome.reply->panelLocked, 1);
    EXPECT_EQ(outcome.reply->name, u"Ab");
    EXPECT_FALSE(udp.commandSocketOpen());
}

TEST_F(MatrixExchange, LanReadSkipsOtherDatagramsAndPrintsTheLowByteOfEachLength) {
    const Bytes longOther = replyFrame(0x83, 0x33, Bytes(280, 0));  // cut to 256 bytes: length 0 in 8 bits
    lanAnswers = {replyFrame(0x83, 0x50, {1, 2}), longOther, routingReply(kMatrix16x16)};
    testing::internal::CaptureStdout();
    const auto outcome = readRouting(link, lan(), kMatrix16x16);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "readLen = 23 \nreadLen = 0 \nreadLen = 73 \nread matrix \n");
    ASSERT_TRUE(outcome.reply.has_value());
    EXPECT_EQ(outcome.reply->outputFormatPosition, 1);  // "1080p59.94"
    EXPECT_EQ(requests[0], buildFrame(0x83, 0x01, kLinkLan, 0x53));
}

TEST_F(MatrixExchange, LanReadWithoutAnswerPollsTwentyTimes) {
    testing::internal::CaptureStdout();
    const auto outcome = readRouting(link, lan(), kMatrix8x8);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(countOf(printed, "readLen = "), 20);
    EXPECT_TRUE(printed.ends_with("read matrix \n"));
    EXPECT_TRUE(outcome.exchanged);
    EXPECT_FALSE(outcome.reply.has_value());
    EXPECT_FALSE(udp.commandSocketOpen());
}

TEST_F(MatrixExchange, LanReadWithoutADeviceDoesNotRun) {
    testing::internal::CaptureStdout();
    const auto outcome = readRouting(link, Target{kLinkLan, std::nullopt}, kMatrix8x8);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(outcome.exchanged);
    EXPECT_EQ(errors.shown, std::vector<std::string>{"Please choose a device"});
    EXPECT_TRUE(requests.empty());
}

TEST_F(MatrixExchange, ReadsBacklightOverTheLan) {
    lanAnswers = {kBacklightReply};
    testing::internal::CaptureStdout();
    const auto outcome = readBacklight(link, lan(), kMatrix16x16);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "readLen = 23 \n");
    ASSERT_TRUE(outcome.reply.has_value());
    EXPECT_EQ(outcome.reply->time, 3);
    EXPECT_EQ(outcome.reply->brightness, 80);
    EXPECT_EQ(requests[0], buildFrame(0x03, 0x01, kLinkLan, 0x50));
}

struct SerialReadCase {
    const char* name;
    const MatrixKind* kind;
    bool backlight;
    int delayMs;  // when the reply arrives after the request
    bool expectReply;
    int64_t elapsedMs;  // on the manual clock: 20 ms after the write, then the polls
};

class MatrixSerialRead : public MatrixExchange, public ::testing::WithParamInterface<SerialReadCase> {};

TEST_P(MatrixSerialRead, PollsUntilTheWholeReplyWaits) {
    const SerialReadCase& c = GetParam();
    if (c.delayMs >= 0) serialAnswers = {c.backlight ? kBacklightReply : routingReply(*c.kind)};
    serialDelayMs = c.delayMs;
    const Target target = overSerial();
    const int64_t start = clock.steadyMs();

    bool exchanged = false;
    bool replied = false;
    if (c.backlight) {
        const auto outcome = readBacklight(link, target, *c.kind);
        exchanged = outcome.exchanged;
        replied = outcome.reply.has_value();
        EXPECT_EQ(requests.at(0), buildFrame(0x03, 0x01, kLinkSerial, 0x50));
    } else {
        const auto outcome = readRouting(link, target, *c.kind);
        exchanged = outcome.exchanged;
        replied = outcome.reply.has_value();
        if (replied) {
            EXPECT_EQ(outcome.reply->routes[0], c.kind->ports);
        }
        EXPECT_EQ(requests.at(0), buildFrame(c.kind->type, 0x01, kLinkSerial, 0x53));
    }
    EXPECT_TRUE(exchanged);
    EXPECT_EQ(replied, c.expectReply);
    EXPECT_EQ(clock.steadyMs() - start, c.elapsedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Reads, MatrixSerialRead,
    ::testing::Values(SerialReadCase{"EightRoutingAtOnce", &kMatrix8x8, false, 0, true, 20},
                      SerialReadCase{"SixteenRoutingAtOnce", &kMatrix16x16, false, 0, true, 20},
                      SerialReadCase{"EightRoutingLate", &kMatrix8x8, false, 130, true, 20 + 3 * 50},
                      SerialReadCase{"SixteenRoutingLate", &kMatrix16x16, false, 130, true, 20 + 2 * 100},
                      SerialReadCase{"EightRoutingNever", &kMatrix8x8, false, -1, false, 20 + 20 * 50},
                      SerialReadCase{"SixteenRoutingNever", &kMatrix16x16, false, -1, false, 20 + 20 * 100},
                      SerialReadCase{"EightBacklight", &kMatrix8x8, true, 0, true, 20},
                      SerialReadCase{"SixteenBacklightNever", &kMatrix16x16, true, -1, false, 20 + 20 * 100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MatrixExchange, SerialReplyShorterThanTheReadSizeIsNeverRead) {
    // An unpadded 8x8 reply (a name of 4 bytes): the reader waits for 64 bytes that never come.
    Bytes data{1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 4, 'A', 0, 'b', 0};
    serialAnswers = {replyFrame(0x82, 0x53, data)};
    const auto outcome = readRouting(link, overSerial(), kMatrix8x8);
    EXPECT_TRUE(outcome.exchanged);
    EXPECT_FALSE(outcome.reply.has_value());
}

TEST_F(MatrixExchange, SerialReplyOfAnotherCommandIsNotUsed) {
    Bytes wrong = routingReply(kMatrix8x8);
    wrong[16] = 0x50;
    serialAnswers = {wrong};
    const auto outcome = readRouting(link, overSerial(), kMatrix8x8);
    EXPECT_TRUE(outcome.exchanged);
    EXPECT_FALSE(outcome.reply.has_value());
}

TEST_F(MatrixExchange, ClosedSerialPortReadsAndSendsNothing) {
    const Target target{kLinkSerial, entry};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(readRouting(link, target, kMatrix8x8).exchanged);
    EXPECT_FALSE(readBacklight(link, target, kMatrix8x8).exchanged);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(sendRoutingText(link, target, "All#."));
    EXPECT_TRUE(line->writtenBlocks().empty());
}

struct SendCase {
    const char* name;
    std::function<bool(DeviceLink&, const Target&)> send;
    std::function<Bytes(LinkKind)> expected;  // what goes out
    int serialPauseMs;
};

class MatrixSend : public MatrixExchange, public ::testing::WithParamInterface<SendCase> {};

TEST_P(MatrixSend, SendsTheBytesOverBothLinks) {
    ASSERT_TRUE(GetParam().send(link, lan()));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], GetParam().expected(kLinkLan));
    EXPECT_FALSE(udp.commandSocketOpen());

    const Target serialTarget = overSerial();
    const int64_t start = clock.steadyMs();
    ASSERT_TRUE(GetParam().send(link, serialTarget));
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1], GetParam().expected(kLinkSerial));
    EXPECT_EQ(clock.steadyMs() - start, GetParam().serialPauseMs);
}

Bytes ascii(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

INSTANTIATE_TEST_SUITE_P(
    Senders, MatrixSend,
    ::testing::Values(
        SendCase{"RouteText",
                 [](DeviceLink& l, const Target& t) { return sendRoutingText(l, t, "3V1,2,5."); },
                 [](LinkKind) { return ascii("3V1,2,5."); }, 20},
        SendCase{"OneToOneText",
                 [](DeviceLink& l, const Target& t) { return sendRoutingText(l, t, "All#."); },
                 [](LinkKind) { return ascii("All#."); }, 20},
        SendCase{"BacklightTime", [](DeviceLink& l, const Target& t) { return sendBacklightTime(l, t, 4); },
                 [](LinkKind k) { return buildFrame(0x03, kEntrySub, k, 0x51, {4}); }, 0},
        SendCase{"Brightness",
                 [](DeviceLink& l, const Target& t) { return sendBacklightBrightness(l, t, 55); },
                 [](LinkKind k) { return buildFrame(0x03, kEntrySub, k, 0x52, {55}); }, 0},
        SendCase{"OutputFormat720p5994",
                 [](DeviceLink& l, const Target& t) { return sendOutputFormat(l, t, 12); },
                 [](LinkKind k) {
                     return buildFrame(0x83, kEntrySub, k, 0x19, {0x00, 30});
                 },
                 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MatrixExchange, OutputFormatOutsideTheListSendsNothing) {
    EXPECT_FALSE(sendOutputFormat(link, lan(), 21));
    EXPECT_FALSE(sendOutputFormat(link, lan(), -1));
    EXPECT_TRUE(requests.empty());
}

TEST(MatrixDiagnostics, BrightnessRelease) {
    testing::internal::CaptureStdout();
    writeBrightnessReleased(55);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "send data is 55 \n");
}

}  // namespace matrix_exchange_test
}  // namespace kvx
