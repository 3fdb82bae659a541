// The real window drives a simulated 16x16 matrix switcher: at connect it reads routing and backlight,
// and a routing made on the panel (input 3 to outputs 1 and 2, apply) reaches the switcher. Over the LAN
// in network namespaces made here, and over a pty on the serial link.
#include <gtest/gtest.h>

#include "e2e/support/child_and_namespaces.h"
#include "protocol/control_frame.h"

namespace window_matrix_test {

using namespace kvx::e2e;

#ifdef KVX_APP_PATH

const char* const kSwitcher = "83:TQL2408P:01:01020304";
// Input 3 (control 1160), outputs 1 and 2 (1174, 1175), apply (1190), once the panel has read the device.
const char* const kRouteThreeToOneAndTwo = "click:1160,click:1174,click:1175,click:1190,wait:500";

// What the panel sent, as the simulator logged it: both read-backs, then the routing text.
void expectReadsThenRouting(const std::string& log, const std::string& source, kvx::LinkKind link) {
    const size_t routing = log.find("rx " + source + hex(kvx::buildFrame(0x83, 0x01, link, 0x53)));
    const size_t backlight = log.find("rx " + source + hex(kvx::buildFrame(0x03, 0x01, link, 0x50)));
    const size_t text = log.find("rx " + source + hex({'3', 'V', '1', ',', '2', '.'}) + "\n");
    ASSERT_NE(routing, std::string::npos) << log;
    ASSERT_NE(backlight, std::string::npos) << log;
    ASSERT_NE(text, std::string::npos) << log;
    EXPECT_LT(routing, backlight);
    EXPECT_LT(backlight, text);
}

TEST(WindowDrivesA16x16, OverTheLan) {
    if (::geteuid() != 0) GTEST_SKIP() << "the LAN test needs root to make network namespaces";
    if (!run("ip netns list")) GTEST_SKIP() << "'ip netns' is not available";
    NamespacePair pair;
    if (!pair.ok()) GTEST_SKIP() << "network namespaces with a veth pair cannot be made here";
    Child sim(pair.inside(0, {KVX_SIM_PATH, "--device", kSwitcher}));
    ASSERT_EQ(sim.lineStartingWith("listening on ", 10000), "0.0.0.0:7000");

    Child window(pair.inside(1, {"env", "QT_QPA_PLATFORM=offscreen", KVX_APP_PATH, "--auto",
                                 std::string("search,wait:800,") + kRouteThreeToOneAndTwo + ",quit"}));
    const Child::Result result = window.finish(30000);
    EXPECT_EQ(result.code, 0) << result.err;

    Child status(pair.inside(1, {KVX_CTL_PATH, "matrix", "status", "--device", pair.address(0)}));
    const Child::Result after = status.finish(20000);
    EXPECT_NE(after.out.find("Route[1]=3\n"), std::string::npos) << after.out << after.err;
    EXPECT_NE(after.out.find("Route[2]=3\n"), std::string::npos) << after.out;
    EXPECT_NE(after.out.find("Route[3]=3\n"), std::string::npos) << "output 3 kept its input";
    expectReadsThenRouting(sim.stopAndTakeStderr(), pair.address(1) + ":7000", kvx::kLinkLan);
}

TEST(WindowDrivesA16x16, OverAPtyOnTheSerialLink) {
    Child sim({KVX_SIM_PATH, "--serial", "--no-udp", "--serial-pieces", "3", "--device", kSwitcher});
    const std::optional<std::string> pty = sim.lineStartingWith("pty: ", 10000);
    ASSERT_TRUE(pty.has_value()) << sim.stopAndTakeStderr();

    Child window({"env", "QT_QPA_PLATFORM=offscreen", KVX_APP_PATH, "--auto",
                  "serial:" + *pty + ",search,wait:3000," + kRouteThreeToOneAndTwo + ",quit"});
    const Child::Result result = window.finish(40000);
    EXPECT_EQ(result.code, 0) << result.err;

    Child status({KVX_CTL_PATH, "matrix", "status", "--serial", *pty});
    const Child::Result after = status.finish(20000);
    EXPECT_NE(after.out.find("Route[1]=3\n"), std::string::npos) << after.out << after.err;
    EXPECT_NE(after.out.find("Route[2]=3\n"), std::string::npos) << after.out;
    expectReadsThenRouting(sim.stopAndTakeStderr(), "pty", kvx::kLinkSerial);
}

#endif

}  // namespace window_matrix_test
