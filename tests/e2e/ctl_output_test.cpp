// korvelux-ctl's output for scripts, end to end on the devices of --demo (inside the program, no network):
// every command's JSON document parsed back, and the frame trace checked byte for byte against the
// exchange that the simulated devices are known to make.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "e2e/support/child_and_namespaces.h"
#include "multiviewer/derived_data.h"
#include "multiviewer/state_json.h"
#include "multiviewer/status_decode.h"
#include "multiviewer/status_encode.h"
#include "multiviewer/status_readback.h"
#include "protocol/json_text.h"
#include "simulator/demo_devices.h"
#include "simulator/multiviewer_device.h"

namespace ctl_output_test {

using namespace kvx::e2e;
using kvx::Json;
using Argv = std::vector<std::string>;

constexpr int kRunTimeoutMs = 20000;
const std::string kMultiviewer = "192.168.1.101";

Child::Result demoCtl(Argv words) {
    words.insert(words.begin(), KVX_CTL_PATH);
    words.push_back("--demo");
    Child ctl(words);
    return ctl.finish(kRunTimeoutMs);
}

Json parsed(const std::string& text) {
    std::string error;
    const std::optional<Json> json = kvx::parseJson(text, error);
    EXPECT_TRUE(json.has_value()) << error << " in:\n" << text;
    return json.value_or(Json());
}

double number(const Json& object, const char* name) {
    const Json* member = object.member(name);
    return member && member->asNumber() ? *member->asNumber() : -1;
}

std::string text(const Json& object, const char* name) {
    const Json* member = object.member(name);
    return member && member->asString() ? *member->asString() : "(none)";
}

Json numbers(const kvx::Bytes& bytes) {
    return Json(Json::Array(bytes.begin(), bytes.end()));
}

// The demo's multiviewer as it is when a run starts.
kvx::MultiviewerDevice demoMultiviewer() {
    return kvx::MultiviewerDevice(kvx::demoIdentities().front());
}

kvx::Target multiviewerTarget(kvx::LinkKind link) {
    kvx::DeviceEntry entry;
    entry.setAddress(kMultiviewer);
    entry.deviceType = kvx::kTypeMultiviewer;
    entry.subCode = 0x01;
    return {link, entry};
}

TEST(CtlJson, StatusIsTheModelReadBackFieldByField) {
    const Child::Result result = demoCtl({"status", "--json"});
    ASSERT_EQ(result.code, 0) << result.err;
    const Json state = parsed(result.out);
    // What the window's read-back makes of the device's status block.
    kvx::MultiviewerState expected;
    expected.StatusBlock = kvx::encodeStatusBlock(demoMultiviewer().state().model);
    kvx::decodeStatusBlock(expected);
    kvx::recomputeWindowFormatText(expected);
    EXPECT_EQ(state, kvx::multiviewerStateJson(expected));
    EXPECT_EQ(number(state, "LayoutMode"), 160);
    EXPECT_EQ(text(state, "DeviceName"), "KVX_MV16");
    EXPECT_EQ(state.member("WindowSource")->asArray()->size(), 16u);
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1) << "one document on one line";
}

TEST(CtlJson, DiscoverListsTheDemoDevices) {
    const Child::Result result = demoCtl({"--json", "discover"});
    ASSERT_EQ(result.code, 0) << result.err;
    const Json found = parsed(result.out);
    EXPECT_EQ(text(found, "statusText"), "Connected - 4");
    const Json::Array& devices = *found.member("devices")->asArray();
    ASSERT_EQ(devices.size(), 4u);
    EXPECT_EQ(devices[0], Json(Json::Object{{"item", "KVX_MV16_192.168.1.101"},
                                            {"addressText", "192.168.1.101"},
                                            {"deviceType", 0xA1},
                                            {"subCode", 1},
                                            {"deviceId", Json::Array{0x4B, 0x56, 0x01, 0xA1}},
                                            {"modelFlag", 0}}));
    EXPECT_EQ(text(devices[2], "item"), "TQL2408P_192.168.1.103");
    EXPECT_EQ(number(devices[2], "modelFlag"), 1);
}

TEST(CtlJson, AMultiviewerRequestShowsItsBytesAndItsConfirmation) {
    const Child::Result result = demoCtl({"mv", "layout", "90", "--json", "--confirm"});
    ASSERT_EQ(result.code, 0) << result.err;
    const Json sent = parsed(result.out);
    EXPECT_EQ(text(sent, "command"), "layout");
    EXPECT_EQ(number(sent, "code"), 0x33);
    EXPECT_EQ(*sent.member("sent"),
              numbers(kvx::buildFrame(kvx::kTypeMultiviewer, 0x01, kvx::kLinkLan, 0x33, {90})));
    EXPECT_EQ(*sent.member("confirmed"), Json(true));
    EXPECT_EQ(
        *sent.member("report"),
        Json(Json::Object{{"code", 0x33}, {"name", "SetLayout"}, {"field", "LayoutMode"}, {"value", 90}}));
}

struct MatrixJsonCase {
    Argv words;
    Json expected;
};

class CtlMatrixJson : public testing::TestWithParam<MatrixJsonCase> {};

TEST_P(CtlMatrixJson, OneDocumentAloneOnStandardOutput) {
    const Child::Result result = demoCtl(GetParam().words);
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(parsed(result.out), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CtlMatrixJson,
    testing::Values(
        // The 8x8 is the first switcher found; its reads' diagnostic lines go to stderr.
        MatrixJsonCase{{"matrix", "status", "--json"},
                       Json(Json::Object{{"Route", Json::Array{1, 2, 3, 4, 5, 6, 7, 8}},
                                         {"PanelLocked", 0},
                                         {"DeviceDhcpOn", 0},
                                         {"DeviceName", ""},
                                         {"BacklightTime", "Always On"},
                                         {"BacklightBrightness", 100}})},
        MatrixJsonCase{{"route", "3", "1,2,5", "--json"},
                       Json(Json::Object{{"sent", Json(Json::Object{{"routingText", "3V1,2,5."}})}})},
        MatrixJsonCase{{"matrix", "format", "720p50", "--device", "192.168.1.103", "--json"},
                       Json(Json::Object{{"sent", Json(Json::Object{{"MatrixOutputFormat", "720p50"}})}})},
        MatrixJsonCase{{"backlight", "60s Off", "75", "--json"},
                       Json(Json::Object{{"sent", Json(Json::Object{{"BacklightTime", "60s Off"},
                                                                    {"BacklightBrightness", 75}})}})}));

// One trace line: a time with six decimals, then what follows it.
::testing::AssertionResult isTraceLine(const std::string& line, const std::string& rest) {
    static const std::regex stamp("^[0-9]+\\.[0-9]{6} ");
    std::smatch match;
    if (!std::regex_search(line, match, stamp))
        return ::testing::AssertionFailure() << "no time in: " << line;
    if (line.substr(match.length()) != rest)
        return ::testing::AssertionFailure() << "\n  got: " << line << "\n want: " << rest;
    return ::testing::AssertionSuccess();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        all.push_back(text.substr(start, end - start));
    return all;
}

TEST(CtlTrace, ARequestIsOneLineOfItsBytes) {
    const Child::Result result = demoCtl({"mv", "layout", "90", "--device", kMultiviewer, "--trace"});
    ASSERT_EQ(result.code, 0) << result.err;
    const std::vector<std::string> trace = lines(result.err);
    ASSERT_EQ(trace.size(), 1u) << result.err;
    EXPECT_TRUE(isTraceLine(trace[0],
                            "send lan:192.168.1.101:7000 A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 "
                            "33 5A 56 02 AE"));
}

struct ReadTraceCase {
    Argv link;
    kvx::LinkKind kind;
    std::string linkText;
};

class CtlStatusTrace : public testing::TestWithParam<ReadTraceCase> {};

// The read-back's request and the device's whole status reply, as the simulated multiviewer answers it.
TEST_P(CtlStatusTrace, RequestAndReplyByteForByte) {
    Argv words{"status", "--device", kMultiviewer, "--trace"};
    words.insert(words.end(), GetParam().link.begin(), GetParam().link.end());
    const Child::Result result = demoCtl(words);
    ASSERT_EQ(result.code, 0) << result.err;
    const std::vector<std::string> trace = lines(result.err);
    ASSERT_EQ(trace.size(), 2u) << result.err;
    const kvx::LinkKind link = GetParam().kind;
    EXPECT_TRUE(isTraceLine(
        trace[0], "send " + GetParam().linkText + hex(kvx::readStatusFrame(multiviewerTarget(link)))));
    EXPECT_TRUE(
        isTraceLine(trace[1], "recv " + GetParam().linkText + hex(demoMultiviewer().statusReply(link))));
    EXPECT_LE(trace[0].substr(0, trace[0].find(' ')).size(), trace[1].substr(0, trace[1].find(' ')).size());
}

INSTANTIATE_TEST_SUITE_P(Links, CtlStatusTrace,
                         testing::Values(ReadTraceCase{{}, kvx::kLinkLan, "lan:192.168.1.101:7000"},
                                         ReadTraceCase{
                                             {"--serial", "COM1"}, kvx::kLinkSerial, "serial:COM1"}));

TEST(CtlTrace, ReportsAreTracedAsTheyArriveOnPort7001) {
    const Child::Result result =
        demoCtl({"mv", "border", "0", "--device", kMultiviewer, "--trace", "--confirm"});
    ASSERT_EQ(result.code, 0) << result.err;
    const std::vector<std::string> trace = lines(result.err);
    ASSERT_EQ(trace.size(), 2u) << result.err;
    EXPECT_TRUE(
        isTraceLine(trace[0], "send lan:192.168.1.101:7000" +
                                  hex(kvx::buildFrame(kvx::kTypeMultiviewer, 1, kvx::kLinkLan, 0x3F, {0}))));
    // The device's report: its DeviceId in bytes 10 to 13, the request's payload from byte 18; 22 bytes with
    // the checksum 0x034C.
    EXPECT_TRUE(isTraceLine(trace[1],
                            "recv report:192.168.1.101:7000 A5 6C 16 00 A1 01 01 00 00 00 4B 56 01 A1 00 00 "
                            "3F 00 00 4C 03 AE"));
}

TEST(CtlTrace, NothingOnStandardErrorWithoutIt) {
    for (const Argv& words : {Argv{"status", "--device", kMultiviewer}, Argv{"discover"},
                              Argv{"mv", "layout", "40", "--confirm"}}) {
        const Child::Result result = demoCtl(words);
        EXPECT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.err, "") << words[0];
    }
}

struct ConfirmCase {
    Argv words;
    int code;
    std::string out;
    std::string err;
};

class CtlConfirm : public testing::TestWithParam<ConfirmCase> {};

TEST_P(CtlConfirm, ByReportOrByReadBack) {
    Argv words = GetParam().words;
    words.push_back("--confirm");
    const Child::Result result = demoCtl(words);
    EXPECT_EQ(result.code, GetParam().code) << result.err;
    const size_t confirmed = result.out.find('\n') + 1;
    EXPECT_EQ(result.out.substr(std::min(confirmed, result.out.size())), GetParam().out);
    EXPECT_EQ(result.err.rfind(GetParam().err, 0), 0u) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, CtlConfirm,
    testing::Values(
        ConfirmCase{
            {"mv", "format-status", "off"}, 0, "confirmed 0x5D SetFormatStatus FormatStatusOn=0\n", ""},
        ConfirmCase{{"mv", "umd-back-colour", "0", "Blue"},
                    0,
                    "confirmed 0x3C SetUmdBackColor UmdBackColor[all]=1\n",
                    ""},
        ConfirmCase{{"mv", "preset", "load", "2"}, 0, "confirmed 0x59 LoadCustom\n", ""},
        ConfirmCase{{"mv", "umd-name", "3", "Cam 3"}, 0, "confirmed read-back UmdName[3]=\"Cam 3\"\n", ""},
        ConfirmCase{{"mv", "work-mode", "1"}, 0, "confirmed read-back SwitcherMode=1\n", ""},
        // The demo's serial link carries no reports: they go to port 7001 of a PC on the LAN, and none is.
        ConfirmCase{{"mv", "layout", "40", "--device", kMultiviewer, "--serial", "COM1"},
                    3,
                    "",
                    "korvelux-ctl: no report of the change within 1000 ms\n"},
        ConfirmCase{{"mv", "umd-size", "1"}, 2, "", "korvelux-ctl: mv umd-size 1 cannot be confirmed"},
        ConfirmCase{{"mv", "preset", "save", "1"}, 2, "", "korvelux-ctl: mv preset save cannot be confirmed"},
        ConfirmCase{
            {"mv", "save", "/dev/null"}, 2, "", "korvelux-ctl: --confirm goes with a single request"}));

}  // namespace ctl_output_test
