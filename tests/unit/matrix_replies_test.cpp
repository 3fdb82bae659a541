#include "matrix/matrix_replies.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "matrix/output_formats.h"

namespace kvx {
namespace matrix_replies_test {

// A reply as a device frames it: byte 17 unread, the data from byte 18.
Bytes replyFrame(uint8_t type, uint8_t command, const Bytes& data) {
    Bytes payload{0x00};
    payload.insert(payload.end(), data.begin(), data.end());
    return buildFrame(type, 0x01, kLinkLan, command, payload);
}

// The data of a routing reply: routes, lock, DHCP, (format code), name length, name bytes.
Bytes routingData(const MatrixKind& kind, uint8_t lock, uint8_t dhcp, uint8_t format, uint8_t length,
                  const Bytes& name) {
    Bytes data;
    for (int k = 1; k <= kind.ports; ++k) data.push_back(static_cast<uint8_t>(kind.ports + 1 - k));
    data.push_back(lock);
    data.push_back(dhcp);
    if (kind.hasOutputFormat) data.push_back(format);
    data.push_back(length);
    data.insert(data.end(), name.begin(), name.end());
    return data;
}

const Bytes kAbName = utf16le(u"Ab");                  // 4 bytes
const Bytes kFullName = utf16le(u"0123456789ABCDEF");  // 32 bytes

struct NameCase {
    const char* name;
    const MatrixKind* kind;
    uint8_t length;
    Bytes nameBytes;
    std::optional<std::u16string> expected;
};

class RoutingReplyName : public ::testing::TestWithParam<NameCase> {};

TEST_P(RoutingReplyName, UsesTheNameOnlyForLengthsOneToThirtyTwo) {
    const NameCase& c = GetParam();
    const auto reply = parseRoutingReply(
        replyFrame(c.kind->type, 0x53, routingData(*c.kind, 1, 0, 7, c.length, c.nameBytes)), *c.kind);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->name, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, RoutingReplyName,
    ::testing::Values(NameCase{"EightFour", &kMatrix8x8, 4, kAbName, u"Ab"},
                      NameCase{"SixteenFour", &kMatrix16x16, 4, kAbName, u"Ab"},
                      NameCase{"EightZeroShowsCustomName", &kMatrix8x8, 0, kAbName, std::nullopt},
                      NameCase{"EightThirtyTwo", &kMatrix8x8, 32, kFullName, u"0123456789ABCDEF"},
                      NameCase{"SixteenThirtyTwo", &kMatrix16x16, 32, kFullName, u"0123456789ABCDEF"},
                      NameCase{"ThirtyThreeIsIgnored", &kMatrix8x8, 33, kFullName, std::nullopt},
                      NameCase{"TwoHundredIsIgnored", &kMatrix16x16, 200, kFullName, std::nullopt},
                      NameCase{"OddLengthDropsTheHalfUnit", &kMatrix8x8, 3, kAbName, u"A"},
                      NameCase{"LengthOneGivesAnEmptyName", &kMatrix8x8, 1, kAbName, u""},
                      NameCase{"LengthOnlyWithinTheName", &kMatrix16x16, 2, kAbName, u"A"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MatrixRoutingReply, EightByEightLayout) {
    const auto reply =
        parseRoutingReply(replyFrame(0x82, 0x53, routingData(kMatrix8x8, 1, 1, 0, 0, {})), kMatrix8x8);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->routes, (std::array<uint8_t, kMaxMatrixPorts>{8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(reply->panelLocked, 1);
    EXPECT_EQ(reply->dhcpOn, 1);
    EXPECT_EQ(reply->outputFormatPosition, 0);
}

TEST(MatrixRoutingReply, SixteenBySixteenLayout) {
    const Bytes frame = replyFrame(0x83, 0x53, routingData(kMatrix16x16, 0, 1, 30, 4, kAbName));
    ASSERT_EQ(frame[34], 0);   // lock
    ASSERT_EQ(frame[36], 30);  // format code
    ASSERT_EQ(frame[37], 4);   // name length
    const auto reply = parseRoutingReply(frame, kMatrix16x16);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->routes[0], 16);
    EXPECT_EQ(reply->routes[15], 1);
    EXPECT_EQ(reply->panelLocked, 0);
    EXPECT_EQ(reply->dhcpOn, 1);
    EXPECT_EQ(reply->outputFormatCode, 30);
    EXPECT_EQ(kMatrixOutputFormats[reply->outputFormatPosition].text, "720p59.94");
    EXPECT_EQ(reply->name, u"Ab");
}

struct FormatCase {
    uint8_t code;
    std::string_view text;
};

class RoutingReplyFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(RoutingReplyFormat, SelectsThePositionOfTheCode) {
    const auto reply = parseRoutingReply(
        replyFrame(0x83, 0x53, routingData(kMatrix16x16, 0, 0, GetParam().code, 0, {})), kMatrix16x16);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(kMatrixOutputFormats[reply->outputFormatPosition].text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Codes, RoutingReplyFormat,
                         ::testing::Values(FormatCase{23, "1080p59.94"}, FormatCase{7, "1080p60"},
                                           FormatCase{24, "525i59.94"}, FormatCase{1, "1080i50"},
                                           FormatCase{0, "1080p60"}, FormatCase{99, "1080p60"},
                                           FormatCase{255, "1080p60"}));

TEST(MatrixRoutingReply, IsUsedOnlyForTheReadRoutingCommand) {
    Bytes frame = replyFrame(0x82, 0x53, routingData(kMatrix8x8, 0, 0, 0, 0, {}));
    frame[16] = 0x50;
    EXPECT_FALSE(parseRoutingReply(frame, kMatrix8x8).has_value());
}

TEST(MatrixRoutingReply, TooShortForItsFixedFieldsIsNotUsed) {
    const Bytes eight = replyFrame(0x82, 0x53, routingData(kMatrix8x8, 1, 1, 0, 4, kAbName));
    EXPECT_FALSE(parseRoutingReply(std::span(eight).first(28), kMatrix8x8).has_value());
    EXPECT_TRUE(parseRoutingReply(std::span(eight).first(29), kMatrix8x8).has_value());

    const Bytes sixteen = replyFrame(0x83, 0x53, routingData(kMatrix16x16, 1, 1, 0, 4, kAbName));
    EXPECT_FALSE(parseRoutingReply(std::span(sixteen).first(37), kMatrix16x16).has_value());
    EXPECT_TRUE(parseRoutingReply(std::span(sixteen).first(38), kMatrix16x16).has_value());
    EXPECT_FALSE(parseRoutingReply(Bytes{}, kMatrix16x16).has_value());
}

TEST(MatrixRoutingReply, NameCutShortKeepsTheUnitsThatArrived) {
    const Bytes frame = replyFrame(0x82, 0x53, routingData(kMatrix8x8, 0, 0, 0, 32, kFullName));
    const auto reply = parseRoutingReply(std::span(frame).first(29 + 7), kMatrix8x8);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->name, u"012");
}

TEST(BacklightReply, ReadsTimeAndBrightness) {
    const auto reply = parseBacklightReply(replyFrame(0x03, 0x50, {3, 80}));
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->time, 3);
    EXPECT_EQ(reply->brightness, 80);
}

TEST(BacklightReply, NeedsItsCommandAndBothBytes) {
    EXPECT_FALSE(parseBacklightReply(replyFrame(0x03, 0x53, {3, 80})).has_value());
    const Bytes frame = replyFrame(0x03, 0x50, {3, 80});
    EXPECT_FALSE(parseBacklightReply(std::span(frame).first(19)).has_value());
    EXPECT_TRUE(parseBacklightReply(std::span(frame).first(20)).has_value());
}

TEST(MatrixOutputFormats, PositionsAndCodesMatchBothWays) {
    for (size_t position = 0; position < kMatrixOutputFormats.size(); ++position) {
        const uint8_t code = kMatrixOutputFormats[position].code;
        EXPECT_EQ(matrixOutputFormatPosition(code), position) << kMatrixOutputFormats[position].text;
        EXPECT_EQ(matrixOutputFormatCode(static_cast<int>(position)), code);
    }
    EXPECT_EQ(matrixOutputFormatCode(21), std::nullopt);
    EXPECT_EQ(matrixOutputFormatCode(-1), std::nullopt);
    EXPECT_EQ(matrixOutputFormatCode(12), 30);  // "720p59.94"
}

// A rate divided by 1.001 has the code of the whole rate plus 16.
TEST(MatrixOutputFormats, FractionalRatesAreTheWholeRatePlusSixteen) {
    const std::pair<std::string_view, std::string_view> pairs[] = {
        {"1080p60", "1080p59.94"}, {"1080p30", "1080p29.97"}, {"1080p24", "1080p23.98"},
        {"1080i60", "1080i59.94"}, {"720p60", "720p59.94"},   {"720p30", "720p29.97"},
        {"525i60", "525i59.94"}};
    auto codeOf = [](std::string_view text) {
        for (const auto& entry : kMatrixOutputFormats) {
            if (entry.text == text) return static_cast<int>(entry.code);
        }
        return -1;
    };
    for (const auto& [whole, fractional] : pairs)
        EXPECT_EQ(codeOf(whole) + 16, codeOf(fractional)) << fractional;
}

// Random and cut-short replies never make the parser read past the bytes or keep a name over 32 bytes.
TEST(MatrixReplies, RandomAndTruncatedInputIsSafe) {
    std::mt19937 random(20190821);
    std::uniform_int_distribution<int> byte(0, 255);
    const Bytes valid16 = replyFrame(0x83, 0x53, routingData(kMatrix16x16, 1, 1, 23, 32, kFullName));
    const Bytes valid8 = replyFrame(0x82, 0x53, routingData(kMatrix8x8, 1, 1, 0, 32, kFullName));
    int used = 0;
    for (int i = 0; i < 100000; ++i) {
        const MatrixKind& kind = i % 2 ? kMatrix16x16 : kMatrix8x8;
        const Bytes& valid = i % 2 ? valid16 : valid8;
        Bytes input;
        if (i % 3 == 0) {
            input.assign(valid.begin(),
                         valid.begin() + std::uniform_int_distribution<size_t>(0, valid.size())(random));
        } else {
            input.resize(std::uniform_int_distribution<size_t>(0, 90)(random));
            for (auto& b : input) b = static_cast<uint8_t>(byte(random));
            if (input.size() > 16 && i % 5 != 0) input[16] = random() % 2 ? 0x53 : 0x50;
        }
        // Exactly sized on the heap, so that a read past the end is caught by the address sanitizer.
        const auto exact = std::make_unique<uint8_t[]>(input.size());
        std::copy(input.begin(), input.end(), exact.get());
        const std::span<const uint8_t> bytes(exact.get(), input.size());

        if (const auto reply = parseRoutingReply(bytes, kind)) {
            ++used;
            ASSERT_GE(bytes.size(), routingReplyOffsets(kind).name);
            ASSERT_LE(reply->name.value_or(u"").size() * 2, kMaxMatrixNameBytes);
            ASSERT_LT(reply->outputFormatPosition, kMatrixOutputFormats.size());
        }
        if (parseBacklightReply(bytes)) {
            ASSERT_GE(bytes.size(), 20u);
        }
    }
    EXPECT_GT(used, 1000);  // the loop did reach the decoding
}

}  // namespace matrix_replies_test
}  // namespace kvx
