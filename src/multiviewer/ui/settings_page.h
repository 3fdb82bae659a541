#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "multiviewer/ui/multiviewer_page.h"

class QComboBox;

namespace kvx {

class PresetReload;

// The settings page (page 4): output format, display switches, factory defaults and the two presets.
// Load Default and Load Custom wait for the device and read its state back without freezing the window.
class CClass_16_view_set : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 298;
    static constexpr int kLoadDefaultId = 1052;
    static constexpr int kSaveCustomId = 1119;  // 1119 preset 1, 1120 preset 2
    static constexpr int kLoadCustomId = 1121;  // 1121 preset 1, 1122 preset 2
    static constexpr int kLoadDefaultBitmap = 209;
    static constexpr int kSaveCustomBitmap = 280;  // 280, 281
    static constexpr int kLoadCustomBitmap = 207;  // 207, 208

    CClass_16_view_set(const PageContext& context, QWidget* parent);

    // Refresh: the format list (and the switches, see showModel) follow the model.
    void refresh() override;

    // The operator's actions, as the controls trigger them.
    void chooseFormat(int position);
    void pressSwitch(size_t which);  // 0 Format Status, 1 Audio Alarm Enable, 2 Timecode Enable
    void pressLoadDefault();
    void pressSaveCustom(uint8_t preset);  // 1 or 2
    void pressLoadCustom(uint8_t preset);  // 1 or 2

    const PresetReload& reload() const { return *reload_; }

private:
    // The format list selects the model's format (or nothing for a code outside the table) and the three
    // switch buttons show the model's switches.
    void showModel();
    void recomputeAndRepaint();

    QComboBox* formatList_ = nullptr;
    std::array<CShadeButtonST*, 3> switches_{};  // Format Status, Audio Alarm Enable, Timecode Enable
    PresetReload* reload_ = nullptr;
};

}  // namespace kvx
