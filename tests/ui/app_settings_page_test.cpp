// The settings page (page 4) on a simulated multiviewer: the output format, the three switches, the presets
// and the reload that follows Load Default and Load Custom without freezing the window, the lock, and the
// device's reports.
#include <QComboBox>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/ui/audio_page.h"
#include "multiviewer/ui/colour_page.h"
#include "multiviewer/ui/preset_reload.h"
#include "multiviewer/ui/settings_page.h"
#include "ui/multiviewer_window_fixture.h"

namespace kvx {
namespace app_settings_page_test {

using Settings = CClass_16_view_set;

constexpr int kFormatList = 1051;
constexpr int kFormatStatus = 1116;
constexpr int kAudioAlarm = 1117;
constexpr int kTimecode = 1118;
constexpr int kLoadDefault = 1052;
constexpr int kSaveCustom1 = 1119;
constexpr int kSaveCustom2 = 1120;
constexpr int kLoadCustom1 = 1121;
constexpr int kLoadCustom2 = 1122;
constexpr int kPageButtons[] = {1009, 1010, 1011, 1012, 1015, 1016};

// A switch of the page: its button, bitmaps, model field and request code.
struct SwitchCase {
    const char* name;
    int button;
    int off;
    int on;
    uint8_t MultiviewerState::*field;
    uint8_t code;
};
constexpr SwitchCase kSwitches[] = {
    {"FormatStatus", kFormatStatus, 205, 206, &MultiviewerState::FormatStatusOn, mv::kSetFormatStatus},
    {"AudioAlarm", kAudioAlarm, 203, 204, &MultiviewerState::AudioAlarmOn, mv::kSetAudioAlarm},
    {"Timecode", kTimecode, 282, 283, &MultiviewerState::TimecodeOn, mv::kSetTimecode},
};

class SettingsPage : public MultiviewerWindowTest {
protected:
    static constexpr int kReloadTimeoutMs = 20000;  // the device's 3000 ms, and a re-read's before them

    // The panel opens on the device (given this state) and the operator shows page 4.
    Settings& open(const std::function<void(MultiviewerState&)>& setUp = {}) {
        MultiviewerWindowTest::open(setUp);
        click(1012);
        return settings();
    }
    Settings& settings() const { return *page<Settings>(); }
    QComboBox* formatList() const { return list(kFormatList); }
    bool reloading() const { return settings().reload().running(); }
    void waitForReloadEnd() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !reloading(); }, kReloadTimeoutMs));
    }
    bool pageButtonsEnabled() const {
        for (int id : kPageButtons) {
            if (!panel()->control(id)->isEnabled()) return false;
        }
        return true;
    }
    void setDeviceModel(const std::function<void(MultiviewerState&)>& change) {
        MultiviewerState model = device.state().model;
        change(model);
        device.setModel(model);
    }
};

TEST_F(SettingsPage, CreationShowsTheFormatAndTheSwitchesOfTheModel) {
    const struct {
        uint8_t format;
        int position;  // -1: no selection
        uint8_t switches;
    } cases[] = {{11, 1, 0}, {14, 7, 1}, {7, 0, 1}, {6, 8, 0}, {2, -1, 1}, {0, -1, 0}};
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        model().OutputFormat = c.format;
        for (const SwitchCase& s : kSwitches) model().*s.field = c.switches;
        // The page is made anew each time it is shown.
        click(1010);
        click(1012);
        EXPECT_EQ(formatList()->currentIndex(), c.position);
        EXPECT_EQ(formatList()->count(), 9);
        for (const SwitchCase& s : kSwitches)
            EXPECT_EQ(bitmapOf(s.button), c.switches ? s.on : s.off) << s.name;
    }
    EXPECT_EQ(formatList()->itemText(0), "1080p60");
    EXPECT_EQ(formatList()->itemText(7), "720p60");
    EXPECT_EQ(formatList()->itemText(8), "720p50");
    EXPECT_EQ(bitmapOf(kLoadDefault), 209);
    EXPECT_EQ(bitmapOf(kSaveCustom1), 280);
    EXPECT_EQ(bitmapOf(kSaveCustom2), 281);
    EXPECT_EQ(bitmapOf(kLoadCustom1), 207);
    EXPECT_EQ(bitmapOf(kLoadCustom2), 208);
}

TEST_F(SettingsPage, ChoosingAFormatStoresItsCodeAndSendsIt) {
    open([](MultiviewerState& m) { m.OutputFormat = 11; });
    ASSERT_EQ(formatList()->currentText(), "1080p50");
    const size_t before = frameCount();
    choose(kFormatList, 7);  // "720p60"
    EXPECT_EQ(model().OutputFormat, 14);
    EXPECT_EQ(framesSince(before), std::vector<Bytes>{request(mv::kSetOutputFormat, {0x00, 14})});
    EXPECT_EQ(device.state().model.OutputFormat, 14);
}

TEST_F(SettingsPage, ASwitchShowsAndSendsTheOppositeOfItsStoredValue) {
    open();
    for (const SwitchCase& s : kSwitches) {
        for (uint8_t stored : {0, 1}) {
            SCOPED_TRACE(std::string(s.name) + (stored ? " on" : " off"));
            model().*s.field = stored;
            const uint8_t on = stored ? 0 : 1;
            const size_t before = frameCount();
            QTest::mouseClick(control(s.button), Qt::LeftButton);
            EXPECT_EQ(model().*s.field, on) << "stored when sent";
            EXPECT_EQ(bitmapOf(s.button), on ? s.on : s.off);
            EXPECT_EQ(framesSince(before), std::vector<Bytes>{request(s.code, {on})});
            EXPECT_EQ(device.state().model.*s.field, on);
        }
    }
}

TEST_F(SettingsPage, SaveToCustomOneAndTwoDifferOnlyInThePreset) {
    open();
    const size_t before = frameCount();
    click(kSaveCustom1);
    click(kSaveCustom2);
    EXPECT_EQ(framesSince(before),
              (std::vector<Bytes>{request(mv::kSaveCustom, {1}), request(mv::kSaveCustom, {2})}));
    EXPECT_FALSE(reloading());
}

// The device's 3000 ms run on a timer: the read-back follows them, and meanwhile the window answers.
TEST_F(SettingsPage, LoadCustomTwoSendsItThenReadsTheStateBackWhileTheWindowAnswers) {
    open();
    // Preset 2 holds other switches and another format than the device shows now.
    setDeviceModel([](MultiviewerState& m) {
        m.FormatStatusOn = 0;
        m.TimecodeOn = 1;
        m.OutputFormat = 6;
    });
    click(kSaveCustom2);
    setDeviceModel([](MultiviewerState& m) {
        m.FormatStatusOn = 1;
        m.TimecodeOn = 0;
        m.OutputFormat = 7;
    });
    const size_t before = frameCount();
    click(kLoadCustom2);
    EXPECT_EQ(framesSince(before), std::vector<Bytes>{request(mv::kLoadCustom, {2})});
    ASSERT_TRUE(reloading());
    EXPECT_FALSE(settings().isEnabled());
    EXPECT_FALSE(pageButtonsEnabled());
    EXPECT_TRUE(panel()->busy()) << "the device's reports wait";
    EXPECT_TRUE(settings().reload().isVisible());
    EXPECT_TRUE(settings().reload().statusText().contains("s left"))
        << settings().reload().statusText().toStdString();
    // What would start a conflicting exchange does nothing while the device reloads.
    click(kFormatStatus);
    click(kPageButtons[0]);
    EXPECT_EQ(model().CurrentPage, kPageSettings);
    EXPECT_EQ(framesSince(before).size(), 1u);

    waitForReloadEnd();
    const std::vector<Bytes> sent = framesSince(before);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[1], request(mv::kReadStatus, {}));
    EXPECT_TRUE(settings().isEnabled());
    EXPECT_TRUE(pageButtonsEnabled());
    EXPECT_FALSE(settings().reload().isVisible());
    // The page shows what was read back.
    EXPECT_EQ(model().OutputFormat, 6);
    EXPECT_EQ(formatList()->currentText(), "720p50");
    EXPECT_EQ(bitmapOf(kFormatStatus), 205);
    EXPECT_EQ(bitmapOf(kTimecode), 283);
}

TEST_F(SettingsPage, LoadDefaultResetsTheColourAndAudioSelections) {
    open([](MultiviewerState& m) {
        m.AudioAlarmOn = 1;
        m.LayoutMode = 4;
    });
    model().ColorSourceSelect = 5;
    model().ColorWindowSelect = 3;
    model().AudioWindowSelect = 7;
    const size_t before = frameCount();
    click(kLoadDefault);
    EXPECT_EQ(framesSince(before), std::vector<Bytes>{request(mv::kLoadDefault, {0x00})});
    EXPECT_EQ(model().ColorSourceSelect, 5) << "not before the read-back";
    waitForReloadEnd();
    // Checked before the device's own report of its defaults has been handled, which resets them as well.
    EXPECT_EQ(model().ColorSourceSelect, 0);
    EXPECT_EQ(model().ColorWindowSelect, 0);
    EXPECT_EQ(model().AudioWindowSelect, 0);
    EXPECT_EQ(bitmapOf(kAudioAlarm), 203);
    EXPECT_EQ(model().LayoutMode, 160);
    EXPECT_EQ(model().WindowGeometry[15].number, 16) << "the derived data follow the read-back";
    // The colour page then opens on "All Windows" in both selector lists, the audio page on WIN 1.
    showPageBy<CClass_16_view_color>(1011);
    EXPECT_EQ(list(1032)->currentText(), "All Windows");
    EXPECT_EQ(list(1035)->currentText(), "All Windows");
    showPageBy<CClass_16_view_audio>(1016);
    EXPECT_EQ(list(1075)->currentText(), "WIN 1");
}

TEST_F(SettingsPage, WithTheLockOnNothingIsSentAndEveryControlShowsTheModel) {
    open([](MultiviewerState& m) { m.OutputFormat = 11; });
    window->toggleLock();
    settle();
    const MultiviewerState stored = model();
    const std::string shown = pageControls();
    const size_t before = frameCount();
    choose(kFormatList, 7);
    for (int id : {kFormatStatus, kAudioAlarm, kTimecode, kSaveCustom1, kSaveCustom2, kLoadDefault})
        click(id);
    EXPECT_EQ(formatList()->currentIndex(), 1);
    EXPECT_FALSE(reloading()) << "Load Default does nothing";
    EXPECT_TRUE(framesSince(before).empty());
    EXPECT_EQ(pageControls(), shown);
    EXPECT_EQ(model().OutputFormat, stored.OutputFormat);
    for (const SwitchCase& s : kSwitches) EXPECT_EQ(model().*s.field, stored.*s.field) << s.name;

    // Load Custom still waits and reads the state back, without sending the preset.
    click(kLoadCustom1);
    EXPECT_TRUE(reloading());
    waitForReloadEnd();
    EXPECT_EQ(framesSince(before), std::vector<Bytes>{request(mv::kReadStatus, {})});
}

TEST_F(SettingsPage, TheDevicesReportsMoveTheListAndTheSwitches) {
    open();
    const struct {
        uint8_t code;
        Bytes payload;
        int control;
        int shown;  // bitmap, or list position
    } cases[] = {
        {mv::kSetFormatStatus, {0}, kFormatStatus, 205},      {mv::kSetFormatStatus, {1}, kFormatStatus, 206},
        {mv::kFormatStatusSwitched, {0}, kFormatStatus, 205}, {mv::kSetTimecode, {1}, kTimecode, 283},
        {mv::kTimecodeSwitched, {0}, kTimecode, 282},         {mv::kSetAudioAlarm, {1}, kAudioAlarm, 204},
        {mv::kSetOutputFormat, {0, 14}, kFormatList, 7},      {mv::kSetOutputFormat, {0, 3}, kFormatList, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        if (c.code == mv::kFormatStatusSwitched || c.code == mv::kTimecodeSwitched) {
            // Reports that no request makes: sent to the PC's report port as the device would.
            Bytes report = buildFrame(kTypeMultiviewer, 0x01, kLinkLan, c.code, {0x00, c.payload[0]});
            const auto id = device.identity().id;
            std::copy(id.begin(), id.end(), report.begin() + frame::kDeviceIdOffset);
            network.sendFrom({kDeviceAddress, kControlPort}, report, {kPcAddress, kReportPort});
        } else {
            ASSERT_TRUE(device.frontPanelChange(c.code, c.payload));
        }
        const auto shown = [&] {
            auto* list = qobject_cast<QComboBox*>(control(c.control));
            return list ? list->currentIndex() : bitmapOf(c.control);
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == c.shown; }, 10000)) << shown();
    }
    EXPECT_EQ(model().OutputFormat, 3);
}

TEST_F(SettingsPage, AReportForAnotherPageChangesOnlyTheModel) {
    open();
    const std::string shown = pageControls();
    ASSERT_TRUE(device.switchUmd(4, 0));
    waitFor([this] { return model().UmdOn[3] == 0; });
    EXPECT_EQ(pageControls(), shown);
}

TEST_F(SettingsPage, AfterAWholeStateReportThePageShowsTheStateReadBack) {
    setDeviceModel([](MultiviewerState& m) {
        m.OutputFormat = 14;
        m.FormatStatusOn = 0;
        m.AudioAlarmOn = 1;
    });
    open();
    ASSERT_EQ(formatList()->currentIndex(), 7);
    device.loadDefaults();  // 1080p60, Format Status on, Audio Alarm off
    ASSERT_TRUE(QTest::qWaitFor([this] { return formatList()->currentIndex() == 0; }, kReloadTimeoutMs));
    EXPECT_EQ(bitmapOf(kFormatStatus), 206);
    EXPECT_EQ(bitmapOf(kAudioAlarm), 203);
}

// A reload asked for while the panel reads the device again after its report waits for that read to end,
// so the two never overlap; the click is not lost.
TEST_F(SettingsPage, LoadCustomDuringAReReadStartsOnceTheReReadHasEnded) {
    open();
    device.loadDefaults();  // reported: the panel reads the state again and waits the device's 3000 ms
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel()->busy(); }, 10000));
    settle();  // the re-read's request has gone out; its 3000 ms wait runs
    const size_t before = frameCount();
    click(kLoadCustom1);
    EXPECT_TRUE(reloading());
    EXPECT_FALSE(pageButtonsEnabled());
    EXPECT_TRUE(framesSince(before, mv::kLoadCustom).empty()) << "not while the state is read again";
    EXPECT_EQ(settings().reload().statusText().toStdString(), "Waiting for the device's state to be read");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !framesSince(before, mv::kLoadCustom).empty(); }, kReloadTimeoutMs));
    EXPECT_TRUE(reloading());
    waitForReloadEnd();
    const std::vector<Bytes> sent = framesSince(before);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], request(mv::kLoadCustom, {1}));
    EXPECT_EQ(sent[1], request(mv::kReadStatus, {}));
}

TEST_F(SettingsPage, ClosingThePanelDuringAReloadIsSafe) {
    open();
    click(kLoadCustom2);
    ASSERT_TRUE(reloading());
    window->openPanelForSelected();  // a new panel for the same device, as choosing it again does
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return panel() && panel()->started() && panel()->currentPage(); }, 10000));
    click(1012);
    EXPECT_TRUE(pageButtonsEnabled());
    EXPECT_FALSE(reloading());
}

}  // namespace app_settings_page_test
}  // namespace kvx
