#pragma once

#include "multiviewer/ui/multiviewer_page.h"

class QComboBox;
class QRadioButton;

namespace kvx {

// The audio page (page 6): the window whose audio the device takes (or none), the audio meter and the
// channel pair of the window chosen in the Windows list, and ALL AUDIO METER ON. Every change is sent at
// once; the window choice lives in the model (AudioWindowSelect), so the page reopens on it.
class CClass_16_view_audio : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 296;
    static constexpr int kMeterOnId = 1141;
    static constexpr int kMeterOffId = 1142;
    static constexpr int kAllMetersOffBitmap = 452;
    static constexpr int kAllMetersOnBitmap = 453;

    CClass_16_view_audio(const PageContext& context, QWidget* parent);

    // Refresh: the audio source from the model, window 1 chosen again with its meter and channel pair, and
    // ALL AUDIO METER ON as the model holds it. Nothing is sent.
    void refresh() override;
    // Show meter switch: ON or OFF checked as the meter of the chosen window is.
    void showMeterSwitch() override;

private:
    void chooseAudioSource(int position);
    void chooseWindow(int position);
    void switchMeter(uint8_t on);
    void chooseChannel(int pair);
    void pressAllMeters();
    // The chosen window's element in the per-window fields.
    size_t chosenWindow();
    void showChosenWindow();

    QComboBox* sourceList_ = nullptr;
    QRadioButton* meterOn_ = nullptr;
    QRadioButton* meterOff_ = nullptr;
    QComboBox* windowList_ = nullptr;
    QComboBox* channelList_ = nullptr;
    CShadeButtonST* allMeters_ = nullptr;
};

}  // namespace kvx
