// The matrix switcher commands of korvelux-ctl end to end: korvelux-sim serving a switcher on a pty (or on a
// LAN made of network namespaces), korvelux-ctl routing it, setting it and reading it back. Each ctl run is a
// process of its own, so what one run set is seen by the next only through the simulated device.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "e2e/support/child_and_namespaces.h"

namespace ctl_matrix_test {

using namespace kvx::e2e;

constexpr int kStartTimeoutMs = 10000;
constexpr int kRunTimeoutMs = 20000;  // a search takes up to 3 seconds, a read with no reply about 2
constexpr int kPorts16 = 16;

using Argv = std::vector<std::string>;
using Fields = std::map<std::string, std::string>;

Child::Result runCtl(Argv words, const Argv& options) {
    words.insert(words.begin(), KVX_CTL_PATH);
    words.insert(words.end(), options.begin(), options.end());
    Child ctl(words);
    return ctl.finish(kRunTimeoutMs);
}

// The Name=value lines of a status print.
Fields fieldsOf(const std::string& out) {
    Fields fields;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields;
}

std::string route(int k) {
    return "Route[" + std::to_string(k) + "]";
}

// The simulator's log line of bytes received on the pty.
std::string ptyLogOf(const std::string& ascii) {
    return "rx pty" + hex(std::vector<uint8_t>(ascii.begin(), ascii.end())) + "\n";
}

// A 16x16 switcher (named so that its model flag is 1) served on a pty.
class SerialMatrix : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim_.started());
        const std::optional<std::string> pty = sim_.lineStartingWith("pty: ", kStartTimeoutMs);
        ASSERT_TRUE(pty.has_value()) << sim_.stopAndTakeStderr();
        link_ = {"--serial", *pty, "--baud", "115200"};
    }

    Child::Result ctl(const Argv& words) { return runCtl(words, link_); }

    Fields status() {
        const Child::Result result = ctl({"matrix", "status"});
        EXPECT_EQ(result.code, 0) << result.err;
        return fieldsOf(result.out);
    }

    Child sim_{{KVX_SIM_PATH, "--no-udp", "--serial", "--device", "83:TQL2408P:01:01020304"}};
    Argv link_;
};

TEST_F(SerialMatrix, StatusOfAFreshSwitcher) {
    const Child::Result result = ctl({"matrix", "status"});
    EXPECT_TRUE(result.exited);
    ASSERT_EQ(result.code, 0) << result.err;
    const Fields fields = fieldsOf(result.out);
    for (int k = 1; k <= kPorts16; ++k) EXPECT_EQ(fields.at(route(k)), std::to_string(k)) << k;
    EXPECT_EQ(fields.count(route(kPorts16 + 1)), 0u);
    EXPECT_EQ(fields.at("PanelLocked"), "0");
    EXPECT_EQ(fields.at("DeviceDhcpOn"), "0");
    EXPECT_EQ(fields.at("DeviceName"), "");
    EXPECT_EQ(fields.at("MatrixOutputFormat"), "1080p60");
    EXPECT_EQ(fields.at("BacklightTime"), "Always On");
    EXPECT_EQ(fields.at("BacklightBrightness"), "100");
    // The two read requests of the panel: read routing with type 0x83, read backlight with type 0x03.
    const std::string log = sim_.stopAndTakeStderr();
    EXPECT_NE(log.find("rx pty A5 6C 14 00 83 01 00 00 00 00 00 00 00 00 00 00 53"), std::string::npos)
        << log;
    EXPECT_NE(log.find("rx pty A5 6C 14 00 03 01 00 00 00 00 00 00 00 00 00 00 50"), std::string::npos)
        << log;
}

struct RouteCase {
    std::vector<Argv> before;  // route commands run first
    Argv words;
    std::string text;           // the routing text sent
    std::map<int, int> routed;  // output -> the input it carries afterwards
    int others;                 // the input of every other output, 0 for output k's own input k
};

class SerialRoute : public SerialMatrix, public testing::WithParamInterface<RouteCase> {};

TEST_P(SerialRoute, SendsThePanelsTextAndTheDeviceRoutesIt) {
    const RouteCase& c = GetParam();
    for (const Argv& words : c.before) ASSERT_EQ(ctl(words).code, 0);
    const Child::Result result = ctl(c.words);
    EXPECT_TRUE(result.exited);
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "sent " + c.text + "\n");

    const Fields fields = status();
    for (int k = 1; k <= kPorts16; ++k) {
        const int expected = c.routed.count(k) ? c.routed.at(k) : (c.others ? c.others : k);
        EXPECT_EQ(fields.at(route(k)), std::to_string(expected)) << "output " << k;
    }
    // The text went out as raw ASCII, without a frame around it.
    EXPECT_NE(sim_.stopAndTakeStderr().find(ptyLogOf(c.text)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SerialRoute,
    testing::Values(RouteCase{{}, {"route", "12", "9,10"}, "12V9,10.", {{9, 12}, {10, 12}}, 0},
                    // Outputs in any order go out in output order, two digits from 10 on.
                    RouteCase{{}, {"route", "4", "16,2,11"}, "4V2,11,16.", {{2, 4}, {11, 4}, {16, 4}}, 0},
                    RouteCase{{}, {"route", "16", "ALL"}, "16All.", {}, 16},
                    RouteCase{{{"route", "5", "all"}}, {"route", "one-to-one"}, "All#.", {}, 0}));

TEST_F(SerialMatrix, OutputFormatIsSetAndReadBack) {
    const Child::Result result = ctl({"matrix", "format", "720p59.94"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "sent MatrixOutputFormat=720p59.94\n");
    EXPECT_EQ(status().at("MatrixOutputFormat"), "720p59.94");
    // Command 0x19 with the payload 0x00 and the code 30.
    EXPECT_NE(
        sim_.stopAndTakeStderr().find("rx pty A5 6C 16 00 83 01 00 00 00 00 00 00 00 00 00 00 19 00 1E "),
        std::string::npos);
}

struct BacklightCase {
    Argv words;
    std::string timeText;
    std::string brightness;
};

class SerialBacklight : public SerialMatrix, public testing::WithParamInterface<BacklightCase> {};

TEST_P(SerialBacklight, TimeAndBrightnessAreSetAndReadBack) {
    const BacklightCase& c = GetParam();
    const Child::Result result = ctl(c.words);
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out,
              "sent BacklightTime=" + c.timeText + "\nsent BacklightBrightness=" + c.brightness + "\n");
    const Fields fields = status();
    EXPECT_EQ(fields.at("BacklightTime"), c.timeText);
    EXPECT_EQ(fields.at("BacklightBrightness"), c.brightness);
}

INSTANTIATE_TEST_SUITE_P(Settings, SerialBacklight,
                         testing::Values(BacklightCase{{"backlight", "2", "40"}, "15s Off", "40"},
                                         BacklightCase{{"backlight", "60s dim", "0"}, "60s Dim", "0"},
                                         BacklightCase{
                                             {"backlight", "Always On", "100"}, "Always On", "100"}));

TEST_F(SerialMatrix, AnOutputAbove16IsRefusedBeforeTheSearch) {
    const Child::Result result = ctl({"route", "1", "17"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(sim_.stopAndTakeStderr(), "");  // nothing reached the device, not even a search
}

TEST(SerialNoMatrix, AMultiviewerAloneIsNoMatrixSwitcher) {
    Child sim({KVX_SIM_PATH, "--no-udp", "--serial", "--device", "a1"});
    const std::optional<std::string> pty = sim.lineStartingWith("pty: ", kStartTimeoutMs);
    ASSERT_TRUE(pty.has_value()) << sim.stopAndTakeStderr();
    const Child::Result result = runCtl({"route", "1", "2"}, {"--serial", *pty});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "korvelux-ctl: no matrix switcher found\n");
    EXPECT_EQ(result.out, "");
}

struct DemoCase {
    Argv argv;
    int code;
    std::string out;  // stdout when the run exits 0, else the start of its one line on stderr
};

class DemoMatrix : public testing::TestWithParam<DemoCase> {};

// The demo set, inside korvelux-ctl: the first matrix switcher it finds is the 8x8 at 192.168.1.102, the
// 16x16 is at 192.168.1.103; COM1 serves the multiviewer.
TEST_P(DemoMatrix, RunsAgainstTheDemoSet) {
    const DemoCase& c = GetParam();
    Argv argv = c.argv;
    argv.push_back("--demo");
    const Child::Result result = runCtl(argv, {});
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.code, c.code) << result.err;
    if (c.code == 0) {
        EXPECT_EQ(result.out, c.out);
    } else {
        EXPECT_EQ(result.err.rfind(c.out, 0), 0u) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, DemoMatrix,
    testing::Values(
        DemoCase{{"route", "3", "1,2,5"}, 0, "sent 3V1,2,5.\n"},
        DemoCase{{"route", "8", "all"}, 0, "sent 8All.\n"},
        DemoCase{{"route", "16", "9", "--device", "192.168.1.103"}, 0, "sent 16V9.\n"},
        DemoCase{{"backlight", "60s Off", "75", "--device", "192.168.1.102", "--type", "82"},
                 0,
                 "sent BacklightTime=60s Off\nsent BacklightBrightness=75\n"},
        // Refused once the switcher found turns out to be an 8x8.
        DemoCase{{"route", "9", "1"}, 2, "korvelux-ctl: bad input '9' (1 to 8)"},
        DemoCase{{"route", "1", "2,9"}, 2, "korvelux-ctl: bad output '9' (1 to 8)"},
        DemoCase{
            {"matrix", "format", "720p50"}, 2, "korvelux-ctl: an 8x8 matrix switcher has no output format"},
        // No switcher at the address: both reads go unanswered.
        DemoCase{{"matrix", "status", "--device", "192.168.1.99"},
                 1,
                 "korvelux-ctl: no routing or backlight reply"},
        DemoCase{{"route", "1", "1", "--serial", "COM1"}, 1, "korvelux-ctl: no matrix switcher found"}));

struct UsageCase {
    Argv words;
    std::string stderrStart;
};

class MatrixUsageErrors : public testing::TestWithParam<UsageCase> {};

// Every one of these is refused before a search: --demo keeps them off any network all the same.
TEST_P(MatrixUsageErrors, ExitWithTwoBeforeAnySearch) {
    Argv words = GetParam().words;
    words.push_back("--demo");
    const Child::Result result = runCtl(words, {});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("korvelux-ctl: " + GetParam().stderrStart, 0), 0u) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Words, MatrixUsageErrors,
    testing::Values(
        UsageCase{{"route"}, "route takes IN OUT"}, UsageCase{{"route", "3"}, "route takes IN OUT"},
        UsageCase{{"route", "3", "1", "2"}, "route takes IN OUT"},
        UsageCase{{"route", "0", "1"}, "bad input '0' (1 to 16)"},
        UsageCase{{"route", "17", "all"}, "bad input '17' (1 to 16)"},
        UsageCase{{"route", "x", "1"}, "bad input 'x'"}, UsageCase{{"route", "3", "1,,2"}, "bad output ''"},
        UsageCase{{"route", "3", "1,"}, "bad output ''"},
        UsageCase{{"route", "3", "1,2,1"}, "output 1 is given twice"},
        UsageCase{{"route", "3", "+5"}, "bad output '+5'"},
        UsageCase{{"route", "9", "1", "--device", "192.168.1.102", "--type", "82"}, "bad input '9' (1 to 8)"},
        UsageCase{{"route", "1", "1", "--type", "82"}, "--type goes with --device"},
        UsageCase{{"route", "1", "1", "--device", "192.168.1.102", "--type", "84"},
                  "bad matrix switcher type '84'"},
        UsageCase{{"route", "1", "1", "--fast"}, "unknown option '--fast' for route"},
        UsageCase{{"backlight", "5", "10"}, "bad backlight time '5' (0 to 4)"},
        UsageCase{{"backlight", "15s", "10"}, "bad backlight time '15s'"},
        UsageCase{{"backlight", "1", "101"}, "bad brightness '101' (0 to 100)"},
        UsageCase{{"backlight", "1"}, "backlight takes TIME BRIGHTNESS"},
        UsageCase{{"matrix"}, "matrix needs status or format"},
        UsageCase{{"matrix", "flip"}, "unknown matrix command 'flip'"},
        UsageCase{{"matrix", "status", "now"}, "matrix status takes nothing"},
        UsageCase{{"matrix", "format"}, "matrix format takes one format text"},
        UsageCase{{"matrix", "format", "1080p61"}, "unknown output format '1080p61'"},
        UsageCase{{"matrix", "format", "7"}, "unknown output format '7'"},
        UsageCase{{"matrix", "format", "720p50", "--device", "192.168.1.102", "--type", "82"},
                  "an 8x8 matrix switcher has no output format"}));

TEST(MatrixHelp, ListsTheMatrixCommands) {
    const Child::Result result = runCtl({"--help"}, {});
    EXPECT_EQ(result.code, 0);
    for (const char* name : {"\n  route ", "\n  matrix ", "\n  backlight "})
        EXPECT_NE(result.out.find(name), std::string::npos) << name;
    EXPECT_NE(result.out.find("usage: korvelux-ctl matrix status | format TEXT"), std::string::npos);
}

// Over a LAN of two network namespaces: an 8x8 switcher in one, korvelux-ctl in the other.
class LanMatrix : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "the LAN test needs root to make network namespaces";
        if (!run("ip netns list")) GTEST_SKIP() << "'ip netns' is not available";
        pair_.emplace();
        if (!pair_->ok()) GTEST_SKIP() << "network namespaces with a veth pair cannot be made here";
    }

    Child::Result ctl(Argv words) {
        words.insert(words.begin(), KVX_CTL_PATH);
        Child child(pair_->inside(1, words));
        return child.finish(kRunTimeoutMs);
    }

    std::optional<NamespacePair> pair_;
};

TEST_F(LanMatrix, RouteByAddressThenStatusBySearch) {
    Child sim(pair_->inside(0, {KVX_SIM_PATH, "--device", "82:Rack 3:01:11223344"}));
    ASSERT_EQ(sim.lineStartingWith("listening on ", kStartTimeoutMs), "0.0.0.0:7000");

    const Child::Result all = ctl({"route", "6", "all"});
    ASSERT_EQ(all.code, 0) << all.err;
    EXPECT_EQ(all.out, "sent 6All.\n");
    const Child::Result some = ctl({"route", "2", "3,8", "--device", pair_->address(0), "--type", "82"});
    ASSERT_EQ(some.code, 0) << some.err;
    EXPECT_EQ(some.out, "sent 2V3,8.\n");

    const Child::Result status = ctl({"matrix", "status"});
    ASSERT_EQ(status.code, 0) << status.err;
    const Fields fields = fieldsOf(status.out);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(fields.at(route(k)), k == 3 || k == 8 ? "2" : "6") << k;
    EXPECT_EQ(fields.count(route(9)), 0u);
    EXPECT_EQ(fields.count("MatrixOutputFormat"), 0u);  // the 8x8 has none
    EXPECT_EQ(fields.at("BacklightTime"), "Always On");
    // The read's diagnostic lines come before the fields.
    EXPECT_LT(status.out.find("read matrix \n"), status.out.find("Route[1]=")) << status.out;
    // The routing text went from the PC's port 7000 to the switcher as one datagram of raw ASCII.
    EXPECT_NE(sim.stopAndTakeStderr().find("rx " + pair_->address(1) + ":7000 32 56 33 2C 38 2E\n"),
              std::string::npos);
}

}  // namespace ctl_matrix_test
