// The real window drives a simulated multiviewer over a LAN in network namespaces made here: a layout
// change on the device's own front panel reaches the layout page and the preview, and choosing the
// switcher page (answering its question with OK) puts the device into switcher mode.
#include <gtest/gtest.h>

#ifdef KVX_APP_PATH
#include <QImage>
#include <filesystem>

#include "e2e/support/child_and_namespaces.h"
#include "protocol/control_frame.h"

namespace window_multiviewer_test {

using namespace kvx::e2e;

// The preview's area of a window screenshot: the panel at (20, 160), the preview at (5, 40) in it.
QImage previewOf(const std::string& file) {
    return QImage(QString::fromStdString(file)).copy(25, 200, 720, 480);
}

TEST(WindowDrivesAMultiviewer, FrontPanelLayoutReachesThePageAndThePreviewAndPage5SetsSwitcherMode) {
    if (::geteuid() != 0) GTEST_SKIP() << "the LAN test needs root to make network namespaces";
    if (!run("ip netns list")) GTEST_SKIP() << "'ip netns' is not available";
    NamespacePair pair;
    if (!pair.ok()) GTEST_SKIP() << "network namespaces with a veth pair cannot be made here";
    const std::filesystem::path shots =
        std::filesystem::temp_directory_path() / ("kvx-e2e-mv-" + std::to_string(::getpid()));
    std::filesystem::create_directories(shots);
    const std::string before = (shots / "before.png").string();
    const std::string after = (shots / "after.png").string();

    Child sim(pair.inside(0, {KVX_SIM_PATH, "--device", "a1:Studio:01:0A0B0C0D", "--front-panel-input"}));
    ASSERT_EQ(sim.lineStartingWith("listening on ", 10000), "0.0.0.0:7000");
    Child window(pair.inside(
        1, {"env", "QT_QPA_PLATFORM=offscreen", KVX_APP_PATH, "--auto",
            "search,wait:1000,screenshot:" + before + ",print,wait:2500,controls,screenshot:" + after +
                ",click:1015,answer:ok,wait:800,model,quit"}));
    // Once the panel has read the device (factory settings: layout 160), the operator at the device
    // chooses layout 92.
    ASSERT_TRUE(window.lineStartingWith("status\t", 20000).has_value());
    ASSERT_TRUE(sim.writeLine("layout 92"));
    ASSERT_EQ(sim.lineStartingWith("front-panel: ", 5000), "done layout 92");

    const Child::Result result = window.finish(30000);
    EXPECT_EQ(result.code, 0) << result.err;
    // Layout 92 is button 1107 with its highlighted image 266, in the "WIN 9" group of the PICTURE list.
    EXPECT_NE(result.out.find("1107\tbutton\tshown\tenabled\t266\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("1113\tbutton\thidden\tenabled\t277\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("1074\tlist\tshown\tenabled\t4\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("LayoutMode=92\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("SwitcherMode=1\n"), std::string::npos) << result.out;
    const QImage previewBefore = previewOf(before);
    ASSERT_FALSE(previewBefore.isNull());
    EXPECT_NE(previewBefore, previewOf(after)) << "the preview follows the device's layout";

    // Page 5 after the question: SetWorkMode with 1, from the PC's port 7000.
    const std::string log = sim.stopAndTakeStderr();
    EXPECT_NE(log.find("rx " + pair.address(1) + ":7000" +
                       hex(kvx::buildFrame(0xA1, 0x01, kvx::kLinkLan, 0x62, {1}))),
              std::string::npos)
        << log;
    std::filesystem::remove_all(shots);
}

}  // namespace window_multiviewer_test

#endif
