// The window's --trace: every frame of a search on the demo devices on stderr, and nothing without it.
#include <gtest/gtest.h>

#include <string>

#include "e2e/support/child_and_namespaces.h"
#include "simulator/demo_devices.h"
#include "simulator/simulated_device.h"

namespace window_trace_test {

using namespace kvx::e2e;

#ifdef KVX_APP_PATH

Child::Result window(const std::vector<std::string>& options) {
    std::vector<std::string> argv{"env",        "QT_QPA_PLATFORM=offscreen", KVX_APP_PATH, "--demo", "--auto",
                                  "search,quit"};
    argv.insert(argv.end(), options.begin(), options.end());
    Child app(argv);
    return app.finish(30000);
}

TEST(WindowTrace, TheSearchFramesOneLineEach) {
    const Child::Result result = window({"--trace"});
    ASSERT_EQ(result.code, 0) << result.err;
    // The probe (its last bytes carry the time of day), then every demo device's answer as it came.
    EXPECT_NE(
        result.err.find(" send lan:255.255.255.255:7000 A5 6C 1B 00 FF FF 01 00 00 00 00 00 00 00 00 00 FF "),
        std::string::npos)
        << result.err;
    const auto devices = kvx::makeSimulatedDevices(kvx::demoIdentities());
    for (size_t i = 0; i < devices.size(); ++i) {
        const std::string from = "192.168.1." + std::to_string(101 + i);
        EXPECT_NE(result.err.find(" recv lan:" + from + ":7000" +
                                  hex(devices[i]->discoveryReply(kvx::kLinkLan)) + "\n"),
                  std::string::npos)
            << from << "\n"
            << result.err;
    }
}

TEST(WindowTrace, NoFrameLinesWithoutIt) {
    const Child::Result result = window({});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err.find(" send "), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find(" recv "), std::string::npos) << result.err;
}

#endif

}  // namespace window_trace_test
