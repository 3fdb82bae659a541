#include <gtest/gtest.h>

#include <random>
#include <string>

#include "protocol/control_frame.h"
#include "protocol/discovery.h"

namespace kvx {
namespace protocol_discovery_replies_test {

// A discovery reply as the devices send it: name from byte 18, '-', one byte, '-', then the DeviceId.
Bytes reply(uint8_t type, uint8_t sub, const std::string& name, std::array<uint8_t, 4> id = {1, 2, 3, 4},
            uint8_t command = 0xFF) {
    Bytes payload{0x00};
    payload.insert(payload.end(), name.begin(), name.end());
    payload.insert(payload.end(), {'-', '0', '-'});
    payload.insert(payload.end(), id.begin(), id.end());
    return buildFrame(type, sub, kLinkLan, command, payload);
}

TEST(LanReply, MakesOneEntryFromAWellFormedReply) {
    FoundDevices found;
    const Bytes d = reply(0xA1, 0x07, "MV16", {0xDE, 0xAD, 0xBE, 0xEF});
    EXPECT_EQ(readLanReply(d, "10.0.0.5", found), LanReplyVerdict::Scanned);
    ASSERT_EQ(found.entries.size(), 1u);
    const DeviceEntry& e = found.entries[0];
    EXPECT_EQ(e.address(), "10.0.0.5");
    EXPECT_EQ(e.deviceType, 0xA1);
    EXPECT_EQ(e.subCode, 0x07);
    EXPECT_EQ(e.deviceId, (std::array<uint8_t, 4>{0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(e.modelFlag, 0);
    EXPECT_EQ(found.items[0], "MV16_10.0.0.5");
}

struct LanCase {
    const char* name;
    Bytes datagram;
    LanReplyVerdict verdict;
    size_t entries;
    int modelFlag;  // of the first entry, -1 when there is none
};

class LanReplyCases : public ::testing::TestWithParam<LanCase> {};

TEST_P(LanReplyCases, VerdictAndEntries) {
    FoundDevices found;
    EXPECT_EQ(readLanReply(GetParam().datagram, "192.168.1.20", found), GetParam().verdict);
    ASSERT_EQ(found.entries.size(), GetParam().entries);
    ASSERT_EQ(found.items.size(), GetParam().entries);
    if (GetParam().modelFlag >= 0) {
        EXPECT_EQ(found.entries[0].modelFlag, GetParam().modelFlag);
    }
}

// The datagram with one byte changed; a negative position counts from the end.
Bytes with(Bytes d, long at, uint8_t value) {
    d[at >= 0 ? static_cast<size_t>(at) : d.size() + at] = value;
    return d;
}

Bytes twoNamesInOneDatagram() {
    Bytes payload{0x00};
    for (char c : std::string("A-0-\x01\x02\x03\x04"
                              "B-0-\x05\x06\x07\x08"))
        payload.push_back(c);
    return buildFrame(0x82, 0x01, kLinkLan, 0xFF, payload);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, LanReplyCases,
    ::testing::Values(
        LanCase{"TypeA2Ignored", reply(0xA2, 1, "X"), LanReplyVerdict::UnknownType, 0, -1},
        LanCase{"Type60Listed", reply(0x60, 1, "Other"), LanReplyVerdict::Scanned, 1, 0},
        LanCase{"ModelNameSetsFlag", reply(0x83, 1, "TQL2408P"), LanReplyVerdict::Scanned, 1, 1},
        LanCase{"ModelNameOtherCaseDoesNot", reply(0x83, 1, "tql2408P"), LanReplyVerdict::Scanned, 1, 0},
        LanCase{"WrongStartByte", with(reply(0x82, 1, "M"), 0, 0xA4), LanReplyVerdict::NotAFrame, 0, -1},
        LanCase{"WrongSecondByte", with(reply(0x82, 1, "M"), 1, 0x6D), LanReplyVerdict::NotAFrame, 0, -1},
        LanCase{"WrongEndByte", with(reply(0x82, 1, "M"), -1, 0x00), LanReplyVerdict::NotAFrame, 0, -1},
        LanCase{"WrongChecksumStillAccepted", with(reply(0x82, 1, "M"), -3, 0x00), LanReplyVerdict::Scanned,
                1, 0},
        LanCase{"TwoNamesInOneDatagram", twoNamesInOneDatagram(), LanReplyVerdict::Scanned, 2, 0},
        LanCase{"NoNamePattern", buildFrame(0x82, 1, kLinkLan, 0xFF, {0, 'A', 'B', 'C', 'D', 'E'}),
                LanReplyVerdict::Scanned, 0, -1},
        LanCase{"TwoBytesOnly", Bytes{0xA5, 0xAE}, LanReplyVerdict::NotAFrame, 0, -1}),
    [](const auto& info) { return info.param.name; });

TEST(LanReply, RepliesShorterThan22BytesAddNoEntry) {
    // 21 bytes: header, data byte 17, the pattern's first '-' at 18 and the frame's tail; nothing to scan.
    for (size_t n = 2; n <= 21; ++n) {
        Bytes d(n, '-');
        d[0] = 0xA5;
        d[1] = 0x6C;
        if (n > 4) d[4] = 0x82;
        d[n - 1] = 0xAE;
        FoundDevices found;
        readLanReply(d, "10.0.0.1", found);
        EXPECT_TRUE(found.entries.empty()) << n << " bytes";
    }
    Bytes d(22, '-');
    d[0] = 0xA5, d[1] = 0x6C, d[4] = 0x82, d[21] = 0xAE;
    FoundDevices found;
    readLanReply(d, "10.0.0.1", found);
    EXPECT_EQ(found.entries.size(), 1u) << "22 bytes hold an empty name and its pattern";
}

TEST(LanReply, DeviceIdBytesBeyondTheDatagramCountAsZero) {
    // The pattern ends two bytes before the end byte: the id takes the checksum, the end byte and zeros.
    Bytes payload{0x00, 'N', '-', '0', '-'};
    Bytes d = buildFrame(0x82, 0x01, kLinkLan, 0xFF, payload);
    FoundDevices found;
    readLanReply(d, "10.0.0.1", found);
    ASSERT_EQ(found.entries.size(), 1u);
    const size_t n = d.size();
    EXPECT_EQ(found.entries[0].deviceId, (std::array<uint8_t, 4>{d[n - 3], d[n - 2], d[n - 1], 0}));
}

TEST(LanReply, TableNeverHoldsMoreThan256Entries) {
    FoundDevices found;
    for (int i = 0; i < 300; ++i) readLanReply(twoNamesInOneDatagram(), "10.0.0.1", found);
    EXPECT_EQ(found.entries.size(), kDeviceTableSize);
    EXPECT_EQ(found.items.size(), kDeviceTableSize);
}

TEST(SearchOutcome, StatusTextAndSelection) {
    FoundDevices none;
    SearchResult empty = finishSearch(none);
    EXPECT_EQ(empty.items, std::vector<std::string>{"No Device Found"});
    EXPECT_EQ(empty.statusText, "No Device Connected");
    EXPECT_EQ(empty.selectedIndex, -1);

    FoundDevices two;
    readLanReply(reply(0xA1, 1, "A"), "10.0.0.1", two);
    readLanReply(reply(0x82, 1, "B"), "10.0.0.2", two);
    SearchResult result = finishSearch(two);
    EXPECT_EQ(result.items, (std::vector<std::string>{"A_10.0.0.1", "B_10.0.0.2"}));
    EXPECT_EQ(result.statusText, "Connected - 2");
    EXPECT_EQ(result.selectedIndex, 0);
}

// --- serial reply parser ---

TEST(SerialReply, FindsTheNameOfACompleteReply) {
    const SerialParse p = parseSerialReply(reply(0x83, 0x02, "TQL2408P"));
    EXPECT_EQ(p.result, 1);
    ASSERT_TRUE(p.entry && p.name);
    EXPECT_EQ(*p.name, "TQL2408P");
    EXPECT_EQ(p.entry->deviceType, 0x83);
    EXPECT_EQ(p.entry->subCode, 0x02);
    EXPECT_EQ(p.entry->modelFlag, 1);
    EXPECT_EQ(p.entry->address(), "");
    EXPECT_EQ(p.entry->deviceId, (std::array<uint8_t, 4>{}));
}

TEST(SerialReply, ReplyInPiecesIsFoundOnceComplete) {
    const Bytes whole = reply(0x82, 0x01, "SW8");
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        EXPECT_EQ(parseSerialReply(std::span(whole).first(cut)).result, 0) << "after " << cut << " bytes";
    }
    EXPECT_EQ(parseSerialReply(whole).result, 1);
}

TEST(SerialReply, FoundWithoutNamePatternCountsAsFoundWithNoItem) {
    const SerialParse p = parseSerialReply(buildFrame(0x82, 1, kLinkSerial, 0xFF, {0, 'A', 'B', 'C'}));
    EXPECT_EQ(p.result, 1);
    EXPECT_FALSE(p.entry);
    EXPECT_FALSE(p.name);
}

TEST(SerialReply, SkipsGarbageAndOtherCommandsBeforeTheReply) {
    Bytes stream{0x00, 0xA5, 0x00, 0xA5, 0xA5};
    const Bytes other = buildFrame(0xA1, 1, kLinkSerial, 0x33, {0, 9});
    stream.insert(stream.end(), other.begin(), other.end());
    const Bytes wanted = reply(0xA1, 0x01, "MV");
    stream.insert(stream.end(), wanted.begin(), wanted.end());
    const SerialParse p = parseSerialReply(stream);
    EXPECT_EQ(p.result, 1);
    ASSERT_TRUE(p.name);
    EXPECT_EQ(*p.name, "MV");
}

TEST(SerialReply, StatusFrameFillsTheStatusBlock) {
    Bytes payload(1 + kStatusBlockSize);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 7);
    const SerialParse p = parseSerialReply(buildFrame(0xA1, 1, kLinkSerial, 0x32, payload));
    EXPECT_EQ(p.result, 1);
    ASSERT_TRUE(p.statusBlock);
    EXPECT_TRUE(std::equal(p.statusBlock->begin(), p.statusBlock->end(), payload.begin() + 1));

    payload.resize(kStatusBlockSize - 1);
    EXPECT_EQ(parseSerialReply(buildFrame(0xA1, 1, kLinkSerial, 0x32, payload)).result, 0)
        << "a status frame shorter than its block is not taken";
}

TEST(SerialReply, LengthFieldsThatCannotHoldAFrameAreSkipped) {
    // Length 5 with 0xAE at its end position; scanning resumes at its byte 6, where a real reply follows.
    Bytes stream{0xA5, 0x6C, 0x05, 0x00, 0xAE, 0x00};
    const Bytes wanted = reply(0x82, 0x01, "OK");
    stream.insert(stream.end(), wanted.begin(), wanted.end());
    const SerialParse p = parseSerialReply(stream);
    ASSERT_TRUE(p.name);
    EXPECT_EQ(*p.name, "OK");
}

// --- bad input ---

Bytes randomBytes(std::mt19937& rng, size_t n, bool frameLike) {
    Bytes d(n);
    for (auto& b : d) b = static_cast<uint8_t>(rng());
    if (frameLike && n >= 2) {
        d[0] = 0xA5;
        d[1] = 0x6C;
        d[n - 1] = 0xAE;
        if (n > 4) d[4] = (rng() & 1) ? 0xA1 : 0x82;
        // Sprinkle the pattern bytes so the scan finds matches.
        for (size_t i = 18; i < n; i += 1 + rng() % 5) d[i] = '-';
        if (n > 16) d[16] = (rng() & 1) ? 0xFF : 0x32;
        if (n > 3 && (rng() & 1)) {
            const size_t claimed = rng() % (2 * n + 20);
            d[2] = static_cast<uint8_t>(claimed);
            d[3] = static_cast<uint8_t>(claimed >> 8);
        }
    }
    return d;
}

TEST(DiscoveryReaders, SurviveRandomTruncatedAndOversizedInput) {
    std::mt19937 rng(20261210);
    FoundDevices found;
    for (int i = 0; i < 100000; ++i) {
        const size_t n = (i % 10 == 0) ? 1024 + rng() % 2048 : rng() % 160;
        const Bytes d = randomBytes(rng, n, i % 3 != 0);
        if (n > 0) readLanReply(d, "10.1.2.3", found);
        if (found.full()) found = FoundDevices{};
        // The gathering buffer never holds more than 1024 bytes.
        const SerialParse p = parseSerialReply(std::span(d).first(std::min<size_t>(n, kGatherBufferSize)));
        if (p.name) {
            ASSERT_LE(p.name->size(), kGatherBufferSize);
        }
        ASSERT_LE(found.entries.size(), kDeviceTableSize);
        ASSERT_EQ(found.entries.size(), found.items.size());
    }
}

}  // namespace protocol_discovery_replies_test
}  // namespace kvx
