// The model as korvelux-ctl prints it with --json and keeps it in state files: every field under the model's
// name, numbers as numbers and texts as strings; and a state file read back, or refused with the reason.
#include <gtest/gtest.h>

#include <string>

#include "multiviewer/state_fields.h"
#include "multiviewer/state_json.h"

namespace kvx {
namespace multiviewer_state_json_test {

// A model in which each field holds something of its own.
MultiviewerState sample() {
    MultiviewerState s;
    s.SwitcherMode = 1;
    s.DeviceName = u"Wall \u00e9";
    s.DeviceDhcpOn = 1;
    s.LayoutMode = 90;
    for (size_t k = 0; k < kWindowCount; ++k) {
        const auto v = static_cast<uint8_t>(k);
        s.WindowSource[k] = static_cast<uint8_t>(16 - k);
        s.MatrixRoute[k] = static_cast<uint8_t>(k + 1);
        s.UmdOn[k] = v % 2;
        s.UmdTextColor[k] = v;
        s.UmdBackColor[k] = static_cast<uint8_t>(31 - k);
        s.FormatTextColor[k] = static_cast<uint8_t>(15 - k);
        s.FormatBackColor[k] = static_cast<uint8_t>(k + 16);
        s.TimecodeTextColor[k] = 3;
        s.TimecodeBackColor[k] = 30;
        s.AudioMeterOn[k] = 1 - v % 2;
        s.AudioChannelPair[k] = v % 8;
        s.WindowSignal[k] = {static_cast<uint8_t>(v % 2), static_cast<uint8_t>(k + 20)};
    }
    s.UmdName[2] = u"Cam \"3\"";
    s.OutputFormat = 11;
    s.AllUmdOn = 1;
    s.FormatStatusOn = 1;
    s.BorderOn = 1;
    s.AudioSourceWindow = 16;
    s.AudioAlarmOn = 1;
    return s;
}

Json parsed(const std::string& text) {
    std::string error;
    std::optional<Json> json = parseJson(text, error);
    EXPECT_TRUE(json) << error;
    return json.value_or(Json());
}

double number(const Json& object, const char* name) {
    return *object.member(name)->asNumber();
}
double element(const Json& object, const char* name, size_t k) {
    return *(*object.member(name)->asArray())[k].asNumber();
}

TEST(StateJson, EveryFieldOfTheStatusPrintInItsOrder) {
    const Json state = parsed(writeJson(multiviewerStateJson(sample())));
    std::vector<std::string> names;
    for (const auto& [name, value] : *state.asObject()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"SwitcherMode",   "DeviceName",        "DeviceDhcpOn",
                                               "LayoutMode",     "WindowSource",      "MatrixRoute",
                                               "OutputFormat",   "UmdName",           "UmdOn",
                                               "AllUmdOn",       "UmdTextColor",      "UmdBackColor",
                                               "FormatStatusOn", "FormatTextColor",   "FormatBackColor",
                                               "TimecodeOn",     "TimecodeTextColor", "TimecodeBackColor",
                                               "BorderOn",       "AudioSourceWindow", "AllAudioMeterOn",
                                               "AudioMeterOn",   "AudioChannelPair",  "AudioAlarmOn",
                                               "WindowSignal",   "WindowFormatText"}));
    EXPECT_EQ(number(state, "LayoutMode"), 90);
    EXPECT_EQ(number(state, "OutputFormat"), 11);
    EXPECT_EQ(number(state, "TimecodeOn"), 0);
    EXPECT_EQ(*state.member("DeviceName")->asString(), "Wall \xC3\xA9");
    EXPECT_EQ(element(state, "WindowSource", 0), 16);
    EXPECT_EQ(element(state, "WindowSource", 15), 1);
    EXPECT_EQ(element(state, "UmdBackColor", 4), 27);
    EXPECT_EQ(*(*state.member("UmdName")->asArray())[2].asString(), "Cam \"3\"");
    EXPECT_EQ(*(*state.member("UmdName")->asArray())[3].asString(), "Umd_04");
    const Json& signal = (*state.member("WindowSignal")->asArray())[5];
    EXPECT_EQ(number(signal, "present"), 1);
    EXPECT_EQ(number(signal, "format"), 25);
    EXPECT_EQ(*(*state.member("WindowFormatText")->asArray())[0].asString(), "1080p30");
}

TEST(StateFile, ReadsBackEveryRestoredSetting) {
    const MultiviewerState saved = sample();
    const std::string file = writeJson(stateFileJson(saved), true);
    EXPECT_EQ(
        file.rfind("{\n  \"format\": \"korvelux-multiviewer-state\",\n  \"version\": 1,\n  \"state\": {", 0),
        0u)
        << file;
    std::string error;
    const std::optional<MultiviewerState> read = readStateFile(file, error);
    ASSERT_TRUE(read) << error;
    EXPECT_TRUE(restoredDifferences(saved, *read).empty());
    // What a restore does not send is not taken from the file.
    EXPECT_EQ(read->DeviceName, u"");
    EXPECT_EQ(read->DeviceDhcpOn, 0);
    EXPECT_EQ(read->WindowSignal[5], WindowSignal{});
}

// A state file of the sample with one change made to its text.
std::string fileWith(const std::string& from, const std::string& to) {
    std::string text = writeJson(stateFileJson(sample()));
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

struct BadFile {
    std::string text;
    std::string error;
};

class StateFileRefuses : public testing::TestWithParam<BadFile> {};

TEST_P(StateFileRefuses, WithTheReason) {
    std::string error;
    EXPECT_FALSE(readStateFile(GetParam().text, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StateFileRefuses,
    testing::Values(
        BadFile{"[]", "not a multiviewer state file (\"format\" is not \"korvelux-multiviewer-state\")"},
        BadFile{fileWith("\"version\":1", "\"version\":2"),
                "a state file of another version (this program reads version 1)"},
        BadFile{fileWith("\"state\":{", "\"status\":{"), "the state file has no \"state\" object"},
        BadFile{fileWith("\"LayoutMode\":90", "\"LayoutMode\":256"),
                "\"LayoutMode\" must be a whole number from 0 to 255"},
        BadFile{fileWith("\"LayoutMode\":90", "\"LayoutMode\":9.5"),
                "\"LayoutMode\" must be a whole number from 0 to 255"},
        BadFile{fileWith("\"LayoutMode\":90", "\"Layout\":90"),
                "\"LayoutMode\" must be a whole number from 0 to 255"},
        BadFile{fileWith("\"BorderOn\":1", "\"BorderOn\":2"),
                "\"BorderOn\" must be a whole number from 0 to 1"},
        BadFile{fileWith("\"BorderOn\":1", "\"BorderOn\":\"1\""),
                "\"BorderOn\" must be a whole number from 0 to 1"},
        BadFile{fileWith("\"UmdTextColor\":[0,", "\"UmdTextColor\":[16,"),
                "\"UmdTextColor\" must be 16 whole numbers from 0 to 15"},
        BadFile{fileWith("\"UmdBackColor\":[31,", "\"UmdBackColor\":[-1,"),
                "\"UmdBackColor\" must be 16 whole numbers from 0 to 31"},
        BadFile{fileWith("\"MatrixRoute\":[1,", "\"MatrixRoute\":["),
                "\"MatrixRoute\" must be 16 whole numbers from 0 to 255"},
        BadFile{fileWith("\"Cam \\\"3\\\"\"", "\"Seventeen letters\""),
                "\"UmdName\" must be 16 texts of at most 16 UTF-16 code units"},
        BadFile{fileWith("\"Cam \\\"3\\\"\"", "3"),
                "\"UmdName\" must be 16 texts of at most 16 UTF-16 code units"},
        BadFile{"{\"format\":\"korvelux-multiviewer-state\",", "a member name is missing at byte 39"}));

TEST(StateFile, TakesUnknownMembersAndSixteenCharacterNames) {
    std::string error;
    const std::string text = fileWith("\"Cam \\\"3\\\"\"", "\"Sixteen letters!\"");
    EXPECT_TRUE(readStateFile(fileWith("\"version\":1", "\"version\":1,\"note\":\"evening\""), error))
        << error;
    const std::optional<MultiviewerState> read = readStateFile(text, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->UmdName[2], u"Sixteen letters!");
}

TEST(RestoredDifferences, NameEachElementThatDiffersInFieldOrder) {
    const MultiviewerState wanted = sample();
    MultiviewerState found = wanted;
    found.BorderOn = 0;
    found.UmdName[15] = u"X";
    found.WindowSource[2] = 9;
    found.DeviceName = u"other";      // not restored: no difference
    found.WindowSignal[0] = {1, 31};  // not restored either
    const std::vector<FieldDifference> differences = restoredDifferences(wanted, found);
    ASSERT_EQ(differences.size(), 3u);
    EXPECT_EQ(differences[0].field, "WindowSource[3]");
    EXPECT_EQ(differences[0].wanted, Json(14));
    EXPECT_EQ(differences[0].found, Json(9));
    EXPECT_EQ(differences[1].field, "UmdName[16]");
    EXPECT_EQ(differences[1].wanted, Json("Umd_16"));
    EXPECT_EQ(differences[1].found, Json("X"));
    EXPECT_EQ(differences[2].field, "BorderOn");
}

}  // namespace multiviewer_state_json_test
}  // namespace kvx
