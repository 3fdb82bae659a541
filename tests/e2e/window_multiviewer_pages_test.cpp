// The real window on the UMD and settings pages of a multiviewer that korvelux-sim serves in another network
// namespace: a label typed and entered reaches the device, a change made on the device's front panel shows
// on the page that holds it, and Load Custom 2 reloads the device while the window keeps answering.
#include <gtest/gtest.h>

#include <sstream>

#include "e2e/support/child_and_namespaces.h"
#include "protocol/control_frame.h"

namespace window_multiviewer_pages_test {

using namespace kvx::e2e;

#ifdef KVX_APP_PATH

const char* const kMultiviewer = "a1:Studio:01:0A0B0C0D";

// The request as the simulator logs it when it comes from the PC's port 7000.
std::string logged(const std::string& pc, uint8_t code, const kvx::Bytes& payload) {
    return "rx " + pc + ":7000" +
           hex(kvx::buildFrame(kvx::kTypeMultiviewer, 0x01, kvx::kLinkLan, code, payload)) + "\n";
}

// The values that the scripted run's `controls` steps printed for one control, in order.
std::vector<std::string> listed(const std::string& out, int id) {
    std::vector<std::string> lines;
    std::istringstream text(out);
    for (std::string line; std::getline(text, line);) {
        if (line.rfind(std::to_string(id) + "\t", 0) == 0) lines.push_back(line);
    }
    return lines;
}

class WindowOnAMultiviewer : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "the LAN test needs root to make network namespaces";
        if (!run("ip netns list")) GTEST_SKIP() << "'ip netns' is not available";
        if (!pair.ok()) GTEST_SKIP() << "network namespaces with a veth pair cannot be made here";
        sim = std::make_unique<Child>(
            pair.inside(0, {KVX_SIM_PATH, "--device", kMultiviewer, "--front-panel-input"}));
        ASSERT_EQ(sim->lineStartingWith("listening on ", 10000), "0.0.0.0:7000");
    }
    std::unique_ptr<Child> window(const std::string& steps) {
        return std::make_unique<Child>(
            pair.inside(1, {"env", "QT_QPA_PLATFORM=offscreen", KVX_APP_PATH, "--auto", steps}));
    }
    // Once the simulator has received `request`, its front panel makes `change`.
    void changeOnTheFrontPanelAfter(const std::string& request, const std::string& change) {
        ASSERT_TRUE(sim->stderrContains(request, 20000)) << request;
        ASSERT_TRUE(sim->writeLine(change));
        EXPECT_EQ(sim->lineStartingWith("front-panel: ", 10000), "done " + change);
    }

    NamespacePair pair;
    std::unique_ptr<Child> sim;
};

TEST_F(WindowOnAMultiviewer, ALabelEnteredOnTheUmdPageReachesTheDeviceAndItsFrontPanelShowsOnThePage) {
    const std::string pc = pair.address(1);
    auto app =
        window("search,wait:800,click:1010,wait:300,type:1033:CAM 1,key:Enter,wait:2000,controls,quit");
    const std::string label = logged(
        pc, 0x1E,
        {3, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 'C', 0x00, 'A', 0x00, 'M', 0x00, ' ', 0x00, '1', 0x00});
    // Input 5's UMD goes off on the device's own panel while the page shows it on.
    changeOnTheFrontPanelAfter(label, "umd 5 0");
    const Child::Result result = app->finish(30000);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(listed(result.out, 1033), std::vector<std::string>{"1033\tedit\tshown\tenabled\tCAM 1"});
    EXPECT_EQ(listed(result.out, 1131), std::vector<std::string>{"1131\tbutton\tshown\tenabled\t406"})
        << result.out;

    Child status(pair.inside(1, {KVX_CTL_PATH, "status", "--device", pair.address(0)}));
    const Child::Result after = status.finish(20000);
    EXPECT_NE(after.out.find("UmdName[3]=CAM 1\n"), std::string::npos) << after.out << after.err;
}

TEST_F(WindowOnAMultiviewer, LoadCustomTwoReloadsTheDeviceWhileTheWindowAnswers) {
    const std::string pc = pair.address(1);
    // Save To Custom 1, then the front panel's change; Load Custom 2, the controls a second into the
    // device's 3000 ms and again once it has been read back.
    auto app = window(
        "search,wait:800,click:1012,wait:300,click:1119,wait:2000,controls,click:1122,wait:1000,controls,"
        "wait:4000,controls,quit");
    changeOnTheFrontPanelAfter(logged(pc, 0x58, {1}), "request 5d 00");
    const Child::Result result = app->finish(40000);
    EXPECT_EQ(result.code, 0) << result.err;

    // Format Status: off after the front panel's change; preset 2 (the factory settings) has it on.
    const std::vector<std::string> formatStatus = listed(result.out, 1116);
    EXPECT_EQ(formatStatus, (std::vector<std::string>{"1116\tbutton\tshown\tenabled\t205",
                                                      "1116\tbutton\tshown\tdisabled\t205",
                                                      "1116\tbutton\tshown\tenabled\t206"}))
        << result.out;
    // The page buttons are disabled while the device reloads: the window answered in the middle of it.
    EXPECT_EQ(listed(result.out, 1009), (std::vector<std::string>{"1009\tbutton\tshown\tenabled\t290",
                                                                  "1009\tbutton\tshown\tdisabled\t290",
                                                                  "1009\tbutton\tshown\tenabled\t290"}));

    const std::string log = sim->stopAndTakeStderr();
    const size_t load = log.find(logged(pc, 0x59, {2}));
    ASSERT_NE(load, std::string::npos) << log;
    EXPECT_NE(log.find(logged(pc, 0x0A, {}), load), std::string::npos) << "the read-back after it\n" << log;
}

#endif

}  // namespace window_multiviewer_pages_test
