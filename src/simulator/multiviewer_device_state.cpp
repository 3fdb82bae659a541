#include "simulator/multiviewer_device_state.h"

namespace kvx {

namespace {
constexpr uint8_t kLayoutSixteen = 160;
constexpr uint8_t kFormat1080p60 = 7;  // output format code
constexpr uint8_t kWhite = 7;
constexpr uint8_t kBlack = 0;
constexpr uint8_t kTrans = 14;
constexpr uint8_t kSignal1080p60 = 31;  // signal format code
constexpr int kWindowsWithSignal = 12;  // a new device sees signals at its first twelve windows
}  // namespace

MultiviewerState factorySettings() {
    MultiviewerState s;  // UmdName "Umd_01" to "Umd_16"
    s.LayoutMode = kLayoutSixteen;
    for (size_t k = 0; k < kWindowCount; ++k) {
        s.WindowSource[k] = static_cast<uint8_t>(k + 1);
        s.MatrixRoute[k] = static_cast<uint8_t>(k + 1);
    }
    s.OutputFormat = kFormat1080p60;
    s.AllUmdOn = 1;
    s.UmdOn.fill(1);
    s.UmdTextColor.fill(kWhite);
    s.UmdBackColor.fill(kBlack);
    s.FormatStatusOn = 1;
    s.FormatTextColor.fill(kWhite);
    s.FormatBackColor.fill(kTrans);
    s.TimecodeOn = 0;
    s.TimecodeTextColor.fill(kWhite);
    s.TimecodeBackColor.fill(kTrans);
    s.BorderOn = 1;
    s.AudioSourceWindow = 1;
    s.AllAudioMeterOn = 1;
    s.AudioMeterOn.fill(1);
    s.AudioChannelPair.fill(0);
    s.AudioAlarmOn = 0;
    return s;
}

MultiviewerDeviceState newMultiviewerDeviceState() {
    MultiviewerDeviceState device;
    device.model = factorySettings();
    for (int w = 0; w < kWindowsWithSignal; ++w)
        device.model.WindowSignal[static_cast<size_t>(w)] = {1, kSignal1080p60};
    device.presets.fill(device.model);
    return device;
}

void restoreSettings(MultiviewerState& model, const MultiviewerState& settings) {
    MultiviewerState restored = settings;
    restored.DeviceName = model.DeviceName;
    restored.DeviceDhcpOn = model.DeviceDhcpOn;
    restored.DhcpToggle = model.DhcpToggle;
    restored.SwitcherMode = model.SwitcherMode;
    restored.WindowSignal = model.WindowSignal;
    model = std::move(restored);
}

}  // namespace kvx
