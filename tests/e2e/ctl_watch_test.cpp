// korvelux-ctl watch and --confirm over a LAN made of two network namespaces: korvelux-sim's multiviewer in
// one, changing something on its own front panel every 150 ms, korvelux-ctl in the other.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>

#include "e2e/support/child_and_namespaces.h"
#include "protocol/json_text.h"

namespace ctl_watch_test {

using namespace kvx::e2e;
using kvx::Json;
using Argv = std::vector<std::string>;

constexpr int kStartTimeoutMs = 10000;
constexpr int kLineTimeoutMs = 10000;
constexpr int kRunTimeoutMs = 20000;

class LanWatch : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "the LAN test needs root to make network namespaces";
        if (!run("ip netns list")) GTEST_SKIP() << "'ip netns' is not available";
        pair_.emplace();
        if (!pair_->ok()) GTEST_SKIP() << "network namespaces with a veth pair cannot be made here";
    }

    // The multiviewer, with the simulator's options.
    void startSim(const Argv& options) {
        Argv argv{KVX_SIM_PATH, "--device", "a1:Wall:01:0A0B0C0D"};
        argv.insert(argv.end(), options.begin(), options.end());
        sim_.emplace(pair_->inside(0, argv));
        ASSERT_EQ(sim_->lineStartingWith("listening on ", kStartTimeoutMs), "0.0.0.0:7000");
    }

    Argv ctlArgv(Argv words) const {
        words.insert(words.begin(), KVX_CTL_PATH);
        return pair_->inside(1, words);
    }

    std::optional<NamespacePair> pair_;
    std::optional<Child> sim_;
};

TEST_F(LanWatch, JsonLinesOfEveryFrontPanelChangeAndTheStateAfterAWholeStateReport) {
    startSim({"--front-panel-demo", "--front-panel-interval", "150"});
    Child watch(ctlArgv({"watch", "--json"}));
    // The front panel's cycle: layout, a window's source, a label switch, a label colour, a signal.
    const std::set<std::string> cycle{"SetLayout", "SetSource", "SetUmdOn", "SetUmdTextColor",
                                      "WindowSignal"};
    const std::map<std::string, std::string> fieldOf{{"SetLayout", "LayoutMode"},
                                                     {"SetSource", "WindowSource"},
                                                     {"SetUmdOn", "UmdOn"},
                                                     {"SetUmdTextColor", "UmdTextColor"},
                                                     {"WindowSignal", "WindowSignal"}};
    std::set<std::string> seen;
    for (int n = 0; n < 12; ++n) {
        const std::optional<std::string> line = watch.lineStartingWith("{", kLineTimeoutMs);
        ASSERT_TRUE(line) << watch.stopAndTakeStderr();
        std::string error;
        const std::optional<Json> report = kvx::parseJson("{" + *line, error);
        ASSERT_TRUE(report) << error << ": " << *line;
        const std::string name = *report->member("name")->asString();
        ASSERT_TRUE(cycle.count(name)) << *line;
        EXPECT_EQ(*report->member("field")->asString(), fieldOf.at(name)) << *line;
        if (name == "SetLayout") {
            const double layout = *report->member("value")->asNumber();
            EXPECT_TRUE(layout == 90 || layout == 160 || layout == 40 || layout == 61) << *line;
        } else {
            const double index = *report->member("index")->asNumber();
            EXPECT_TRUE(index >= 1 && index <= 16) << *line;
        }
        seen.insert(name);
    }
    EXPECT_EQ(seen, cycle);

    // The factory settings loaded from elsewhere: a whole-state report, and the state read back with it.
    Child loader(ctlArgv({"mv", "load-default", "--device", pair_->address(0)}));
    ASSERT_EQ(loader.finish(kRunTimeoutMs).code, 0);
    std::optional<Json> whole;
    for (int n = 0; n < 40 && !whole; ++n) {
        const std::optional<std::string> line = watch.lineStartingWith("{", kLineTimeoutMs);
        ASSERT_TRUE(line);
        std::string error;
        std::optional<Json> report = kvx::parseJson("{" + *line, error);
        ASSERT_TRUE(report) << error;
        if (*report->member("name")->asString() == "LoadDefault") whole = std::move(report);
    }
    ASSERT_TRUE(whole);
    EXPECT_EQ(*whole->member("code")->asNumber(), 0x0B);
    const Json* state = whole->member("state");
    ASSERT_TRUE(state && state->asObject());
    EXPECT_EQ(*state->member("DeviceName")->asString(), "Wall");
    EXPECT_EQ(*(*state->member("UmdName")->asArray())[15].asString(), "Umd_16");

    watch.interrupt();
    const Child::Result ended = watch.finish(kRunTimeoutMs);
    EXPECT_TRUE(ended.exited);
    EXPECT_EQ(ended.code, 0);
    EXPECT_EQ(ended.err,
              "korvelux-ctl: watching the multiviewer " + pair_->address(0) + "; interrupt to stop\n");
}

TEST_F(LanWatch, TextLinesForADeviceGivenByItsAddress) {
    startSim({"--front-panel-demo", "--front-panel-interval", "150"});
    Child watch(ctlArgv({"watch", "--device", pair_->address(0)}));
    static const std::regex line(
        "0x33 SetLayout LayoutMode=(90|160|40|61)|0x34 SetSource WindowSource\\[[0-9]+\\]=[0-9]+|"
        "0x36 SetUmdOn UmdOn\\[[0-9]+\\]=[01]|0x3B SetUmdTextColor UmdTextColor\\[[0-9]+\\]=[0-9]+|"
        "0x51 WindowSignal WindowSignal\\[[0-9]+\\]=[01]/[0-9]+");
    for (int n = 0; n < 10; ++n) {
        const std::optional<std::string> report = watch.lineStartingWith("0x", kLineTimeoutMs);
        ASSERT_TRUE(report) << watch.stopAndTakeStderr();
        EXPECT_TRUE(std::regex_match("0x" + *report, line)) << *report;
    }
    watch.interrupt();
    EXPECT_EQ(watch.finish(kRunTimeoutMs).code, 0);
}

TEST_F(LanWatch, ConfirmWaitsOneSecondForAReportThatNeverComes) {
    startSim({"--ignore", "33"});
    Child ignored(ctlArgv({"mv", "layout", "90", "--confirm"}));
    const Child::Result result = ignored.finish(kRunTimeoutMs);
    EXPECT_EQ(result.code, 3);
    EXPECT_EQ(result.out, "sent A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 33 5A 56 02 AE\n");
    EXPECT_EQ(result.err, "korvelux-ctl: no report of the change within 1000 ms\n");

    Child taken(ctlArgv({"mv", "border", "0", "--confirm", "--device", pair_->address(0)}));
    const Child::Result confirmed = taken.finish(kRunTimeoutMs);
    EXPECT_EQ(confirmed.code, 0) << confirmed.err;
    EXPECT_NE(confirmed.out.find("\nconfirmed 0x3F SetBorder BorderOn=0\n"), std::string::npos)
        << confirmed.out;
}

}  // namespace ctl_watch_test
