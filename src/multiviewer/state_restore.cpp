#include "multiviewer/state_restore.h"

#include "multiviewer/multiviewer_commands.h"

namespace kvx {

std::vector<Bytes> restoreFrames(const MultiviewerState& wanted, const Target& target) {
    // The senders store what they send in a model of their own; the wanted settings stay as they are.
    MultiviewerState scratch = wanted;
    std::vector<Bytes> frames;
    MultiviewerCommands send(
        &scratch, [&target] { return target; },
        [&frames](Bytes frame, FrameRoute, std::function<void(bool)>) {
            frames.push_back(std::move(frame));
        });
    const auto workMode = [&](uint8_t mode, uint8_t page) {
        scratch.SwitcherMode = mode;
        scratch.CurrentPage = page;
        send.setWorkMode();
    };
    const auto each = [](auto step) {
        for (int k = 1; k <= kWindowCount; ++k) step(k, static_cast<size_t>(k - 1));
    };

    workMode(0, kPageLayout);
    send.setLayout(wanted.LayoutMode);
    each([&](int w, size_t e) { send.setSource(wanted.WindowSource[e], static_cast<uint8_t>(w)); });
    workMode(1, kPageMatrix);
    each([&](int o, size_t e) { send.setSource(wanted.MatrixRoute[e], static_cast<uint8_t>(o)); });
    workMode(wanted.SwitcherMode, wanted.SwitcherMode ? kPageMatrix : kPageLayout);

    each([&](int in, size_t) { send.setUmdName(in); });
    each([&](int in, size_t e) { send.setUmdOn(in, wanted.UmdOn[e]); });
    send.setUmdOn(0, wanted.AllUmdOn);
    each([&](int k, size_t e) {
        send.setUmdTextColor(k, wanted.UmdTextColor[e]);
        send.setUmdBackColor(k, wanted.UmdBackColor[e]);
        send.setFormatTextColor(k, wanted.FormatTextColor[e]);
        send.setFormatBackColor(k, wanted.FormatBackColor[e]);
        send.setTimecodeTextColor(k, wanted.TimecodeTextColor[e]);
        send.setTimecodeBackColor(k, wanted.TimecodeBackColor[e]);
    });
    send.setBorder(wanted.BorderOn);
    send.setFormatStatus(wanted.FormatStatusOn);
    send.setTimecode(wanted.TimecodeOn);

    send.setAudioSource(wanted.AudioSourceWindow);
    each([&](int, size_t e) { send.setAudioMeterOn(static_cast<int>(e), wanted.AudioMeterOn[e]); });
    send.setAudioMeterOn(mv::kAllMetersIndex, wanted.AllAudioMeterOn);
    each([&](int, size_t e) { send.setAudioChannel(static_cast<int>(e), wanted.AudioChannelPair[e]); });
    send.setAudioAlarm(wanted.AudioAlarmOn);
    send.setOutputFormat(wanted.OutputFormat);
    return frames;
}

}  // namespace kvx
