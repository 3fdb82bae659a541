// The multiviewer panel in the main window when the network between it and the device misbehaves: the status
// reply lost, duplicated, cut short, reordered or late, the device gone in the middle of a read-back, a
// whole-state re-read or a preset reload, and reports lost, doubled, cut short or reordered. Whatever
// happens the window keeps answering, no busy state stays behind, the model shows the state it had or the
// device's (never a mix), and the next exchange works.
#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/ui/preset_reload.h"
#include "multiviewer/ui/settings_page.h"
#include "ui/faulty_device_host.h"
#include "ui/multiviewer_window_fixture.h"

namespace kvx {
namespace app_multiviewer_faults_test {

constexpr int kPageButtons[] = {1009, 1010, 1011, 1012, 1015, 1016};
constexpr int kSettingsButton = 1012;
constexpr int kFormatStatus = 1116;
constexpr int kLoadDefault = 1052;
constexpr int kLoadCustom2 = 1122;
constexpr int kReloadTimeoutMs = 20000;

// Three states of the device that differ in every field the checks look at.
struct Marked {
    char name;
    uint8_t layout;
    const char16_t* deviceName;
    const char16_t* label;
    uint8_t source3;
    uint8_t formatStatus;
};
constexpr Marked kA{'A', 90, u"ALPHA", u"CAM A", 5, 1};
constexpr Marked kB{'B', 40, u"BRAVO", u"CAM B", 7, 0};
constexpr Marked kC{'C', 160, u"CHARLIE", u"CAM C", 9, 1};

void mark(MultiviewerState& m, const Marked& s) {
    m.LayoutMode = s.layout;
    m.DeviceName = s.deviceName;
    m.UmdName[0] = s.label;
    m.WindowSource[2] = s.source3;
    m.FormatStatusOn = s.formatStatus;
    m.SwitcherMode = 0;
}

class FaultyMultiviewer : public MultiviewerWindowTest {
protected:
    FaultyMultiviewer() {
        host.reset();  // the plain host gives its port to the faulty one
        faulty = std::make_unique<FaultyDeviceHost>(network, kDeviceAddress, DeviceList{&device});
    }
    ~FaultyMultiviewer() override {
        window.reset();
        faulty.reset();
    }

    void setDeviceState(const Marked& s) {
        MultiviewerState model = device.state().model;
        mark(model, s);
        device.setModel(model);
    }
    // Which of the marked states the model shows as a whole; '?' for anything else, a mix included.
    char shownState() {
        for (const Marked& s : {kA, kB, kC}) {
            if (model().LayoutMode == s.layout && model().DeviceName == s.deviceName &&
                model().UmdName[0] == s.label && model().WindowSource[2] == s.source3 &&
                model().FormatStatusOn == s.formatStatus)
                return s.name;
        }
        return '?';
    }
    // A new panel for the same device, as choosing it again does: it reads the device's state at once.
    void reopen() {
        window->openPanelForSelected();
        ASSERT_TRUE(QTest::qWaitFor([this] { return panel() && panel()->started(); }, 10000));
        settle();
    }
    // The panel has a page, no long exchange is left under way, and a page button works.
    void expectPanelAnswers() {
        ASSERT_NE(panel(), nullptr);
        ASSERT_NE(panel()->currentPage(), nullptr);
        EXPECT_FALSE(panel()->busy());
        for (int id : kPageButtons) EXPECT_TRUE(panel()->control(id)->isEnabled()) << id;
        const int before = model().CurrentPage;
        click(before == kPageSettings ? kPageButtons[0] : kSettingsButton);
        EXPECT_NE(model().CurrentPage, before) << "a page button was taken";
    }
    void waitUntilIdle() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return panel() && !panel()->busy(); }, kReloadTimeoutMs));
        settle();
    }

    std::unique_ptr<FaultyDeviceHost> faulty;
};

// A fault of the status reply at the panel's start: what the model shows after that read-back.
struct ReplyCase {
    LinkFault fault;
    char shown;  // 'A': the state it had (the previous block decoded again); 'B': the device's
};

class StatusReplyFaults : public FaultyMultiviewer, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(StatusReplyFaults, TheModelIsThePreviousStateOrTheDevicesAndTheNextReadBackWorks) {
    open([](MultiviewerState& m) { mark(m, kA); });
    ASSERT_EQ(shownState(), 'A');
    setDeviceState(kB);
    faulty->setAnswerFault(mv::kReadStatus, GetParam().fault);
    reopen();
    EXPECT_EQ(shownState(), GetParam().shown);
    expectPanelAnswers();

    // The next read-back, with the device changed again: a reply held back from before may still come
    // first (a late one cannot be told from a fresh one), so it shows B or C, and the one after shows C.
    faulty->setAnswerFault(mv::kReadStatus, LinkFault::None);
    setDeviceState(kC);
    reopen();
    const char next = shownState();
    EXPECT_TRUE(next == 'C' || (next == 'B' && GetParam().fault == LinkFault::Late)) << next;
    reopen();
    EXPECT_EQ(shownState(), 'C');
    expectPanelAnswers();
}

INSTANTIATE_TEST_SUITE_P(Faults, StatusReplyFaults,
                         ::testing::Values(ReplyCase{LinkFault::None, 'B'}, ReplyCase{LinkFault::Lost, 'A'},
                                           ReplyCase{LinkFault::Duplicated, 'B'},
                                           ReplyCase{LinkFault::Truncated, 'A'},
                                           ReplyCase{LinkFault::Reordered, 'A'},
                                           ReplyCase{LinkFault::Late, 'A'}),
                         [](const auto& info) { return std::string(faultName(info.param.fault)); });

TEST_F(FaultyMultiviewer, ADeviceGoneDuringTheStartReadBackLeavesThePreviousStateUntilItReturns) {
    open([](MultiviewerState& m) { mark(m, kA); });
    setDeviceState(kB);
    faulty->vanish();
    reopen();
    EXPECT_EQ(shownState(), 'A');
    expectPanelAnswers();
    faulty->comeBack();
    reopen();
    EXPECT_EQ(shownState(), 'B');
}

// The device reports a whole-state change and is gone before the panel's re-read reaches it.
TEST_F(FaultyMultiviewer, ADeviceGoneDuringAWholeStateReReadLeavesNoBusyStateBehind) {
    open([](MultiviewerState& m) { mark(m, kA); });
    setDeviceState(kB);
    device.frontPanelChange(mv::kLoadCustom, Bytes{1});  // reported: the panel reads the state again
    faulty->vanish();
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel()->busy(); }, 10000));
    waitUntilIdle();
    EXPECT_EQ(shownState(), 'A');
    expectPanelAnswers();

    faulty->comeBack();
    const size_t before = frameCount();
    click(kPageButtons[0]);  // back to page 1, which tells the device the work mode
    EXPECT_FALSE(framesSince(before, mv::kSetWorkMode).empty()) << "the next request reaches the device";
    ASSERT_TRUE(device.changeLayout(kC.layout));
    waitFor([this] { return model().LayoutMode == kC.layout; });
}

// Load Default and Load Custom 2 on the settings page, with the device gone during its 3000 ms: the read-back
// finds nobody, the overlay goes, the page and its buttons work again, and the model keeps its state.
class ReloadWithDeviceGone : public FaultyMultiviewer, public ::testing::WithParamInterface<int> {};

TEST_P(ReloadWithDeviceGone, EndsWithThePageUsableAndThePreviousState) {
    open([](MultiviewerState& m) { mark(m, kA); });
    click(kSettingsButton);
    auto* settings = page<CClass_16_view_set>();
    ASSERT_NE(settings, nullptr);
    faulty->setReportFault(LinkFault::Lost);  // the device's report of its reload
    click(GetParam());
    ASSERT_TRUE(settings->reload().running());
    faulty->vanish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !settings->reload().running(); }, kReloadTimeoutMs));
    settle();
    EXPECT_FALSE(settings->reload().isVisible()) << "no overlay stays";
    EXPECT_TRUE(settings->isEnabled());
    EXPECT_EQ(shownState(), 'A');
    EXPECT_FALSE(panel()->busy());

    // The next operation on the page reaches the device once it is back.
    faulty->comeBack();
    faulty->setReportFault(LinkFault::None);
    const size_t before = frameCount();
    click(kFormatStatus);
    EXPECT_EQ(framesSince(before, mv::kSetFormatStatus).size(), 1u);
    EXPECT_EQ(model().FormatStatusOn, 0);
    expectPanelAnswers();
}

INSTANTIATE_TEST_SUITE_P(Presets, ReloadWithDeviceGone, ::testing::Values(kLoadDefault, kLoadCustom2),
                         [](const auto& info) {
                             return std::string(info.param == kLoadDefault ? "LoadDefault" : "LoadCustom2");
                         });

// Reports on their way from the device (layout 4, layout 40, then UMD text colour 6 of input 3): the model
// holds what arrived, in the order it arrived, never a value of a datagram cut short; a report held back
// comes with the next one, which is applied.
struct ReportCase {
    LinkFault fault;
    uint8_t layout;    // LayoutMode once the three reports are through
    bool colourShown;  // whether the colour report has arrived by then
    bool colourAfter;  // whether it has once the next report has come
};

class ReportFaults : public FaultyMultiviewer, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportFaults, TheModelHoldsWhatArrivedInArrivalOrderAndTheNextReportIsApplied) {
    const ReportCase& c = GetParam();
    open([](MultiviewerState& m) { mark(m, kA); });
    const uint8_t colourBefore = model().UmdTextColor[2];
    ASSERT_NE(colourBefore, 6);
    faulty->setReportFault(c.fault);
    ASSERT_TRUE(device.changeLayout(4));
    ASSERT_TRUE(device.changeLayout(kB.layout));
    ASSERT_TRUE(device.changeColour(mv::kSetUmdTextColor, 3, 6));
    const uint8_t colourShown = c.colourShown ? 6 : colourBefore;
    // Waits for what is to arrive; where nothing is, the wait ends at once and the checks below look.
    (void)QTest::qWaitFor(
        [&] { return model().LayoutMode == c.layout && model().UmdTextColor[2] == colourShown; }, 2000);
    settle();
    EXPECT_EQ(model().LayoutMode, c.layout);
    EXPECT_EQ(model().UmdTextColor[2], colourShown);
    EXPECT_FALSE(panel()->busy());

    faulty->setReportFault(LinkFault::None);
    ASSERT_TRUE(device.changeLayout(kC.layout));
    waitFor([this] { return model().LayoutMode == kC.layout; });
    EXPECT_EQ(model().UmdTextColor[2], c.colourAfter ? 6 : colourBefore);
    expectPanelAnswers();
}

// Reordered, the report of 4 arrives after that of 40; late, just before it. Either way the colour's is
// held back in its turn and comes with the next report.
INSTANTIATE_TEST_SUITE_P(Faults, ReportFaults,
                         ::testing::Values(ReportCase{LinkFault::None, kB.layout, true, true},
                                           ReportCase{LinkFault::Lost, kA.layout, false, false},
                                           ReportCase{LinkFault::Duplicated, kB.layout, true, true},
                                           ReportCase{LinkFault::Truncated, kA.layout, false, false},
                                           ReportCase{LinkFault::Reordered, 4, false, true},
                                           ReportCase{LinkFault::Late, kB.layout, false, true}),
                         [](const auto& info) { return std::string(faultName(info.param.fault)); });

}  // namespace app_multiviewer_faults_test
}  // namespace kvx
