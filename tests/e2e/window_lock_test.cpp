// The real window end to end: korvelux (offscreen) in one network namespace searches the LAN, finds the
// devices that korvelux-sim serves in another, and its lock button reaches the device.
#include <gtest/gtest.h>

#include "e2e/support/child_and_namespaces.h"

namespace window_lock_test {

using namespace kvx::e2e;

#ifdef KVX_APP_PATH

TEST(WindowOnTheLan, SearchListsTheSimulatedDevicesAndTheLockButtonReachesTheDevice) {
    if (::geteuid() != 0) GTEST_SKIP() << "the LAN test needs root to make network namespaces";
    if (!run("ip netns list")) GTEST_SKIP() << "'ip netns' is not available";
    NamespacePair pair;
    if (!pair.ok()) GTEST_SKIP() << "network namespaces with a veth pair cannot be made here";

    Child sim(pair.inside(
        0, {KVX_SIM_PATH, "--device", "a1:Studio:01:0A0B0C0D", "--device", "82:Router:01:01020304"}));
    ASSERT_TRUE(sim.started());
    ASSERT_EQ(sim.lineStartingWith("listening on ", 10000), "0.0.0.0:7000");

    Child window(pair.inside(1, {"env", "QT_QPA_PLATFORM=offscreen", KVX_APP_PATH, "--auto",
                                 "search,print,click:1005,wait:500,quit"}));
    const Child::Result result = window.finish(30000);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.code, 0) << result.err;
    const std::string device = pair.address(0);
    EXPECT_NE(
        result.out.find("item\tStudio_" + device + "\nitem\tRouter_" + device + "\nstatus\tConnected - 2\n"),
        std::string::npos)
        << result.out;
    // The lock request of the first (selected) device, sent over the LAN link from the PC's port 7000.
    const std::string log = sim.stopAndTakeStderr();
    EXPECT_NE(log.find("rx " + pair.address(1) +
                       ":7000 A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 50 01 1A 02 AE"),
              std::string::npos)
        << log;
}

#endif

}  // namespace window_lock_test
