// Front-panel actions of the simulated multiviewer written as text lines (korvelux-sim's input).
#include <gtest/gtest.h>

#include "multiviewer/multiviewer_codes.h"
#include "simulator/demo_devices.h"
#include "simulator/front_panel_commands.h"

namespace kvx {
namespace simulator_front_panel_commands_test {

struct CommandCase {
    const char* line;
    FrontPanelResult result;
    uint8_t reportCode;  // the report that went to the PC; 0 for none
};

class FrontPanelCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(FrontPanelCommandTest, LinesBecomeReportedChangesOrAreRefused) {
    const CommandCase& c = GetParam();
    MultiviewerDevice device(defaultIdentity(kTypeMultiviewer, 0));
    std::vector<Bytes> reports;
    device.setReportSink([&](const Bytes& frame) { reports.push_back(frame); });
    EXPECT_EQ(applyFrontPanelCommand(device, c.line), c.result) << c.line;
    if (c.reportCode == 0) {
        EXPECT_TRUE(reports.empty()) << c.line;
    } else {
        ASSERT_EQ(reports.size(), 1u) << c.line;
        EXPECT_EQ(reports[0][16], c.reportCode) << c.line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FrontPanelCommandTest,
    ::testing::Values(CommandCase{"layout 90", FrontPanelResult::Done, mv::kSetLayout},
                      CommandCase{"  layout\t40\r", FrontPanelResult::Done, mv::kSetLayout},
                      CommandCase{"layout 77", FrontPanelResult::Refused, 0},
                      CommandCase{"source 3 12", FrontPanelResult::Done, mv::kSetSource},
                      CommandCase{"source 17 1", FrontPanelResult::Refused, 0},
                      CommandCase{"umd 5 1", FrontPanelResult::Done, mv::kSetUmdOn},
                      CommandCase{"umd 0 0", FrontPanelResult::Done, mv::kSetAllUmd},
                      CommandCase{"colour 3b 4 6", FrontPanelResult::Done, mv::kSetUmdTextColor},
                      CommandCase{"colour 55 0 2", FrontPanelResult::Done, mv::kSetTimecodeBackColor},
                      CommandCase{"colour 33 1 1", FrontPanelResult::Refused, 0},
                      CommandCase{"signal 0 1 31", FrontPanelResult::Done, mv::kWindowSignal},
                      CommandCase{"defaults", FrontPanelResult::Done, mv::kLoadDefault},
                      CommandCase{"request 5d 00", FrontPanelResult::Done, mv::kSetFormatStatus},
                      CommandCase{"request 19 00 0e", FrontPanelResult::Done, mv::kSetOutputFormat},
                      CommandCase{"request 19 00 02", FrontPanelResult::Refused, 0},
                      CommandCase{"request 0a", FrontPanelResult::Refused, 0},
                      CommandCase{"request", FrontPanelResult::Unknown, 0},
                      CommandCase{"request 5d 1g", FrontPanelResult::Unknown, 0},
                      CommandCase{"layout", FrontPanelResult::Unknown, 0},
                      CommandCase{"layout 300", FrontPanelResult::Unknown, 0},
                      CommandCase{"layout x", FrontPanelResult::Unknown, 0},
                      CommandCase{"source 1 2 3", FrontPanelResult::Unknown, 0},
                      CommandCase{"", FrontPanelResult::Unknown, 0},
                      CommandCase{"reboot", FrontPanelResult::Unknown, 0}));

}  // namespace simulator_front_panel_commands_test
}  // namespace kvx
