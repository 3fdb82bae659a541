#include "multiviewer/derived_data.h"

namespace kvx {
namespace {

struct ColourSource {
    const PerWindow<uint8_t>* indices;  // per input for the UMD arrays, per window otherwise
    bool byShownInput;
    bool background;
};

ColourSource sourceOf(const MultiviewerState& state, ColourArray which) {
    switch (which) {
        case ColourArray::UmdText:
            return {&state.UmdTextColor, true, false};
        case ColourArray::UmdBack:
            return {&state.UmdBackColor, true, true};
        case ColourArray::FormatText:
            return {&state.FormatTextColor, false, false};
        case ColourArray::FormatBack:
            return {&state.FormatBackColor, false, true};
        case ColourArray::TimecodeText:
            return {&state.TimecodeTextColor, false, false};
        case ColourArray::TimecodeBack:
            break;
    }
    return {&state.TimecodeBackColor, false, true};
}

}  // namespace

void recomputeColours(MultiviewerState& state, ColourArray which) {
    const ColourSource source = sourceOf(state, which);
    auto& rgb = state.WindowRgb.of(which);
    for (size_t w = 0; w < kWindowCount; ++w) {
        size_t element = w;
        if (source.byShownInput) {
            const uint8_t input = state.WindowSource[w];
            if (input < 1 || input > kInputCount) continue;
            element = input - 1u;
        }
        const uint8_t index = (*source.indices)[element];
        if (index >= kPaletteSize) continue;
        rgb[w] = source.background ? ColorIndex[index].back : ColorIndex[index].text;
    }
}

void recomputeAllColours(MultiviewerState& state) {
    for (ColourArray which : kAllColourArrays) recomputeColours(state, which);
}

void recomputeWindowFormatText(MultiviewerState& state) {
    for (size_t w = 0; w < kWindowCount; ++w) {
        if (!state.WindowSignal[w].present) {
            state.WindowFormatText[w] = kNoSignalText;
        } else if (const char* text = signalFormatText(state.WindowSignal[w].format)) {
            state.WindowFormatText[w] = asciiText(text);
        }
    }
}

}  // namespace kvx
