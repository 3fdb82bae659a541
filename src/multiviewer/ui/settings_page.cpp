#include "multiviewer/ui/settings_page.h"

#include <QComboBox>
#include <QPushButton>
#include <iterator>

#include "controls/shade_button_st.h"
#include "multiviewer/derived_data.h"
#include "multiviewer/geometry.h"
#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/ui/panel_services.h"
#include "multiviewer/ui/preset_reload.h"

namespace kvx {

namespace {

constexpr QRect kFormatListPlace{200, 30, 150, 26};
// The buttons stand in two columns of four rows below the format list.
constexpr int kButtonColumnX[] = {35, 255};
constexpr int kFirstButtonRowY = 100;
constexpr int kButtonRowPitch = 60;
QPoint buttonPlace(int column, int row) {
    return QPoint(kButtonColumnX[column], kFirstButtonRowY + kButtonRowPitch * row);
}

// A switch of the page: its button, its bitmaps, the model field it shows and the sender that sets it.
struct Switch {
    int id;
    QPoint place;
    int offBitmap;
    int onBitmap;
    uint8_t MultiviewerState::*field;
    void (MultiviewerCommands::*send)(uint8_t on);
};

// Format Status, Audio Alarm Enable and Timecode Enable.
const Switch kSwitches[] = {
    {control::kFormatStatusButton, buttonPlace(0, 0), 205, 206, &MultiviewerState::FormatStatusOn,
     &MultiviewerCommands::setFormatStatus},
    {control::kAudioAlarmButton, buttonPlace(1, 0), 203, 204, &MultiviewerState::AudioAlarmOn,
     &MultiviewerCommands::setAudioAlarm},
    {control::kTimecodeButton, buttonPlace(0, 1), 282, 283, &MultiviewerState::TimecodeOn,
     &MultiviewerCommands::setTimecode},
};

QStringList formatListItems() {
    QStringList items;
    for (const OutputFormatEntry& entry : OutputFormatCode) items << QString::fromLatin1(entry.text);
    return items;
}

}  // namespace

CClass_16_view_set::CClass_16_view_set(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {
    formatList_ = makeList(control::kOutputFormatList, kFormatListPlace, formatListItems());
    connect(formatList_, &QComboBox::activated, this, &CClass_16_view_set::chooseFormat);

    for (size_t i = 0; i < std::size(kSwitches); ++i) {
        switches_[i] = makeBitmapButton(kSwitches[i].id, kSwitches[i].place, kSwitches[i].offBitmap);
        connect(switches_[i], &QPushButton::clicked, this, [this, i] { pressSwitch(i); });
    }

    auto* loadDefault = makeBitmapButton(kLoadDefaultId, buttonPlace(1, 1), kLoadDefaultBitmap);
    connect(loadDefault, &QPushButton::clicked, this, &CClass_16_view_set::pressLoadDefault);
    for (int column = 0; column < 2; ++column) {
        const auto preset = static_cast<uint8_t>(column + 1);
        auto* save =
            makeBitmapButton(kSaveCustomId + column, buttonPlace(column, 2), kSaveCustomBitmap + column);
        connect(save, &QPushButton::clicked, this, [this, preset] { pressSaveCustom(preset); });
        auto* load =
            makeBitmapButton(kLoadCustomId + column, buttonPlace(column, 3), kLoadCustomBitmap + column);
        connect(load, &QPushButton::clicked, this, [this, preset] { pressLoadCustom(preset); });
    }
    reload_ = new PresetReload(panel(), this);
    showModel();
}

void CClass_16_view_set::refresh() {
    // The switches too: after a whole-state re-read they would otherwise show what the device no longer
    // has, and a click would send the opposite of what the operator sees.
    showModel();
}

void CClass_16_view_set::showModel() {
    // A code outside the table leaves the list as it is: without selection at creation.
    if (const auto position = outputFormatPosition(state().OutputFormat)) showEntry(formatList_, *position);
    for (size_t i = 0; i < std::size(kSwitches); ++i) {
        const Switch& s = kSwitches[i];
        showBitmap(switches_[i], state().*s.field ? s.onBitmap : s.offBitmap);
    }
}

void CClass_16_view_set::chooseFormat(int position) {
    const std::optional<uint8_t> code = outputFormatCodeAt(position);
    if (state().PanelLocked || !code) {
        showEntry(formatList_, outputFormatPosition(state().OutputFormat).value_or(-1));
        return;
    }
    state().OutputFormat = *code;
    commands().setOutputFormat(*code);
}

void CClass_16_view_set::pressSwitch(size_t which) {
    if (which >= std::size(kSwitches) || state().PanelLocked) return;
    const Switch& s = kSwitches[which];
    const uint8_t on = state().*s.field == 0 ? 1 : 0;
    showBitmap(switches_[which], on ? s.onBitmap : s.offBitmap);
    (commands().*s.send)(on);  // the sender stores the new value
}

void CClass_16_view_set::pressSaveCustom(uint8_t preset) {
    commands().sendPreset(mv::kSaveCustom, preset);
}

void CClass_16_view_set::pressLoadDefault() {
    if (state().PanelLocked) return;
    reload_->run({tr("Load Default"), [this] { commands().loadDefault(); },
                  [this] {
                      showModel();
                      recomputeAndRepaint();
                      state().ColorSourceSelect = 0;
                      state().ColorWindowSelect = 0;
                      state().AudioWindowSelect = 0;
                  }});
}

void CClass_16_view_set::pressLoadCustom(uint8_t preset) {
    // While the panel is locked the command is not sent, but the wait and the read-back still run.
    reload_->run({tr("Load Custom %1").arg(preset),
                  [this, preset] { commands().sendPreset(mv::kLoadCustom, preset); },
                  [this] {
                      showModel();
                      recomputeAndRepaint();
                  }});
}

void CClass_16_view_set::recomputeAndRepaint() {
    recomputeLayoutGeometry(state());
    recomputeAllColours(state());
    panel().repaintPreview();
}

}  // namespace kvx
