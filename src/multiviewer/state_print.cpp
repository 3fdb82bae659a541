#include "multiviewer/state_print.h"

#include <string>

#include "protocol/utf8_text.h"

namespace kvx {

namespace {

void value(std::FILE* out, const char* name, unsigned v) {
    std::fprintf(out, "%s=%u\n", name, v);
}

void text(std::FILE* out, const std::string& name, const std::u16string& t) {
    std::fprintf(out, "%s=%s\n", name.c_str(), toUtf8(t).c_str());
}

void numbers(std::FILE* out, const char* name, const std::array<uint8_t, 16>& elements) {
    std::fprintf(out, "%s=", name);
    for (size_t k = 0; k < elements.size(); ++k) std::fprintf(out, k == 0 ? "%u" : ",%u", elements[k]);
    std::fprintf(out, "\n");
}

void texts(std::FILE* out, const char* name, const std::array<std::u16string, 16>& elements) {
    for (size_t k = 0; k < elements.size(); ++k)
        text(out, std::string(name) + "[" + std::to_string(k + 1) + "]", elements[k]);
}

}  // namespace

void printMultiviewerState(const MultiviewerState& s, std::FILE* out) {
    value(out, "SwitcherMode", s.SwitcherMode);
    text(out, "DeviceName", s.DeviceName);
    value(out, "DeviceDhcpOn", s.DeviceDhcpOn);
    value(out, "LayoutMode", s.LayoutMode);
    numbers(out, "WindowSource", s.WindowSource);
    numbers(out, "MatrixRoute", s.MatrixRoute);
    value(out, "OutputFormat", s.OutputFormat);
    texts(out, "UmdName", s.UmdName);
    numbers(out, "UmdOn", s.UmdOn);
    value(out, "AllUmdOn", s.AllUmdOn);
    numbers(out, "UmdTextColor", s.UmdTextColor);
    numbers(out, "UmdBackColor", s.UmdBackColor);
    value(out, "FormatStatusOn", s.FormatStatusOn);
    numbers(out, "FormatTextColor", s.FormatTextColor);
    numbers(out, "FormatBackColor", s.FormatBackColor);
    value(out, "TimecodeOn", s.TimecodeOn);
    numbers(out, "TimecodeTextColor", s.TimecodeTextColor);
    numbers(out, "TimecodeBackColor", s.TimecodeBackColor);
    value(out, "BorderOn", s.BorderOn);
    value(out, "AudioSourceWindow", s.AudioSourceWindow);
    value(out, "AllAudioMeterOn", s.AllAudioMeterOn);
    numbers(out, "AudioMeterOn", s.AudioMeterOn);
    numbers(out, "AudioChannelPair", s.AudioChannelPair);
    value(out, "AudioAlarmOn", s.AudioAlarmOn);
    std::fprintf(out, "WindowSignal=");
    for (size_t k = 0; k < s.WindowSignal.size(); ++k) {
        std::fprintf(out, "%s%u/%u", k == 0 ? "" : ",", s.WindowSignal[k].present, s.WindowSignal[k].format);
    }
    std::fprintf(out, "\n");
    texts(out, "WindowFormatText", s.WindowFormatText);
}

}  // namespace kvx
