// Reports are applied one at a time in arrival order; whole-state re-reads hold the later ones back and
// fold together.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/report_sequencer.h"

namespace kvx {
namespace multiviewer_report_sequencer_test {

const DeviceId kConnected{0x11, 0x22, 0x33, 0x44};
const DeviceId kStranger{0x11, 0x22, 0x33, 0x45};

Bytes report(uint8_t code, uint8_t d0 = 0, const DeviceId& id = kConnected, uint8_t d1 = 0) {
    Bytes frame = buildFrame(0xA1, 0x01, kLinkLan, code, {0x00, d0, d1});
    std::copy(id.begin(), id.end(), frame.begin() + 10);
    return frame;
}

// Records what the sequencer does: "apply 33:4" (or "apply 34:3,12") for a report applied, "reread
// reset|keep" for a re-read.
class SequencerTest : public ::testing::Test {
protected:
    ReportSequencer sequencer{
        kConnected,
        {[this](const Bytes& d) {
             steps.push_back("apply " + hex(d[16]) + ":" + std::to_string(d[18]) +
                             (d[19] ? "," + std::to_string(d[19]) : ""));
         },
         [this](bool reset) { steps.push_back(reset ? "reread reset" : "reread keep"); }}};
    std::vector<std::string> steps;

    static std::string hex(uint8_t code) {
        char text[3];
        std::snprintf(text, sizeof text, "%02X", code);
        return text;
    }
};

using Steps = std::vector<std::string>;

TEST_F(SequencerTest, ReportsAreAppliedAtOnceWhileNothingIsUnderWay) {
    sequencer.arrive(report(mv::kSetLayout, 4));
    sequencer.arrive(report(mv::kSetBorder, 1));
    EXPECT_EQ(steps, (Steps{"apply 33:4", "apply 3F:1"}));
    EXPECT_FALSE(sequencer.busy());
}

TEST_F(SequencerTest, ReportsDuringAReReadWaitForItAndKeepTheirOrder) {
    sequencer.arrive(report(mv::kLoadCustom));
    sequencer.arrive(report(mv::kSetLayout, 90));
    sequencer.arrive(report(mv::kSetBorder, 1));
    sequencer.arrive(report(mv::kSetAllUmd, 0));
    EXPECT_EQ(steps, (Steps{"reread keep"}));
    EXPECT_TRUE(sequencer.busy());
    EXPECT_EQ(sequencer.waiting(), 3u);

    sequencer.finish();
    EXPECT_EQ(steps, (Steps{"reread keep", "apply 33:90", "apply 3F:1", "apply 5C:0"}));
    EXPECT_FALSE(sequencer.busy());
    EXPECT_EQ(sequencer.waiting(), 0u);
}

TEST_F(SequencerTest, WholeStateReportsThatWaitFoldIntoOneReReadAfterTheReportsBeforeTheLast) {
    sequencer.arrive(report(mv::kLoadCustom));    // under way
    sequencer.arrive(report(mv::kSetLayout, 4));  // before the folded re-read
    sequencer.arrive(report(mv::kLoadDefault));   // resets the selections
    sequencer.arrive(report(mv::kSetBorder, 1));  // still before the last whole-state report
    for (int i = 0; i < 50; ++i) sequencer.arrive(report(mv::kLoadCustom));
    sequencer.arrive(report(mv::kSetAllUmd, 1));  // after it
    EXPECT_EQ(sequencer.waiting(), 4u);

    sequencer.finish();
    // One more re-read, which resets the selections since one of those folded into it does.
    EXPECT_EQ(steps, (Steps{"reread keep", "apply 33:4", "apply 3F:1", "reread reset"}));
    EXPECT_TRUE(sequencer.busy());
    sequencer.finish();
    EXPECT_EQ(steps.back(), "apply 5C:1");
    EXPECT_FALSE(sequencer.busy());
}

TEST_F(SequencerTest, OtherDevicesReportsAreDroppedEvenWhileBusy) {
    sequencer.arrive(report(mv::kLoadDefault, 0, kStranger));
    EXPECT_FALSE(sequencer.busy());
    sequencer.arrive(report(mv::kStateChanged));
    for (int i = 0; i < 1000; ++i) sequencer.arrive(report(mv::kSetLayout, 4, kStranger));
    EXPECT_EQ(sequencer.waiting(), 0u);
    sequencer.finish();
    EXPECT_EQ(steps, (Steps{"reread reset"}));
}

TEST_F(SequencerTest, WaitingReportsForOneFieldKeepOnlyTheLastValueInItsArrivalPlace) {
    sequencer.hold();
    for (int i = 0; i < 10000; ++i) {
        sequencer.arrive(report(mv::kSetUmdTextColor, 4, kConnected, static_cast<uint8_t>(i % 16)));
        sequencer.arrive(report(mv::kSetUmdTextColor, 5, kConnected, 9));
        sequencer.arrive(report(mv::kSetSource, 3, kConnected, 12));  // input 3 on window 12
        sequencer.arrive(report(mv::kSetSource, 7, kConnected, 2));   // another window
    }
    sequencer.arrive(report(mv::kSetUmdTextColor, 4, kConnected, 2));
    EXPECT_EQ(sequencer.waiting(), 4u);
    sequencer.finish();
    // Input 4's colour came last: the selection it sets is the one left, as with every report applied.
    EXPECT_EQ(steps, (Steps{"apply 3B:5,9", "apply 34:3,12", "apply 34:7,2", "apply 3B:4,2"}));
}

TEST_F(SequencerTest, AHoldKeepsReportsBackUntilItIsFinished) {
    sequencer.hold();
    sequencer.arrive(report(mv::kSetLayout, 40));
    sequencer.arrive(report(mv::kStateChanged));
    EXPECT_TRUE(steps.empty());
    sequencer.finish();
    EXPECT_EQ(steps, (Steps{"apply 33:40", "reread reset"}));
}

TEST_F(SequencerTest, AnExchangeStartsAtOnceWhenIdleAndReportsWaitUntilItFinishes) {
    sequencer.queueExchange([this] { steps.push_back("exchange"); });
    EXPECT_EQ(steps, (Steps{"exchange"}));
    EXPECT_TRUE(sequencer.busy());
    sequencer.arrive(report(mv::kSetAllUmd, 0));
    sequencer.arrive(report(mv::kLoadCustom));  // the device's own report of the preset it loaded
    EXPECT_EQ(steps, (Steps{"exchange"}));
    sequencer.finish();
    EXPECT_EQ(steps, (Steps{"exchange", "apply 5C:0", "reread keep"}));
}

TEST_F(SequencerTest, AnExchangeAskedForDuringAReReadTakesItsTurnAfterIt) {
    sequencer.arrive(report(mv::kStateChanged));
    sequencer.arrive(report(mv::kSetLayout, 4));
    sequencer.arrive(report(mv::kSetBorder, 1));
    sequencer.queueExchange([this] { steps.push_back("exchange"); });
    sequencer.arrive(report(mv::kSetAllUmd, 0));
    sequencer.arrive(report(mv::kSetBorder, 0));  // the border's last value now comes after the exchange
    EXPECT_EQ(steps, (Steps{"reread reset"}));

    sequencer.finish();  // the re-read: the reports before the exchange, then the exchange, which holds on
    EXPECT_EQ(steps, (Steps{"reread reset", "apply 33:4", "exchange"}));
    EXPECT_TRUE(sequencer.busy());
    sequencer.finish();  // the exchange
    EXPECT_EQ(steps, (Steps{"reread reset", "apply 33:4", "exchange", "apply 5C:0", "apply 3F:0"}));
    EXPECT_FALSE(sequencer.busy());
}

}  // namespace multiviewer_report_sequencer_test
}  // namespace kvx
