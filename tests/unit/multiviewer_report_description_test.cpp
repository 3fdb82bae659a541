// The multiviewer's reports as korvelux-ctl watch and --confirm tell them: the code's name, the field and its
// new value, in a line of text and as a JSON object.
#include <gtest/gtest.h>

#include <string>

#include "multiviewer/report_description.h"
#include "protocol/control_frame.h"

namespace kvx {
namespace multiviewer_report_description_test {

// A report frame of a multiviewer: code at byte 16, data from byte 18, then the checksum and 0xAE.
Bytes report(uint8_t code, const Bytes& data) {
    Bytes payload{0x00};
    payload.insert(payload.end(), data.begin(), data.end());
    return buildFrame(0xA1, 0x01, kLinkLan, code, payload);
}

struct Case {
    uint8_t code;
    Bytes data;
    bool switcherMode;
    std::string text;
    std::string json;
};

class ReportDescriptions : public testing::TestWithParam<Case> {};

TEST_P(ReportDescriptions, TextAndJson) {
    const Case& c = GetParam();
    const ReportDescription description = describeReport(report(c.code, c.data), c.switcherMode);
    EXPECT_EQ(reportText(description), c.text);
    EXPECT_EQ(writeJson(reportJson(description)), c.json + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ReportDescriptions,
    testing::Values(
        Case{0x33,
             {90},
             false,
             "0x33 SetLayout LayoutMode=90",
             R"({"code":51,"name":"SetLayout","field":"LayoutMode","value":90})"},
        Case{0x19,
             {0, 11},
             false,
             "0x19 SetOutputFormat OutputFormat=11",
             R"({"code":25,"name":"SetOutputFormat","field":"OutputFormat","value":11})"},
        // A source report: [input, window]; the window's input, or the output's in switcher mode.
        Case{0x34,
             {5, 3},
             false,
             "0x34 SetSource WindowSource[3]=5",
             R"({"code":52,"name":"SetSource","field":"WindowSource","index":3,"value":5})"},
        Case{0x34,
             {5, 3},
             true,
             "0x34 SetSource MatrixRoute[3]=5",
             R"({"code":52,"name":"SetSource","field":"MatrixRoute","index":3,"value":5})"},
        Case{0x34,
             {5, 17},
             false,
             "0x34 SetSource ignored: 05 11",
             R"({"code":52,"name":"SetSource","ignored":true,"data":[5,17]})"},
        Case{0x36,
             {16, 0},
             false,
             "0x36 SetUmdOn UmdOn[16]=0",
             R"({"code":54,"name":"SetUmdOn","field":"UmdOn","index":16,"value":0})"},
        Case{0x37,
             {0, 1},
             false,
             "0x37 SetAudioMeterOn ignored: 00 01",
             R"({"code":55,"name":"SetAudioMeterOn","ignored":true,"data":[0,1]})"},
        // Index 0 of a colour report is every input or window.
        Case{0x3B,
             {0, 6},
             false,
             "0x3B SetUmdTextColor UmdTextColor[all]=6",
             R"({"code":59,"name":"SetUmdTextColor","field":"UmdTextColor","index":0,"value":6})"},
        Case{0x55,
             {17, 6},
             false,
             "0x55 SetTimecodeBackColor ignored: 11 06",
             R"({"code":85,"name":"SetTimecodeBackColor","ignored":true,"data":[17,6]})"},
        Case{0x3A,
             {1},
             false,
             "0x3A FormatStatusSwitched FormatStatusOn=1",
             R"({"code":58,"name":"FormatStatusSwitched","field":"FormatStatusOn","value":1})"},
        Case{0x53,
             {0},
             false,
             "0x53 TimecodeSwitched TimecodeOn=0",
             R"({"code":83,"name":"TimecodeSwitched","field":"TimecodeOn","value":0})"},
        // The one report that counts windows from 0.
        Case{
            0x51,
            {0, 1, 31},
            false,
            "0x51 WindowSignal WindowSignal[1]=1/31",
            R"({"code":81,"name":"WindowSignal","field":"WindowSignal","index":1,"value":{"present":1,"format":31}})"},
        Case{0x51,
             {16, 1, 31},
             false,
             "0x51 WindowSignal ignored: 10 01 1F",
             R"({"code":81,"name":"WindowSignal","ignored":true,"data":[16,1,31]})"},
        Case{0x38, {}, false, "0x38 StateChanged", R"({"code":56,"name":"StateChanged"})"},
        Case{0x59, {2}, false, "0x59 LoadCustom", R"({"code":89,"name":"LoadCustom"})"},
        Case{0x58, {1}, false, "0x58 SaveCustom: 01", R"({"code":88,"name":"SaveCustom","data":[1]})"},
        Case{0x77, {5, 6}, false, "0x77 unknown: 05 06", R"({"code":119,"name":"unknown","data":[5,6]})"}));

TEST(ReportDescription, ExtraBytesAfterTheDataAreNotPartOfIt) {
    const ReportDescription description = describeReport(report(0x3F, {1, 0xEE, 0xEE}), false);
    EXPECT_EQ(reportText(description), "0x3F SetBorder BorderOn=1");
    EXPECT_EQ(description.data, Bytes{1});
}

TEST(ReportDescription, ADatagramThatEndsBeforeItsDataIsIgnored) {
    Bytes cut = report(0x52, {4, 2});
    cut.resize(frame::kDataOffset + 1);
    const ReportDescription description = describeReport(cut, false);
    EXPECT_EQ(reportText(description), "0x52 SetAudioChannel ignored: 04");
    EXPECT_EQ(writeJson(reportJson(description)),
              R"({"code":82,"name":"SetAudioChannel","ignored":true,"data":[4]})"
              "\n");
}

TEST(ReportDescription, AFrameTooShortForItsCodeIsUnknown) {
    const Bytes shortFrame(frame::kCommandOffset, 0xA5);
    EXPECT_EQ(reportText(describeReport(shortFrame, false)), "0x00 unknown:");
}

}  // namespace multiviewer_report_description_test
}  // namespace kvx
