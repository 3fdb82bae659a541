#include <gtest/gtest.h>

#include "platform/ipv4.h"

namespace kvx {
namespace platform_ipv4_test {

struct ParseCase {
    const char* text;
    std::optional<uint32_t> expected;
};

class Ipv4Parsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Ipv4Parsing, AcceptsOnlyFourDecimalOctets) {
    EXPECT_EQ(parseIpv4(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, Ipv4Parsing,
    ::testing::Values(ParseCase{"192.168.1.2", 0xC0A80102u}, ParseCase{"0.0.0.0", 0u},
                      ParseCase{"255.255.255.255", 0xFFFFFFFFu}, ParseCase{"127.0.0.1", 0x7F000001u},
                      ParseCase{"10.0.0.200", 0x0A0000C8u}, ParseCase{"010.1.1.1", 0x0A010101u},
                      ParseCase{"", std::nullopt}, ParseCase{"1.2.3", std::nullopt},
                      ParseCase{"1.2.3.4.5", std::nullopt}, ParseCase{"256.1.1.1", std::nullopt},
                      ParseCase{"1.2.3.256", std::nullopt}, ParseCase{"1..3.4", std::nullopt},
                      ParseCase{".1.2.3", std::nullopt}, ParseCase{"1.2.3.", std::nullopt},
                      ParseCase{"1.2.3.4 ", std::nullopt}, ParseCase{" 1.2.3.4", std::nullopt},
                      ParseCase{"+1.2.3.4", std::nullopt}, ParseCase{"-1.2.3.4", std::nullopt},
                      ParseCase{"1.2.3.0x4", std::nullopt}, ParseCase{"0001.2.3.4", std::nullopt},
                      ParseCase{"4294967297.0.0.1", std::nullopt}, ParseCase{"a.b.c.d", std::nullopt},
                      ParseCase{"1,2,3,4", std::nullopt}));

TEST(Ipv4Formatting, WritesDottedDecimalInNetworkOrder) {
    EXPECT_EQ(formatIpv4(0xC0A80102u), "192.168.1.2");
    EXPECT_EQ(formatIpv4(0u), "0.0.0.0");
    EXPECT_EQ(formatIpv4(kBroadcastAddress), "255.255.255.255");
    EXPECT_EQ(formatIpv4(0x0A00FF01u), "10.0.255.1");
}

TEST(Ipv4Formatting, ParsesBackWhatItWrites) {
    for (uint32_t address : {0x01020304u, 0xC0A8FE0Au, 0x7F000001u, 0x00FF00FFu}) {
        EXPECT_EQ(parseIpv4(formatIpv4(address)), address);
    }
}

}  // namespace platform_ipv4_test
}  // namespace kvx
