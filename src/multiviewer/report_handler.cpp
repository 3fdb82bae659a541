#include "multiviewer/report_handler.h"

#include <algorithm>
#include <optional>

#include "multiviewer/derived_data.h"
#include "multiviewer/geometry.h"
#include "multiviewer/multiviewer_codes.h"
#include "protocol/control_frame.h"

namespace kvx {

std::optional<size_t> reportDataBytes(uint8_t code) {
    switch (code) {
        case mv::kLoadDefault:
        case mv::kStateChanged:
        case mv::kLoadCustom:
            return 0;
        case mv::kSetLayout:
        case mv::kSetAudioSource:
        case mv::kFormatStatusSwitched:
        case mv::kSetFormatStatus:
        case mv::kTimecodeSwitched:
        case mv::kSetTimecode:
        case mv::kSetAudioAlarm:
        case mv::kSetAllAudioMeters:
        case mv::kSetAllUmd:
        case mv::kSetBorder:
            return 1;
        case mv::kSetOutputFormat:
        case mv::kSetSource:
        case mv::kSetUmdOn:
        case mv::kSetAudioMeterOn:
        case mv::kSetAudioChannel:
        case mv::kSetUmdTextColor:
        case mv::kSetUmdBackColor:
        case mv::kSetFormatTextColor:
        case mv::kSetFormatBackColor:
        case mv::kSetTimecodeTextColor:
        case mv::kSetTimecodeBackColor:
            return 2;
        case mv::kWindowSignal:
            return 3;
        default:
            return std::nullopt;
    }
}

namespace {

struct Report {
    uint8_t code;
    uint8_t d0;
    uint8_t d1;
    uint8_t d2;
    uint8_t page;
};

bool isOneTo16(uint8_t value) {
    return value >= 1 && value <= 16;
}
size_t element(uint8_t oneBased) {
    return static_cast<size_t>(oneBased - 1);
}
int onOff(uint8_t value, int onBitmap, int offBitmap) {
    return value ? onBitmap : offBitmap;
}

constexpr ReportOutcome kIgnored{};
constexpr ReportOutcome kApplied{ReportKind::Applied, false, false};
constexpr ReportOutcome kAppliedRepaint{ReportKind::Applied, true, false};

// One of the six colour reports: which field, which selection, which lists of the colour page.
struct ColourReport {
    PerWindow<uint8_t> MultiviewerState::*field;
    PerWindow<uint8_t> MultiviewerState::*sibling;
    uint8_t MultiviewerState::*selection;
    int selectorList;
    int reportedList;
    int siblingList;
    ColourArray derived;
};

std::optional<ColourReport> colourReport(uint8_t code) {
    using S = MultiviewerState;
    using namespace control;
    switch (code) {
        case mv::kSetUmdTextColor:
            return ColourReport{&S::UmdTextColor,    &S::UmdBackColor,   &S::ColorSourceSelect,
                                kColourSourceList,   kUmdTextColourList, kUmdBackColourList,
                                ColourArray::UmdText};
        case mv::kSetUmdBackColor:
            return ColourReport{&S::UmdBackColor,    &S::UmdTextColor,   &S::ColorSourceSelect,
                                kColourSourceList,   kUmdBackColourList, kUmdTextColourList,
                                ColourArray::UmdBack};
        case mv::kSetFormatTextColor:
            return ColourReport{&S::FormatTextColor,    &S::FormatBackColor,   &S::ColorWindowSelect,
                                kColourWindowList,      kFormatTextColourList, kFormatBackColourList,
                                ColourArray::FormatText};
        case mv::kSetFormatBackColor:
            return ColourReport{&S::FormatBackColor,    &S::FormatTextColor,   &S::ColorWindowSelect,
                                kColourWindowList,      kFormatBackColourList, kFormatTextColourList,
                                ColourArray::FormatBack};
        case mv::kSetTimecodeTextColor:
            return ColourReport{&S::TimecodeTextColor,    &S::TimecodeBackColor,   &S::ColorWindowSelect,
                                kColourWindowList,        kTimecodeTextColourList, kTimecodeBackColourList,
                                ColourArray::TimecodeText};
        case mv::kSetTimecodeBackColor:
            return ColourReport{&S::TimecodeBackColor,    &S::TimecodeTextColor,   &S::ColorWindowSelect,
                                kColourWindowList,        kTimecodeBackColourList, kTimecodeTextColourList,
                                ColourArray::TimecodeBack};
        default:
            return std::nullopt;
    }
}

// Index 0 ("all") of a colour report sets element 1 only.
ReportOutcome applyColour(const Report& r, const ColourReport& c, MultiviewerState& state,
                          PageUpdates& pages) {
    if (r.d0 > 16) return kIgnored;
    const size_t shown = r.d0 == 0 ? 0 : element(r.d0);
    state.*c.selection = r.d0;
    (state.*c.field)[shown] = r.d1;
    if (r.page == kPageColour) {
        pages.listSelected(c.selectorList, r.d0);
        pages.listSelected(c.reportedList, r.d1);
        pages.listSelected(c.siblingList, (state.*c.sibling)[shown]);
    }
    recomputeColours(state, c.derived);
    return kAppliedRepaint;
}

ReportOutcome applySource(const Report& r, MultiviewerState& state, PageUpdates& pages) {
    const uint8_t input = r.d0;
    const uint8_t window = r.d1;
    if (!isOneTo16(input) || !isOneTo16(window)) return kIgnored;
    if (r.page == kPageMatrix) {
        setMatrixRoute(state, window, input);
        pages.listSelected(control::matrixOutputList(window), input - 1);
    } else if (r.page == kPageLayout) {
        state.WindowSource[element(window)] = input;
        // The window's label colours follow the input it now shows.
        recomputeColours(state, ColourArray::UmdText);
        recomputeColours(state, ColourArray::UmdBack);
        pages.listSelected(control::layoutSourceList(window), input - 1);
    }
    return kAppliedRepaint;
}

ReportOutcome applyLayout(const Report& r, MultiviewerState& state, PageUpdates& pages) {
    state.LayoutMode = r.d0;
    if (r.page == kPageMatrix) return kApplied;
    recomputeLayoutGeometry(state);
    if (r.page == kPageLayout) {
        pages.pageRefresh(kPageLayout);
        if (isOneTo16(r.d0)) pages.listSelected(control::layoutSourceList(1), r.d0 - 1);
    }
    return kAppliedRepaint;
}

// Reports 0x37 and 0x52 select the window on the audio page and show its meter and channel pair.
ReportOutcome applyAudioWindow(const Report& r, PerWindow<uint8_t> MultiviewerState::*field, bool repaint,
                               MultiviewerState& state, PageUpdates& pages) {
    if (!isOneTo16(r.d0)) return kIgnored;
    state.AudioWindowSelect = static_cast<uint8_t>(r.d0 - 1);
    (state.*field)[element(r.d0)] = r.d1;
    if (r.page == kPageAudio) {
        pages.listSelected(control::kAudioWindowList, r.d0 - 1);
        pages.showMeterSwitch();
        pages.listSelected(control::kAudioChannelList, state.AudioChannelPair[element(r.d0)]);
    }
    return repaint ? kAppliedRepaint : kApplied;
}

// A switch shown by a button on one page.
ReportOutcome applySwitch(const Report& r, uint8_t& field, uint8_t page, int button, int onBitmap,
                          int offBitmap, bool repaint, PageUpdates& pages) {
    field = r.d0;
    if (r.page == page) pages.buttonBitmap(button, onOff(r.d0, onBitmap, offBitmap));
    return repaint ? kAppliedRepaint : kApplied;
}

std::optional<bool> resetsSelections(uint8_t code) {
    switch (code) {
        case mv::kLoadDefault:
        case mv::kStateChanged:
            return true;
        case mv::kLoadCustom:
            return false;
        default:
            return std::nullopt;
    }
}

ReportOutcome dispatch(const Report& r, MultiviewerState& state, PageUpdates& pages) {
    using namespace control;
    if (const auto colour = colourReport(r.code)) return applyColour(r, *colour, state, pages);
    if (const auto reset = resetsSelections(r.code)) return {ReportKind::WholeState, false, *reset};
    switch (r.code) {
        case mv::kSetOutputFormat:
            state.OutputFormat = r.d1;
            if (r.page == kPageSettings) {
                if (const auto position = outputFormatPosition(r.d1))
                    pages.listSelected(kOutputFormatList, *position);
            }
            return kApplied;
        case mv::kSetLayout:
            return applyLayout(r, state, pages);
        case mv::kSetSource:
            return applySource(r, state, pages);
        case mv::kSetUmdOn:
            if (!isOneTo16(r.d0)) return kIgnored;
            state.UmdOn[element(r.d0)] = r.d1;
            if (r.page == kPageUmd)
                pages.buttonBitmap(umdInputButton(r.d0), onOff(r.d1, 397, 396) + 2 * r.d0);
            return kAppliedRepaint;
        case mv::kSetAudioMeterOn:
            return applyAudioWindow(r, &MultiviewerState::AudioMeterOn, true, state, pages);
        case mv::kSetAudioChannel:
            return applyAudioWindow(r, &MultiviewerState::AudioChannelPair, false, state, pages);
        case mv::kSetAudioSource:
            state.AudioSourceWindow = r.d0;
            if (r.page != kPageAudio) return kApplied;
            pages.listSelected(kAudioSourceList, r.d0);
            return kAppliedRepaint;
        case mv::kFormatStatusSwitched:
        case mv::kSetFormatStatus:
            return applySwitch(r, state.FormatStatusOn, kPageSettings, kFormatStatusButton, 206, 205, true,
                               pages);
        case mv::kTimecodeSwitched:
        case mv::kSetTimecode:
            return applySwitch(r, state.TimecodeOn, kPageSettings, kTimecodeButton, 283, 282, false, pages);
        case mv::kSetAudioAlarm:
            return applySwitch(r, state.AudioAlarmOn, kPageSettings, kAudioAlarmButton, 204, 203, false,
                               pages);
        case mv::kSetAllAudioMeters:
            return applySwitch(r, state.AllAudioMeterOn, kPageAudio, kAllAudioMeterButton, 453, 452, true,
                               pages);
        case mv::kSetAllUmd:
            return applySwitch(r, state.AllUmdOn, kPageUmd, kAllUmdButton, 202, 201, true, pages);
        case mv::kSetBorder:
            state.BorderOn = r.d0;
            if (r.page == kPageColour) pages.listSelected(kBorderList, r.d0);
            return kAppliedRepaint;
        case mv::kWindowSignal:
            // The only report that counts windows from 0.
            if (r.d0 >= kWindowCount) return kIgnored;
            state.WindowSignal[r.d0] = {r.d1, r.d2};
            recomputeWindowFormatText(state);
            return kAppliedRepaint;
        default:
            return kIgnored;
    }
}

}  // namespace

bool isFromDevice(std::span<const uint8_t> datagram, const DeviceId& id) {
    return datagram.size() >= frame::kDeviceIdOffset + id.size() &&
           std::equal(id.begin(), id.end(), datagram.begin() + frame::kDeviceIdOffset);
}

std::optional<bool> wholeStateReset(std::span<const uint8_t> datagram, const DeviceId& id) {
    if (!isFromDevice(datagram, id) || datagram.size() <= frame::kCommandOffset) return std::nullopt;
    return resetsSelections(datagram[frame::kCommandOffset]);
}

ReportOutcome applyReport(std::span<const uint8_t> datagram, const DeviceId& id, MultiviewerState& state,
                          PageUpdates& pages) {
    if (!isFromDevice(datagram, id) || datagram.size() <= frame::kCommandOffset) return kIgnored;
    const uint8_t code = datagram[frame::kCommandOffset];
    const std::optional<size_t> used = reportDataBytes(code);
    if (!used || (*used > 0 && datagram.size() < frame::kDataOffset + *used)) return kIgnored;
    const auto data = [&](size_t i) { return i < *used ? datagram[frame::kDataOffset + i] : uint8_t{0}; };
    const Report report{code, data(0), data(1), data(2), state.CurrentPage};
    return dispatch(report, state, pages);
}

void afterWholeStateWait(MultiviewerState& state, bool resetSelections, PageUpdates& pages) {
    if (resetSelections) {
        state.AudioWindowSelect = 0;
        state.ColorWindowSelect = 0;
        state.ColorSourceSelect = 0;
    }
    const uint8_t page = state.CurrentPage;
    if (page >= kPageLayout && page <= kPageAudio && page != kPageMatrix) pages.pageRefresh(page);
    recomputeLayoutGeometry(state);
    recomputeAllColours(state);
}

}  // namespace kvx
