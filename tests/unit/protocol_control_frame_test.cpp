#include <gtest/gtest.h>

#include "protocol/control_frame.h"

namespace kvx {
namespace protocol_control_frame_test {

struct FrameCase {
    const char* name;
    Bytes built;
    Bytes expected;
};

class FrameExamples : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameExamples, BuildsTheExactBytes) {
    EXPECT_EQ(GetParam().built, GetParam().expected);
}

LocalDateTime wednesday21August2019() {
    LocalDateTime t;
    t.year = 2019;
    t.month = 8;
    t.day = 21;
    t.weekday = 3;
    t.hour = 14;
    t.minute = 5;
    t.second = 9;
    return t;
}

std::array<uint8_t, 12> staticAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    return {a, b, c, d, 0, 0, 0, 0, 0, 0, 0, 0};
}

INSTANTIATE_TEST_SUITE_P(
    DocumentedFrames, FrameExamples,
    ::testing::Values(
        FrameCase{"PanelLockOverLan",
                  buildPanelLock(0xA1, 0x01, kLinkLan, true),
                  {0xA5, 0x6C, 0x15, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x50, 0x01, 0x1A, 0x02, 0xAE}},
        FrameCase{"StatusRequestOverSerial",
                  buildFrame(0xA1, 0x01, kLinkSerial, 0x0A),
                  {0xA5, 0x6C, 0x14, 0x00, 0xA1, 0x01, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0xD1, 0x01, 0xAE}},
        FrameCase{"DiscoveryProbe",
                  buildDiscoveryProbe(kLinkLan, wednesday21August2019()),
                  {0xA5, 0x6C, 0x1B, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0xFF, 0x19, 0x08, 0x21, 0x03, 0x14, 0x05, 0x09, 0x91, 0x04, 0xAE}},
        FrameCase{"StaticAddressApply",
                  buildNetworkSettings(0xA1, 0x01, kLinkLan, staticAddress(192, 168, 1, 100), 0),
                  {0xA5, 0x6C, 0x21, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0xC0, 0xA8, 0x01, 0x64, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA7, 0x03, 0xAE}},
        FrameCase{"DhcpOverSerial",
                  buildNetworkSettings(0xA1, 0x01, kLinkSerial, {}, 1),
                  {0xA5, 0x6C, 0x21, 0x00, 0xA1, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xDA, 0x01, 0xAE}},
        FrameCase{"EmptyCustomName", buildCustomName(0xA1, 0x01, kLinkLan, u""),
                  buildFrame(0xA1, 0x01, kLinkLan, 0x0F)},
        FrameCase{"BacklightTime", buildBacklightTime(0x07, kLinkLan, 4),
                  buildFrame(0x03, 0x07, kLinkLan, 0x51, {4})},
        FrameCase{"Brightness", buildBacklightBrightness(0x07, kLinkSerial, 80),
                  buildFrame(0x03, 0x07, kLinkSerial, 0x52, {80})},
        FrameCase{"MatrixOutputFormat720p5994", buildMatrixOutputFormat(0x02, kLinkLan, 30),
                  buildFrame(0x83, 0x02, kLinkLan, 0x19, {0x00, 30})}),
    [](const auto& info) { return info.param.name; });

TEST(ControlFrame, LengthCountsEveryByteAndChecksumCoversAllBeforeIt) {
    const Bytes payload{1, 2, 3};
    const Bytes f = buildFrame(0x82, 0x01, kLinkLan, 0x33, payload);
    ASSERT_EQ(f.size(), 23u);
    EXPECT_EQ(f[2] | (f[3] << 8), 23);
    const uint16_t sum = checksum(std::span(f).first(f.size() - 3));
    EXPECT_EQ(f[20], sum & 0xFF);
    EXPECT_EQ(f[21], sum >> 8);
    EXPECT_EQ(f.back(), 0xAE);
    for (size_t i = 7; i <= 15; ++i) EXPECT_EQ(f[i], 0) << "reserved byte " << i;
}

TEST(ControlFrame, ChecksumKeepsOnlyTheLow16Bits) {
    const Bytes ones(300, 0xFF);  // 300 * 255 = 76500 = 0x12AD4
    EXPECT_EQ(checksum(ones), 0x2AD4);
}

TEST(ControlFrame, PackedBcd) {
    EXPECT_EQ(toBcd(0), 0x00);
    EXPECT_EQ(toBcd(9), 0x09);
    EXPECT_EQ(toBcd(10), 0x10);
    EXPECT_EQ(toBcd(59), 0x59);
    EXPECT_EQ(toBcd(99), 0x99);
}

TEST(ControlFrame, IndexedTextCarriesTheFixedBytesThenTheText) {
    const Bytes f = buildIndexedText(0xA1, 0x01, kLinkLan, 3, u"CAM 1");
    ASSERT_EQ(f.size(), 28u + 2 * 5);
    EXPECT_EQ(f[16], 0x1E);
    EXPECT_EQ(f[17], 3);
    EXPECT_EQ(Bytes(f.begin() + 18, f.begin() + 25), (Bytes{1, 0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(Bytes(f.begin() + 25, f.begin() + 35), (Bytes{'C', 0, 'A', 0, 'M', 0, ' ', 0, '1', 0}));
    EXPECT_EQ(buildIndexedText(0xA1, 0x01, kLinkLan, 1, u"").size(), 28u);
}

TEST(ControlFrame, CustomNameIsUtf16LittleEndian) {
    const Bytes f = buildCustomName(0x82, 0x01, kLinkSerial, u"\u00C9A");
    ASSERT_EQ(f.size(), 24u);
    EXPECT_EQ(f[16], 0x0F);
    EXPECT_EQ(Bytes(f.begin() + 17, f.begin() + 21), (Bytes{0xC9, 0x00, 'A', 0x00}));
}

}  // namespace protocol_control_frame_test
}  // namespace kvx
