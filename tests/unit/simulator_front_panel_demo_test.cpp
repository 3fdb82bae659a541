#include <gtest/gtest.h>

#include "simulator/front_panel_demo.h"

namespace kvx {
namespace simulator_front_panel_demo_test {

TEST(FrontPanelDemo, EachStepMakesTheNextChangeOfTheCycleAndReportsIt) {
    MultiviewerDevice device({kTypeMultiviewer, 0x01, "KVX_MV16", {0x4B, 0x56, 0x01, 0xA1}});
    std::vector<Bytes> reports;
    device.setReportSink([&](const Bytes& frame) { reports.push_back(frame); });
    FrontPanelDemo demo(device, 0);
    for (int i = 0; i < 10; ++i) demo.step();

    ASSERT_EQ(reports.size(), 10u) << "every change of the cycle is one the device accepts";
    const uint8_t expected[] = {0x33, 0x34, 0x36, 0x3B, 0x51};
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i][16], expected[i % 5]) << "report " << i;
        EXPECT_EQ(Bytes(reports[i].begin() + 10, reports[i].begin() + 14), (Bytes{0x4B, 0x56, 0x01, 0xA1}));
    }
    EXPECT_EQ(reports[0][18], 90) << "the first change is layout 90";
    EXPECT_EQ(reports[5][18], 160);
    EXPECT_EQ(device.state().model.LayoutMode, 160);
}

}  // namespace simulator_front_panel_demo_test
}  // namespace kvx
