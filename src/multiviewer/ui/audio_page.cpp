#include "multiviewer/ui/audio_page.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "controls/shade_button_st.h"
#include "multiviewer/ui/panel_style.h"
#include "resources/skin_table.h"

namespace kvx {

namespace {

constexpr int kChannelPairs = 8;

QStringList windowItems() {
    QStringList items;
    for (int w = 1; w <= kWindowCount; ++w) items << QString::asprintf("WIN %d", w);
    return items;
}

QStringList channelItems() {
    QStringList items;
    for (int pair = 0; pair < kChannelPairs; ++pair)
        items << QString::asprintf("CH %02d & %02d", 2 * pair + 1, 2 * pair + 2);
    return items;
}

int allMetersBitmap(uint8_t on) {
    return on ? CClass_16_view_audio::kAllMetersOnBitmap : CClass_16_view_audio::kAllMetersOffBitmap;
}

}  // namespace

CClass_16_view_audio::CClass_16_view_audio(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {
    allMeters_ = makeBitmapButton(control::kAllAudioMeterButton,
                                  skinRowControls(kBackground, skin_rows::kAllAudioMeterRow).topLeft(),
                                  allMetersBitmap(state().AllAudioMeterOn));
    connect(allMeters_, &QPushButton::clicked, this, &CClass_16_view_audio::pressAllMeters);

    sourceList_ =
        makeList(control::kAudioSourceList, skinRowControls(kBackground, skin_rows::kAudioSourceFrom),
                 QStringList{QStringLiteral("OFF")} + windowItems());
    showEntry(sourceList_, state().AudioSourceWindow);
    connect(sourceList_, &QComboBox::activated, this, &CClass_16_view_audio::chooseAudioSource);

    // ON and OFF side by side in their row; checking one unchecks the other.
    const QRect meterRow = skinRowControls(kBackground, skin_rows::kAudioMeter);
    const int half = meterRow.width() / 2;
    meterOn_ = new QRadioButton(QStringLiteral("ON"), this);
    placer().place(meterOn_, kMeterOnId, QRect(meterRow.topLeft(), QSize(half, meterRow.height())));
    meterOff_ = new QRadioButton(QStringLiteral("OFF"), this);
    placer().place(meterOff_, kMeterOffId,
                   QRect(meterRow.topLeft() + QPoint(half, 0), QSize(half, meterRow.height())));
    for (QRadioButton* radio : {meterOn_, meterOff_}) colourPageRadio(radio);
    connect(meterOn_, &QRadioButton::clicked, this, [this] { switchMeter(1); });
    connect(meterOff_, &QRadioButton::clicked, this, [this] { switchMeter(0); });

    windowList_ =
        makeList(control::kAudioWindowList, skinRowControls(kBackground, skin_rows::kWindows), windowItems());
    showEntry(windowList_, state().AudioWindowSelect);
    connect(windowList_, &QComboBox::activated, this, &CClass_16_view_audio::chooseWindow);

    channelList_ = makeList(control::kAudioChannelList, skinRowControls(kBackground, skin_rows::kChannel),
                            channelItems());
    connect(channelList_, &QComboBox::activated, this, &CClass_16_view_audio::chooseChannel);
    showChosenWindow();
}

size_t CClass_16_view_audio::chosenWindow() {
    const uint8_t select = state().AudioWindowSelect;
    return select < kWindowCount ? select : 0;
}

void CClass_16_view_audio::showMeterSwitch() {
    const bool on = state().AudioMeterOn[chosenWindow()] != 0;
    // Checking one button of the pair unchecks the other.
    (on ? meterOn_ : meterOff_)->setChecked(true);
}

void CClass_16_view_audio::showChosenWindow() {
    showMeterSwitch();
    showEntry(channelList_, state().AudioChannelPair[chosenWindow()]);
}

void CClass_16_view_audio::refresh() {
    showEntry(sourceList_, state().AudioSourceWindow);
    showEntry(windowList_, 0);
    state().AudioWindowSelect = 0;
    showChosenWindow();
    showBitmap(allMeters_, allMetersBitmap(state().AllAudioMeterOn));
}

void CClass_16_view_audio::chooseAudioSource(int position) {
    if (state().PanelLocked) {
        showEntry(sourceList_, state().AudioSourceWindow);
        return;
    }
    state().AudioSourceWindow = static_cast<uint8_t>(position);
    commands().setAudioSource(static_cast<uint8_t>(position));
}

void CClass_16_view_audio::chooseWindow(int position) {
    // Only what the page shows changes: no lock rule, nothing sent.
    state().AudioWindowSelect = static_cast<uint8_t>(position);
    showChosenWindow();
}

void CClass_16_view_audio::switchMeter(uint8_t on) {
    if (state().PanelLocked) {
        showMeterSwitch();
        return;
    }
    // The clicked button has checked itself.
    commands().setAudioMeterOn(static_cast<int>(chosenWindow()), on);
}

void CClass_16_view_audio::chooseChannel(int pair) {
    if (state().PanelLocked) {
        showEntry(channelList_, state().AudioChannelPair[chosenWindow()]);
        return;
    }
    commands().setAudioChannel(windowList_->currentIndex(), static_cast<uint8_t>(pair));
}

void CClass_16_view_audio::pressAllMeters() {
    if (state().PanelLocked) return;
    const uint8_t on = state().AllAudioMeterOn ? 0 : 1;
    showBitmap(allMeters_, allMetersBitmap(on));
    commands().setAudioMeterOn(mv::kAllMetersIndex, on);
}

}  // namespace kvx
