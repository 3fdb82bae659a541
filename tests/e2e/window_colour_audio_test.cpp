// The real window on its colour and audio pages against korvelux-sim, over a LAN of network namespaces made
// here: what the operator chooses on a page reaches the simulated multiviewer, and a change made on the
// multiviewer's own front panel (korvelux-sim --front-panel-input) shows on the page that holds it.
#include <gtest/gtest.h>

#include <memory>

#include "e2e/support/child_and_namespaces.h"
#include "protocol/control_frame.h"

namespace window_colour_audio_test {

using namespace kvx::e2e;

#ifdef KVX_APP_PATH

struct PageRun {
    std::string log;       // what the simulator logged
    std::string controls;  // the window's "controls" output, some time after the front-panel change
    std::string status;    // korvelux-ctl status of the device afterwards
};

// Runs the window with the steps, makes the front-panel change (as korvelux-sim reads it) once the window
// has done them, and lets the window print its controls 3 s later.
void runPage(const NamespacePair& pair, const std::string& steps, const std::string& frontPanel,
             PageRun& run) {
    Child sim(pair.inside(0, {KVX_SIM_PATH, "--device", "a1:Studio:01:0A0B0C0D", "--front-panel-input"}));
    ASSERT_EQ(sim.lineStartingWith("listening on ", 10000), "0.0.0.0:7000");

    Child window(pair.inside(1, {"env", "QT_QPA_PLATFORM=offscreen", KVX_APP_PATH, "--auto",
                                 "search,wait:800," + steps + ",print,wait:3000,controls,quit"}));
    ASSERT_TRUE(window.lineStartingWith("status\t", 30000).has_value()) << window.stopAndTakeStderr();
    ASSERT_TRUE(sim.writeLine(frontPanel));
    EXPECT_EQ(sim.lineStartingWith("front-panel: ", 10000), "done " + frontPanel);
    const Child::Result result = window.finish(30000);
    EXPECT_EQ(result.code, 0) << result.err;
    run.controls = result.out;

    Child status(pair.inside(1, {KVX_CTL_PATH, "status", "--device", pair.address(0)}));
    run.status = status.finish(20000).out;
    run.log = sim.stopAndTakeStderr();
}

// The log line of a request of the window, sent from its port 7000.
std::string request(const NamespacePair& pair, uint8_t code, const kvx::Bytes& payload) {
    return "rx " + pair.address(1) + ":7000" +
           hex(kvx::buildFrame(0xA1, 0x01, kvx::kLinkLan, code, payload)) + "\n";
}

// The LAN of two namespaces, or the test is skipped where they cannot be made.
class WindowPages : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "the LAN test needs root to make network namespaces";
        if (!run("ip netns list")) GTEST_SKIP() << "'ip netns' is not available";
        pair = std::make_unique<NamespacePair>();
        if (!pair->ok()) GTEST_SKIP() << "network namespaces with a veth pair cannot be made here";
    }
    std::unique_ptr<NamespacePair> pair;
};

TEST_F(WindowPages, ColourChosenOnPage3ReachesTheDeviceAndAFrontPanelColourShows) {
    // Input 4 (1032), yellow (6) for its label text (1033); then the device's front panel makes the label
    // background of input 9 light green (11).
    PageRun page;
    runPage(*pair, "click:1011,wait:200,choose:1032:4,choose:1033:6,wait:300", "colour 3c 9 11", page);
    EXPECT_NE(page.log.find(request(*pair, 0x3B, {4, 6})), std::string::npos) << page.log;
    EXPECT_NE(page.status.find("\nUmdTextColor=7,7,7,6,7,7,7,7,7,7,7,7,7,7,7,7\n"), std::string::npos)
        << page.status;
    // The page moved to input 9 and shows its colours: white text on the reported light green.
    EXPECT_NE(page.controls.find("1032\tlist\tshown\tenabled\t9\n"), std::string::npos) << page.controls;
    EXPECT_NE(page.controls.find("1033\tlist\tshown\tenabled\t7\n"), std::string::npos) << page.controls;
    EXPECT_NE(page.controls.find("1034\tlist\tshown\tenabled\t11\n"), std::string::npos) << page.controls;
}

TEST_F(WindowPages, MeterSwitchOnPage6ReachesTheDeviceAndAFrontPanelChannelPairShows) {
    // WIN 3 (1075), its meter OFF (1142); then the front panel gives window 10 the channels 7 and 8.
    PageRun page;
    runPage(*pair, "click:1016,wait:200,choose:1075:2,click:1142,wait:300", "request 52 0a 03", page);
    EXPECT_NE(page.log.find(request(*pair, 0x37, {3, 0})), std::string::npos) << page.log;
    EXPECT_NE(page.status.find("\nAudioMeterOn=1,1,0,1,1,1,1,1,1,1,1,1,1,1,1,1\n"), std::string::npos)
        << page.status;
    EXPECT_NE(page.controls.find("1075\tlist\tshown\tenabled\t9\n"), std::string::npos) << page.controls;
    EXPECT_NE(page.controls.find("1077\tlist\tshown\tenabled\t3\n"), std::string::npos) << page.controls;
    EXPECT_NE(page.controls.find("1141\tradio\tshown\tenabled\t1\n"), std::string::npos) << page.controls;
}

#endif

}  // namespace window_colour_audio_test
