#pragma once
// Invariants of the multiviewer model that its readers (status decode, report handling) and the derived data
// keep whatever bytes arrive.
#include <algorithm>
#include <set>

#include "multiviewer/geometry.h"
#include "multiviewer/multiviewer_state.h"
#include "multiviewer/status_layout.h"
#include "support/fuzz_input.h"

namespace kvx::fuzz {

inline bool isPaletteColour(const Rgb& rgb) {
    return rgb == Rgb{} || std::any_of(ColorIndex.begin(), ColorIndex.end(), [&](const ColorEntry& entry) {
               return entry.text == rgb || entry.back == rgb;
           });
}

inline bool isFormatText(const std::u16string& text) {
    static const std::set<std::u16string> texts = [] {
        std::set<std::u16string> all{kNoSignalText, u"1080p30"};  // "1080p30": the start-up text
        for (const SignalFormatEntry& entry : SignalFormatCode) all.insert(asciiText(entry.text));
        return all;
    }();
    return texts.contains(text);
}

inline bool insideCanvas(const GeometryRecord& r) {
    return r.x >= 0 && r.y >= 0 && r.width >= 0 && r.height >= 0 && r.x + r.width <= kCanvasWidth &&
           r.y + r.height <= kCanvasHeight;
}

// What holds after any sequence of decodes and reports: texts within their sizes, the windows on the
// canvas, every derived colour one of the palette.
inline void checkModelShape(const MultiviewerState& state) {
    for (const auto& name : state.UmdName) KVX_FUZZ_CHECK(name.size() <= status::kUmdNameMaxUnits);
    KVX_FUZZ_CHECK(state.DeviceName.size() <= status::kDeviceNameMaxBytes / 2);
    for (const auto& text : state.WindowFormatText) KVX_FUZZ_CHECK(isFormatText(text));
    for (const GeometryRecord& record : state.WindowGeometry) {
        KVX_FUZZ_CHECK(insideCanvas(record));
        KVX_FUZZ_CHECK(record.number >= 0 && record.number <= kWindowCount);
    }
    for (const GeometryRecord& record : state.SwitcherGeometry) KVX_FUZZ_CHECK(insideCanvas(record));
    for (ColourArray which : kAllColourArrays) {
        for (const Rgb& rgb : state.WindowRgb.of(which)) KVX_FUZZ_CHECK(isPaletteColour(rgb));
    }
}

}  // namespace kvx::fuzz
