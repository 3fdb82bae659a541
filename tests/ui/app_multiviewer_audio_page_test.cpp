// The audio page (page 6) on a simulated multiviewer: its controls filled from the model, each change sent
// to the device, the lock, the device's reports and the refresh after the device's state was read again.
#include <QRadioButton>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/page_updates.h"
#include "multiviewer/ui/audio_page.h"
#include "multiviewer/ui/colour_page.h"
#include "resources/skin_table.h"
#include "ui/multiviewer_window_fixture.h"

namespace kvx {
namespace app_multiviewer_audio_page_test {

using namespace control;
constexpr int kColourButton = 1011;
constexpr int kAudioButton = 1016;
constexpr int kLayoutButton = 1009;
constexpr int kOn = CClass_16_view_audio::kMeterOnId;
constexpr int kOff = CClass_16_view_audio::kMeterOffId;

// Window w (1 based) has its meter on when w is odd, and the channel pair (w + 2) mod 8.
void distinctAudio(MultiviewerState& m) {
    for (size_t k = 0; k < kWindowCount; ++k) {
        m.AudioMeterOn[k] = k % 2 == 0 ? 1 : 0;
        m.AudioChannelPair[k] = static_cast<uint8_t>((k + 3) % 8);
    }
    m.AudioSourceWindow = 6;
    m.AllAudioMeterOn = 1;
}

class AudioPage : public MultiviewerWindowTest {
protected:
    // Opens the panel on the device (set up first) and shows page 6 by its button.
    void openPage(const std::function<void(MultiviewerState&)>& setUp = {}) {
        openOnPage<CClass_16_view_audio>(kAudioButton, setUp);
    }
    void showPage() { showPageBy<CClass_16_view_audio>(kAudioButton); }
    QRadioButton* radio(int id) const { return qobject_cast<QRadioButton*>(control(id)); }
    bool checked(int id) const { return radio(id)->isChecked(); }
    // A radio button takes clicks on its circle and caption, which start at its left edge.
    void clickRadio(int id) {
        ASSERT_NE(radio(id), nullptr) << id;
        QTest::mouseClick(radio(id), Qt::LeftButton, {}, QPoint(10, radio(id)->height() / 2));
        settle();
    }
    // The payloads of the requests with this code that the device received from position `from` on.
    std::vector<Bytes> sentSince(size_t from, uint8_t code) {
        std::vector<Bytes> payloads;
        for (const Bytes& frame : framesSince(from, code)) payloads.push_back(payloadOf(frame));
        return payloads;
    }
    MultiviewerState deviceModel() const { return device.state().model; }
    // The ON and OFF buttons and the channel list show window w (1 based).
    void expectWindowShown(int w) {
        const size_t k = static_cast<size_t>(w - 1);
        EXPECT_EQ(shown(kAudioWindowList), w - 1);
        EXPECT_EQ(checked(kOn), model().AudioMeterOn[k] != 0);
        EXPECT_EQ(checked(kOff), model().AudioMeterOn[k] == 0);
        EXPECT_EQ(shown(kAudioChannelList), model().AudioChannelPair[k]);
    }
};

QStringList itemsOf(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

TEST_F(AudioPage, ControlsHoldTheirEntries) {
    openPage();
    const QStringList sources = itemsOf(list(kAudioSourceList));
    ASSERT_EQ(sources.size(), 17);
    EXPECT_EQ(sources[0], "OFF");
    EXPECT_EQ(sources[1], "WIN 1");
    EXPECT_EQ(sources[16], "WIN 16");
    EXPECT_EQ(itemsOf(list(kAudioWindowList)), sources.mid(1));
    EXPECT_EQ(itemsOf(list(kAudioChannelList)),
              (QStringList{"CH 01 & 02", "CH 03 & 04", "CH 05 & 06", "CH 07 & 08", "CH 09 & 10", "CH 11 & 12",
                           "CH 13 & 14", "CH 15 & 16"}));
    EXPECT_EQ(radio(kOn)->text(), "ON");
    EXPECT_EQ(radio(kOff)->text(), "OFF");
    EXPECT_EQ(radio(kOn)->palette().color(QPalette::WindowText), QColor(60, 180, 255));
    // Each control stands in its row of the background; ON and OFF side by side.
    using namespace skin_rows;
    const auto row = [](std::string_view label) {
        const SkinRow* found = skinRow(CClass_16_view_audio::kBackground, label);
        return found ? found->controls : QRect();
    };
    for (std::string_view label : {kAudioSourceFrom, kAudioMeter, kWindows, kChannel})
        EXPECT_FALSE(skinRow(CClass_16_view_audio::kBackground, label)->labelBox.isEmpty()) << label;
    EXPECT_EQ(list(kAudioSourceList)->geometry(), row(kAudioSourceFrom));
    EXPECT_EQ(list(kAudioWindowList)->geometry(), row(kWindows));
    EXPECT_EQ(list(kAudioChannelList)->geometry(), row(kChannel));
    const QRect on = control(kOn)->geometry();
    const QRect off = control(kOff)->geometry();
    EXPECT_TRUE(row(kAudioMeter).contains(on));
    EXPECT_TRUE(row(kAudioMeter).contains(off));
    EXPECT_LT(on.right(), off.left());
    EXPECT_EQ(control(kAllAudioMeterButton)->geometry(),
              QRect(row(kAllAudioMeterRow).topLeft(), skinBitmapSize(452)));
    EXPECT_EQ(skinBitmapSize(452), skinBitmapSize(453));
}

// The page opens on the window the model names, with its meter switch and channel pair.
TEST_F(AudioPage, OpensOnTheWindowOfTheModel) {
    open(distinctAudio);
    const struct {
        uint8_t select;
        uint8_t allMeters;
        int bitmap;
    } cases[] = {{4, 1, 453}, {5, 0, 452}, {0, 1, 453}, {15, 0, 452}};
    for (const auto& c : cases) {
        click(kLayoutButton);
        model().AudioWindowSelect = c.select;
        model().AllAudioMeterOn = c.allMeters;
        showPage();
        SCOPED_TRACE(int(c.select));
        expectWindowShown(c.select + 1);
        EXPECT_EQ(shown(kAudioSourceList), 6);
        EXPECT_EQ(bitmapOf(kAllAudioMeterButton), c.bitmap);
    }
}

TEST_F(AudioPage, MeterSwitchOfTheChosenWindowIsSent) {
    openPage(distinctAudio);
    const size_t from = frameCount();
    choose(kAudioWindowList, 2);  // WIN 3, its meter on
    EXPECT_EQ(model().AudioWindowSelect, 2);
    expectWindowShown(3);
    EXPECT_TRUE(sentSince(from, mv::kSetAudioMeterOn).empty()) << "the window list sends nothing";

    clickRadio(kOff);
    EXPECT_EQ(model().AudioMeterOn[2], 0);
    EXPECT_TRUE(checked(kOff));
    EXPECT_FALSE(checked(kOn));
    clickRadio(kOn);
    EXPECT_EQ(model().AudioMeterOn[2], 1);
    EXPECT_TRUE(checked(kOn));
    EXPECT_EQ(sentSince(from, mv::kSetAudioMeterOn), (std::vector<Bytes>{{3, 0}, {3, 1}}));
    EXPECT_EQ(deviceModel().AudioMeterOn[2], 1);
    EXPECT_EQ(model().AudioMeterOn[3], 0) << "only window 3 changed";
}

TEST_F(AudioPage, ChannelPairOfTheChosenWindowIsSent) {
    openPage(distinctAudio);
    const size_t from = frameCount();
    choose(kAudioWindowList, 9);   // WIN 10
    choose(kAudioChannelList, 3);  // channels 7 and 8
    EXPECT_EQ(sentSince(from, mv::kSetAudioChannel), std::vector<Bytes>{Bytes({10, 3})});
    EXPECT_EQ(model().AudioChannelPair[9], 3);
    EXPECT_EQ(deviceModel().AudioChannelPair[9], 3);
    EXPECT_EQ(model().AudioChannelPair[8], deviceModel().AudioChannelPair[8]);
}

TEST_F(AudioPage, AudioSourceListSendsTheChosenWindowOrOff) {
    openPage(distinctAudio);
    const size_t from = frameCount();
    choose(kAudioSourceList, 0);
    EXPECT_EQ(model().AudioSourceWindow, 0);
    choose(kAudioSourceList, 16);
    EXPECT_EQ(model().AudioSourceWindow, 16);
    EXPECT_EQ(sentSince(from, mv::kSetAudioSource), (std::vector<Bytes>{{0}, {16}}));
    EXPECT_EQ(deviceModel().AudioSourceWindow, 16);
}

TEST_F(AudioPage, AllAudioMeterOnSendsTheNegationAndLeavesTheWindowsMeters) {
    openPage(distinctAudio);
    choose(kAudioWindowList, 1);  // WIN 2, its meter off
    const size_t from = frameCount();
    ASSERT_EQ(bitmapOf(kAllAudioMeterButton), 453);
    click(kAllAudioMeterButton);
    EXPECT_EQ(bitmapOf(kAllAudioMeterButton), 452);
    EXPECT_EQ(model().AllAudioMeterOn, 0);
    EXPECT_TRUE(checked(kOff));
    EXPECT_FALSE(checked(kOn));
    click(kAllAudioMeterButton);
    EXPECT_EQ(bitmapOf(kAllAudioMeterButton), 453);
    EXPECT_EQ(sentSince(from, mv::kSetAllAudioMeters), (std::vector<Bytes>{{0}, {1}}));
    EXPECT_EQ(deviceModel().AllAudioMeterOn, 1);
    EXPECT_EQ(deviceModel().AudioMeterOn, model().AudioMeterOn);
}

// With the lock on every control returns to the model and nothing is sent; the window list still works.
TEST_F(AudioPage, LockedControlsReturnToTheModelAndSendNothing) {
    openPage(distinctAudio);
    choose(kAudioWindowList, 4);  // WIN 5, its meter on
    QTest::mouseClick(window->lockButton(), Qt::LeftButton);
    settle();
    const MultiviewerState before = model();
    const size_t from = frameCount();

    choose(kAudioSourceList, 0);
    EXPECT_EQ(shown(kAudioSourceList), 6);
    clickRadio(kOff);
    EXPECT_TRUE(checked(kOn));
    EXPECT_FALSE(checked(kOff));
    choose(kAudioChannelList, 0);
    EXPECT_EQ(shown(kAudioChannelList), before.AudioChannelPair[4]);
    click(kAllAudioMeterButton);
    EXPECT_EQ(bitmapOf(kAllAudioMeterButton), 453);
    choose(kAudioWindowList, 5);
    expectWindowShown(6);
    clickRadio(kOn);  // window 6's meter is off
    EXPECT_TRUE(checked(kOff));

    EXPECT_TRUE(framesSince(from).empty());
    EXPECT_EQ(model().AudioSourceWindow, 6);
    EXPECT_EQ(model().AudioMeterOn, before.AudioMeterOn);
    EXPECT_EQ(model().AudioChannelPair, before.AudioChannelPair);
    EXPECT_EQ(model().AllAudioMeterOn, 1);
    EXPECT_EQ(model().AudioWindowSelect, 5);
}

// Meter and channel reports choose the window they concern on the page and show its switch and pair.
TEST_F(AudioPage, WindowReportsMoveTheWindowListAndTheSwitches) {
    openPage(distinctAudio);
    const uint8_t meterOff[] = {7, 0};  // window 7 had its meter on
    ASSERT_TRUE(device.frontPanelChange(mv::kSetAudioMeterOn, meterOff));
    waitFor([this] { return model().AudioMeterOn[6] == 0; });
    EXPECT_EQ(model().AudioWindowSelect, 6);
    expectWindowShown(7);
    EXPECT_TRUE(checked(kOff));

    const uint8_t pair[] = {12, 7};
    ASSERT_TRUE(device.frontPanelChange(mv::kSetAudioChannel, pair));
    waitFor([this] { return model().AudioChannelPair[11] == 7; });
    EXPECT_EQ(model().AudioWindowSelect, 11);
    expectWindowShown(12);
    EXPECT_EQ(shown(kAudioChannelList), 7);
}

TEST_F(AudioPage, SourceAndAllMetersReportsShowOnThePage) {
    openPage(distinctAudio);
    const uint8_t source[] = {0};
    const uint8_t allOff[] = {0};
    ASSERT_TRUE(device.frontPanelChange(mv::kSetAudioSource, source));
    ASSERT_TRUE(device.frontPanelChange(mv::kSetAllAudioMeters, allOff));
    waitFor([this] { return model().AllAudioMeterOn == 0; });
    EXPECT_EQ(model().AudioSourceWindow, 0);
    EXPECT_EQ(shown(kAudioSourceList), 0);
    EXPECT_EQ(bitmapOf(kAllAudioMeterButton), 452);
}

// The colour page's lists carry the ids of the audio page's lists: audio reports that arrive while the
// colour page is shown change the model only.
TEST_F(AudioPage, ReportsForItWhileAnotherPageIsShownChangeOnlyTheModel) {
    open([](MultiviewerState& m) {
        distinctAudio(m);
        m.BorderOn = 0;
        m.TimecodeTextColor.fill(5);
    });
    click(kColourButton);
    ASSERT_NE(page<CClass_16_view_color>(), nullptr);
    const uint8_t meter[] = {9, 0};
    const uint8_t source[] = {1};
    ASSERT_TRUE(device.frontPanelChange(mv::kSetAudioMeterOn, meter));
    ASSERT_TRUE(device.frontPanelChange(mv::kSetAudioSource, source));
    waitFor([this] { return model().AudioSourceWindow == 1; });
    EXPECT_EQ(model().AudioMeterOn[8], 0);
    EXPECT_EQ(model().AudioWindowSelect, 8);
    EXPECT_EQ(shown(kBorderList), 0);
    EXPECT_EQ(shown(kTimecodeTextColourList), 5);

    showPage();
    expectWindowShown(9);
    EXPECT_EQ(shown(kAudioSourceList), 1);
}

// After a whole-state report the device's state is read again and the page shows it from window 1, also
// the ALL AUDIO METER ON switch.
TEST_F(AudioPage, RefreshAfterTheStateWasReadAgain) {
    openPage();
    choose(kAudioWindowList, 4);
    MultiviewerState reloaded = deviceModel();
    distinctAudio(reloaded);
    reloaded.AudioMeterOn[0] = 0;
    reloaded.AllAudioMeterOn = 0;
    device.setModel(reloaded);
    ASSERT_NE(model().AudioChannelPair[0], reloaded.AudioChannelPair[0]);
    ASSERT_TRUE(device.frontPanelChange(mv::kResetMatrix, {}));  // reported as a change of the whole state
    waitFor([&] { return !panel()->busy() && model().AudioChannelPair[0] == reloaded.AudioChannelPair[0]; });

    EXPECT_EQ(model().AudioWindowSelect, 0);
    expectWindowShown(1);
    EXPECT_TRUE(checked(kOff));
    EXPECT_EQ(shown(kAudioSourceList), 6);
    EXPECT_EQ(bitmapOf(kAllAudioMeterButton), 452);
}

}  // namespace app_multiviewer_audio_page_test
}  // namespace kvx
