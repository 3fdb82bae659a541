#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "multiviewer/status_decode.h"
#include "multiviewer/status_encode.h"

namespace kvx {
namespace multiviewer_status_decode_test {

// Frame offset -> block byte, as the reply carries it.
uint8_t& at(StatusBlock& block, size_t frameOffset) {
    return block[frameOffset - 18];
}

void putUtf16(StatusBlock& block, size_t frameOffset, std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        at(block, frameOffset + 2 * i) = static_cast<uint8_t>(text[i] & 0xFF);
        at(block, frameOffset + 2 * i + 1) = static_cast<uint8_t>(text[i] >> 8);
    }
}

size_t umdRecord(int input) {
    return 214 + 35 * static_cast<size_t>(input - 1);
}
size_t inputRecord(int input) {
    return 54 + 2 * static_cast<size_t>(input - 1);
}
size_t windowRecord(int window) {
    return 86 + 8 * static_cast<size_t>(window - 1);
}

DecodeResult decode(MultiviewerState& state, const StatusBlock& block) {
    state.StatusBlock = block;
    return decodeStatusBlock(state);
}

// --- Single-byte fields: one byte value set, exactly one field takes it, every other stays zero. ---

using ScalarGetter = std::function<int(const MultiviewerState&)>;
const std::vector<std::pair<const char*, ScalarGetter>> kScalarFields = {
    {"LayoutMode", [](const MultiviewerState& s) { return s.LayoutMode; }},
    {"OutputFormat", [](const MultiviewerState& s) { return s.OutputFormat; }},
    {"AudioSourceWindow", [](const MultiviewerState& s) { return s.AudioSourceWindow; }},
    {"AllAudioMeterOn", [](const MultiviewerState& s) { return s.AllAudioMeterOn; }},
    {"AllUmdOn", [](const MultiviewerState& s) { return s.AllUmdOn; }},
    {"FormatStatusOn", [](const MultiviewerState& s) { return s.FormatStatusOn; }},
    {"TimecodeOn", [](const MultiviewerState& s) { return s.TimecodeOn; }},
    {"AudioAlarmOn", [](const MultiviewerState& s) { return s.AudioAlarmOn; }},
    {"BorderOn", [](const MultiviewerState& s) { return s.BorderOn; }},
    {"DeviceDhcpOn", [](const MultiviewerState& s) { return s.DeviceDhcpOn; }},
    {"SwitcherMode", [](const MultiviewerState& s) { return s.SwitcherMode; }},
    {"SwitcherModeCopy", [](const MultiviewerState& s) { return s.SwitcherModeCopy; }},
};

struct ScalarCase {
    size_t frameOffset;
    uint8_t value;
    std::vector<std::pair<const char*, int>> expected;  // every other scalar field stays 0
};

class ScalarBits : public ::testing::TestWithParam<ScalarCase> {};

TEST_P(ScalarBits, OnlyTheNamedFieldsTakeTheBits) {
    const ScalarCase& c = GetParam();
    StatusBlock block{};
    at(block, c.frameOffset) = c.value;
    MultiviewerState state;
    decode(state, block);
    for (const auto& [name, get] : kScalarFields) {
        int want = 0;
        for (const auto& [expectedName, value] : c.expected) {
            if (std::string(expectedName) == name) want = value;
        }
        EXPECT_EQ(get(state), want) << name << " from byte " << c.frameOffset << " = " << int(c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    StatusBytes18To21, ScalarBits,
    ::testing::Values(
        ScalarCase{18, 161, {{"LayoutMode", 161}}}, ScalarCase{19, 0x0B, {{"OutputFormat", 11}}},
        ScalarCase{19, 0xF0, {}},  // bits 4 to 7 are not decoded
        ScalarCase{20, 0x10, {{"AudioSourceWindow", 16}}}, ScalarCase{20, 0x1F, {{"AudioSourceWindow", 31}}},
        ScalarCase{20, 0x60, {}},  // bits 5 and 6 are not decoded
        ScalarCase{20, 0x80, {{"AllAudioMeterOn", 1}}}, ScalarCase{21, 0x01, {{"AllUmdOn", 1}}},
        ScalarCase{21, 0x02, {{"FormatStatusOn", 1}}}, ScalarCase{21, 0x04, {{"TimecodeOn", 1}}},
        ScalarCase{21, 0x08, {{"AudioAlarmOn", 1}}}, ScalarCase{21, 0x10, {{"BorderOn", 1}}},
        ScalarCase{21, 0x20, {}},  // bit 5 is not decoded
        ScalarCase{21, 0x40, {{"DeviceDhcpOn", 1}}},
        ScalarCase{21, 0x80, {{"SwitcherMode", 1}, {"SwitcherModeCopy", 1}}}));

// --- Record fields: one byte of one record set, exactly one element of one field takes it. ---

using ElementGetter = std::function<int(const MultiviewerState&, size_t)>;
struct NamedElement {
    const char* name;
    ElementGetter get;
};

const std::vector<NamedElement> kInputFields = {
    {"UmdOn", [](const MultiviewerState& s, size_t i) { return s.UmdOn[i]; }},
    {"UmdTextColor", [](const MultiviewerState& s, size_t i) { return s.UmdTextColor[i]; }},
    {"UmdBackColor", [](const MultiviewerState& s, size_t i) { return s.UmdBackColor[i]; }},
};

const std::vector<NamedElement> kWindowFields = {
    {"AudioMeterOn", [](const MultiviewerState& s, size_t i) { return s.AudioMeterOn[i]; }},
    {"AudioChannelPair", [](const MultiviewerState& s, size_t i) { return s.AudioChannelPair[i]; }},
    {"SignalFormat", [](const MultiviewerState& s, size_t i) { return s.WindowSignal[i].format; }},
    {"SignalPresent", [](const MultiviewerState& s, size_t i) { return s.WindowSignal[i].present; }},
    {"FormatTextColor", [](const MultiviewerState& s, size_t i) { return s.FormatTextColor[i]; }},
    {"FormatBackColor", [](const MultiviewerState& s, size_t i) { return s.FormatBackColor[i]; }},
    {"TimecodeTextColor", [](const MultiviewerState& s, size_t i) { return s.TimecodeTextColor[i]; }},
    {"TimecodeBackColor", [](const MultiviewerState& s, size_t i) { return s.TimecodeBackColor[i]; }},
    {"Byte4Bit0", [](const MultiviewerState& s, size_t i) { return s.WindowRecordByte4Bit0[i]; }},
    {"Byte6Bit0", [](const MultiviewerState& s, size_t i) { return s.WindowRecordByte6Bit0[i]; }},
};

struct RecordCase {
    bool window;  // window record (8 bytes) or input record (2 bytes)
    int number;   // input or window 1 to 16
    size_t byte;
    uint8_t value;
    const char* field;  // nullptr: nothing decoded
    int expected;
};

class RecordBits : public ::testing::TestWithParam<RecordCase> {};

TEST_P(RecordBits, OnlyTheNamedElementTakesTheBits) {
    const RecordCase& c = GetParam();
    StatusBlock block{};
    at(block, (c.window ? windowRecord(c.number) : inputRecord(c.number)) + c.byte) = c.value;
    MultiviewerState state;
    decode(state, block);
    for (const NamedElement& field : c.window ? kWindowFields : kInputFields) {
        for (size_t i = 0; i < 16; ++i) {
            const bool named = c.field != nullptr && std::string(c.field) == field.name &&
                               i == static_cast<size_t>(c.number - 1);
            EXPECT_EQ(field.get(state, i), named ? c.expected : 0) << field.name << " element " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(InputRecords, RecordBits,
                         ::testing::Values(RecordCase{false, 1, 0, 0x01, "UmdOn", 1},
                                           RecordCase{false, 7, 0, 0x1E, "UmdTextColor", 15},
                                           RecordCase{false, 7, 0, 0x0C, "UmdTextColor", 6},
                                           RecordCase{false, 16, 0, 0xE0, nullptr, 0},
                                           RecordCase{false, 9, 1, 0x1F, "UmdBackColor", 31},
                                           RecordCase{false, 9, 1, 0xE0, nullptr, 0}));

INSTANTIATE_TEST_SUITE_P(
    WindowRecords, RecordBits,
    ::testing::Values(
        RecordCase{true, 1, 0, 0x01, "AudioMeterOn", 1}, RecordCase{true, 4, 0, 0x0E, "AudioChannelPair", 7},
        RecordCase{true, 4, 0, 0xE0, nullptr, 0}, RecordCase{true, 5, 1, 0x3F, "SignalFormat", 63},
        RecordCase{true, 5, 1, 0x40, "SignalPresent", 1}, RecordCase{true, 5, 1, 0x80, nullptr, 0},
        RecordCase{true, 8, 2, 0x1E, "FormatTextColor", 15}, RecordCase{true, 8, 2, 0xE1, nullptr, 0},
        RecordCase{true, 11, 3, 0x1F, "FormatBackColor", 31}, RecordCase{true, 11, 3, 0xE0, nullptr, 0},
        RecordCase{true, 12, 4, 0x01, "Byte4Bit0", 1}, RecordCase{true, 12, 4, 0x1E, "TimecodeTextColor", 15},
        RecordCase{true, 13, 5, 0x1F, "TimecodeBackColor", 31}, RecordCase{true, 14, 6, 0x01, "Byte6Bit0", 1},
        RecordCase{true, 14, 6, 0xFE, nullptr, 0}, RecordCase{true, 16, 7, 0xFF, nullptr, 0}));

TEST(StatusDecode, SourcesAndRoutesComeFromBytes22To53InOrder) {
    StatusBlock block{};
    for (size_t k = 0; k < 16; ++k) {
        at(block, 22 + k) = static_cast<uint8_t>(16 - k);
        at(block, 38 + k) = static_cast<uint8_t>(k + 1);
    }
    MultiviewerState state;
    decode(state, block);
    for (size_t k = 0; k < 16; ++k) {
        EXPECT_EQ(state.WindowSource[k], 16 - k);
        EXPECT_EQ(state.MatrixRoute[k], k + 1);
    }
}

// --- UMD names ---

TEST(StatusDecode, UmdNameTakesLengthBytesOfItsRecord) {
    StatusBlock block{};
    at(block, umdRecord(3)) = 10;
    putUtf16(block, umdRecord(3) + 1, u"CAM 1ZZZ");  // the bytes after the length are not used
    MultiviewerState state;
    decode(state, block);
    EXPECT_EQ(state.UmdName[2], u"CAM 1");
}

TEST(StatusDecode, NameLengthZeroGivesAnEmptyName) {
    StatusBlock block{};
    putUtf16(block, umdRecord(1) + 1, u"Ignored");
    MultiviewerState state;
    ASSERT_EQ(state.UmdName[0], u"Umd_01");
    decode(state, block);
    EXPECT_EQ(state.UmdName[0], u"");
}

TEST(StatusDecode, NameStopsAtItsFirstZeroCodeUnit) {
    StatusBlock block{};
    at(block, umdRecord(2)) = 12;
    putUtf16(block, umdRecord(2) + 1, std::u16string(u"AB\0CD", 5));
    MultiviewerState state;
    decode(state, block);
    EXPECT_EQ(state.UmdName[1], u"AB");
}

TEST(StatusDecode, NameOfSeventeenUnitsIsCutToSixteen) {
    StatusBlock block{};
    at(block, umdRecord(5)) = 34;
    putUtf16(block, umdRecord(5) + 1, u"ABCDEFGHIJKLMNOPQ");
    MultiviewerState state;
    decode(state, block);
    EXPECT_EQ(state.UmdName[4], u"ABCDEFGHIJKLMNOP");
}

// A length byte above 34 would reach into the next record (or, for input 16, the device name): only the
// record's own 34 bytes are read.
TEST(StatusDecode, OverlongNameLengthReadsOnlyItsRecord) {
    StatusBlock block{};
    for (int input : {1, 16}) {
        at(block, umdRecord(input)) = 255;
        putUtf16(block, umdRecord(input) + 1, u"XXXXXXXXXXXXXXXXX");
    }
    at(block, umdRecord(2)) = 4;
    putUtf16(block, umdRecord(2) + 1, u"OK");
    at(block, 774) = 4;
    putUtf16(block, 775, u"Nm");
    MultiviewerState state;
    decode(state, block);
    EXPECT_EQ(state.UmdName[0], u"XXXXXXXXXXXXXXXX");
    EXPECT_EQ(state.UmdName[15], u"XXXXXXXXXXXXXXXX");
    EXPECT_EQ(state.UmdName[1], u"OK");
    EXPECT_EQ(state.DeviceName, u"Nm");
}

// --- Device name, lock button, loaded flag ---

struct DeviceNameCase {
    uint8_t length;
    std::u16string bytes;
    std::u16string expectedName;  // DeviceName after the decode (it starts as "Old")
    std::u16string expectedBox;
};

class DeviceNameRules : public ::testing::TestWithParam<DeviceNameCase> {};

TEST_P(DeviceNameRules, NameAndNameBox) {
    const DeviceNameCase& c = GetParam();
    StatusBlock block{};
    at(block, 774) = c.length;
    putUtf16(block, 775, c.bytes);
    MultiviewerState state;
    state.DeviceName = u"Old";
    const DecodeResult result = decode(state, block);
    EXPECT_EQ(state.DeviceName, c.expectedName);
    EXPECT_EQ(result.nameBoxText, c.expectedBox);
}

INSTANTIATE_TEST_SUITE_P(Lengths, DeviceNameRules,
                         ::testing::Values(DeviceNameCase{8, u"Kvx1", u"Kvx1", u"Kvx1"},
                                           DeviceNameCase{32, u"ABCDEFGHIJKLMNOP", u"ABCDEFGHIJKLMNOP",
                                                          u"ABCDEFGHIJKLMNOP"},
                                           DeviceNameCase{0, u"Kvx1", u"", u"Custom Name"},
                                           DeviceNameCase{33, u"ABCDEFGHIJKLMNOP", u"Old", u"Custom Name"},
                                           DeviceNameCase{255, u"ABCDEFGHIJKLMNOP", u"Old", u"Custom Name"}));

TEST(StatusDecode, LockButtonFollowsPanelLockedAndStatusLoadedIsSet) {
    StatusBlock block{};
    for (const uint8_t locked : {0, 1}) {
        MultiviewerState state;
        state.PanelLocked = locked;
        const DecodeResult result = decode(state, block);
        EXPECT_EQ(result.lockButtonBitmap, locked ? 135 : 132);
        EXPECT_EQ(state.StatusLoaded, 1);
        EXPECT_EQ(state.PanelLocked, locked);
    }
}

TEST(StatusDecode, LeavesDerivedDataAndSelectionsAlone) {
    StatusBlock block{};
    at(block, windowRecord(1) + 1) = 0x40 | 16;
    MultiviewerState state;
    state.ColorSourceSelect = 3;
    state.WindowRgb.umdText[0] = {1, 2, 3};
    decode(state, block);
    EXPECT_EQ(state.WindowFormatText[0], u"1080p30");
    EXPECT_EQ(state.WindowRgb.umdText[0], (Rgb{1, 2, 3}));
    EXPECT_EQ(state.ColorSourceSelect, 3);
}

// --- Reply acceptance ---

Bytes statusReply(size_t length, uint8_t type = 0xA1, uint8_t code = 0x0A) {
    Bytes reply(length, 0);
    if (length > 16) {
        reply[4] = type;
        reply[16] = code;
    }
    for (size_t i = 18; i < length; ++i) reply[i] = static_cast<uint8_t>(i * 7);
    return reply;
}

struct AcceptCase {
    const char* name;
    Bytes datagram;
    bool accepted;
};

class LanReplyAcceptance : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(LanReplyAcceptance, FollowsLengthCodeAndType) {
    EXPECT_EQ(isLanStatusReply(GetParam().datagram), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Replies, LanReplyAcceptance,
                         ::testing::Values(AcceptCase{"Exactly809", statusReply(809), true},
                                           AcceptCase{"Full1024", statusReply(1024), true},
                                           AcceptCase{"Only808", statusReply(808), false},
                                           AcceptCase{"Empty", statusReply(0), false},
                                           AcceptCase{"Short", statusReply(17), false},
                                           AcceptCase{"OtherCode", statusReply(809, 0xA1, 0x0B), false},
                                           AcceptCase{"OtherType", statusReply(809, 0x83, 0x0A), false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StatusReply, BlockIsFrameBytes18To806) {
    const Bytes reply = statusReply(809);
    const std::optional<StatusBlock> block = statusBlockOf(reply);
    ASSERT_TRUE(block);
    EXPECT_EQ((*block)[0], reply[18]);
    EXPECT_EQ((*block)[788], reply[806]);
    EXPECT_TRUE(std::equal(block->begin(), block->end(), reply.begin() + 18));
    EXPECT_FALSE(statusBlockOf(statusReply(806)));
    EXPECT_TRUE(statusBlockOf(statusReply(807)));
}

// --- The encoder is the decoder's inverse ---

MultiviewerState randomDeviceState(uint32_t seed) {
    std::mt19937 random(seed);
    auto bits = [&](int n) { return static_cast<uint8_t>(random() & ((1u << n) - 1)); };
    auto text = [&](size_t maxUnits) {
        std::u16string t(random() % (maxUnits + 1), u'a');
        for (auto& unit : t) unit = static_cast<char16_t>(1 + random() % 0xFFFE);
        return t;
    };
    MultiviewerState s;
    s.LayoutMode = bits(8);
    s.OutputFormat = bits(4);
    s.AudioSourceWindow = bits(5);
    s.AllAudioMeterOn = bits(1);
    s.AllUmdOn = bits(1);
    s.FormatStatusOn = bits(1);
    s.TimecodeOn = bits(1);
    s.AudioAlarmOn = bits(1);
    s.BorderOn = bits(1);
    s.DeviceDhcpOn = bits(1);
    s.SwitcherMode = bits(1);
    s.SwitcherModeCopy = s.SwitcherMode;
    s.DeviceName = text(16);
    for (size_t k = 0; k < 16; ++k) {
        s.WindowSource[k] = bits(8);
        s.MatrixRoute[k] = bits(8);
        s.UmdOn[k] = bits(1);
        s.UmdTextColor[k] = bits(4);
        s.UmdBackColor[k] = bits(5);
        s.UmdName[k] = text(16);
        s.AudioMeterOn[k] = bits(1);
        s.AudioChannelPair[k] = bits(4);
        s.WindowSignal[k] = {bits(1), bits(6)};
        s.FormatTextColor[k] = bits(4);
        s.FormatBackColor[k] = bits(5);
        s.TimecodeTextColor[k] = bits(4);
        s.TimecodeBackColor[k] = bits(5);
        s.WindowRecordByte4Bit0[k] = bits(1);
        s.WindowRecordByte6Bit0[k] = bits(1);
    }
    return s;
}

void expectSameDeviceFields(const MultiviewerState& a, const MultiviewerState& b) {
    for (const auto& [name, get] : kScalarFields) EXPECT_EQ(get(a), get(b)) << name;
    for (const auto* fields : {&kInputFields, &kWindowFields}) {
        for (const NamedElement& field : *fields) {
            for (size_t i = 0; i < 16; ++i) EXPECT_EQ(field.get(a, i), field.get(b, i)) << field.name << i;
        }
    }
    EXPECT_EQ(a.WindowSource, b.WindowSource);
    EXPECT_EQ(a.MatrixRoute, b.MatrixRoute);
    EXPECT_EQ(a.UmdName, b.UmdName);
    EXPECT_EQ(a.DeviceName, b.DeviceName);
}

TEST(StatusEncode, DecodingTheEncodedBlockGivesTheStateBack) {
    for (uint32_t seed = 1; seed <= 50; ++seed) {
        const MultiviewerState original = randomDeviceState(seed);
        MultiviewerState decoded;
        decode(decoded, encodeStatusBlock(original));
        expectSameDeviceFields(decoded, original);
    }
}

TEST(StatusEncode, PutsFieldsWhereTheReplyCarriesThem) {
    MultiviewerState s;
    s.LayoutMode = 90;
    s.AllUmdOn = 1;
    s.SwitcherMode = 1;
    s.UmdTextColor[6] = 6;
    s.UmdOn[6] = 1;
    s.WindowSignal[4] = {1, 16};
    s.UmdName[2] = u"CAM 1";
    s.DeviceName = u"Kvx";
    StatusBlock block = encodeStatusBlock(s);
    EXPECT_EQ(at(block, 18), 90);
    EXPECT_EQ(at(block, 21), 0x81);
    EXPECT_EQ(at(block, inputRecord(7)), 0x0D);
    EXPECT_EQ(at(block, windowRecord(5) + 1), 0x50);
    EXPECT_EQ(at(block, umdRecord(3)), 10);
    EXPECT_EQ(at(block, umdRecord(3) + 1), 'C');
    EXPECT_EQ(at(block, 774), 6);
    EXPECT_EQ(at(block, 775), 'K');
}

}  // namespace multiviewer_status_decode_test
}  // namespace kvx
