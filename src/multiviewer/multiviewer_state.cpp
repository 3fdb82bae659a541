#include "multiviewer/multiviewer_state.h"

#include <cstdio>

namespace kvx {

std::optional<int> outputFormatPosition(uint8_t code) {
    for (const auto& entry : OutputFormatCode) {
        if (entry.code == code) return entry.position;
    }
    return std::nullopt;
}

std::optional<uint8_t> outputFormatCodeAt(int position) {
    for (const auto& entry : OutputFormatCode) {
        if (entry.position == position) return entry.code;
    }
    return std::nullopt;
}

const char* signalFormatText(uint8_t code) {
    for (const auto& entry : SignalFormatCode) {
        if (entry.code == code) return entry.text;
    }
    return nullptr;
}

std::u16string asciiText(const char* ascii) {
    std::u16string text;
    for (const char* c = ascii; *c != '\0'; ++c)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(*c)));
    return text;
}

std::array<Rgb, kWindowCount>& WindowRgbArrays::of(ColourArray which) {
    return const_cast<std::array<Rgb, kWindowCount>&>(static_cast<const WindowRgbArrays&>(*this).of(which));
}

const std::array<Rgb, kWindowCount>& WindowRgbArrays::of(ColourArray which) const {
    switch (which) {
        case ColourArray::UmdText:
            return umdText;
        case ColourArray::UmdBack:
            return umdBack;
        case ColourArray::FormatText:
            return formatText;
        case ColourArray::FormatBack:
            return formatBack;
        case ColourArray::TimecodeText:
            return timecodeText;
        case ColourArray::TimecodeBack:
            break;
    }
    return timecodeBack;
}

MultiviewerState::MultiviewerState() {
    for (int k = 0; k < kInputCount; ++k) {
        char label[16];
        std::snprintf(label, sizeof label, "Umd_%02d", k + 1);
        UmdName[static_cast<size_t>(k)] = asciiText(label);
    }
    WindowFormatText.fill(u"1080p30");
    AudioText = u"Audio Mute";
}

}  // namespace kvx
