// Report handling: a stream of datagrams as the receiver hands them over, applied to a model on each page
// the panel can show (and none), with a page that records and checks every update asked of it.
#include <map>
#include <set>
#include <tuple>

#include "multiviewer/report_handler.h"
#include "support/model_invariants.h"

namespace {

using namespace kvx;

const DeviceId kConnected{0x11, 0x22, 0x33, 0x44};

// The pages whose controls carry each id (some ids exist on two pages).
const std::map<int, std::set<int>>& pagesOfControl() {
    static const std::map<int, std::set<int>> pages = [] {
        using namespace control;
        std::map<int, std::set<int>> m;
        for (int n = 1; n <= 16; ++n) {
            m[layoutSourceList(n)].insert(kPageLayout);
            m[matrixOutputList(n)].insert(kPageMatrix);
            m[umdInputButton(n)].insert(kPageUmd);
        }
        for (int id : {kColourSourceList, kUmdTextColourList, kUmdBackColourList, kColourWindowList,
                       kFormatTextColourList, kFormatBackColourList, kBorderList, kTimecodeTextColourList,
                       kTimecodeBackColourList})
            m[id].insert(kPageColour);
        for (int id : {kOutputFormatList, kFormatStatusButton, kAudioAlarmButton, kTimecodeButton})
            m[id].insert(kPageSettings);
        for (int id : {kAudioSourceList, kAudioWindowList, kAudioChannelList, kAllAudioMeterButton})
            m[id].insert(kPageAudio);
        m[kAllUmdButton].insert(kPageUmd);
        return m;
    }();
    return pages;
}

// Stands in for the page shown: every update must be one of that page's controls, with an entry or bitmap
// that the control has.
class CheckingPage : public PageUpdates {
public:
    explicit CheckingPage(const MultiviewerState& state) : state_(state) {}

    void pageRefresh(int page) override {
        KVX_FUZZ_CHECK(page == state_.CurrentPage);
        KVX_FUZZ_CHECK(page >= kPageLayout && page <= kPageAudio && page != kPageMatrix);
    }
    void listSelected(int controlId, int entry) override {
        checkControl(controlId);
        KVX_FUZZ_CHECK(entry >= 0 && entry <= 255);
        using namespace control;
        // Input and output lists hold SDI_01 to SDI_16; the selectors "All" and 1 to 16; the output formats
        // their table.
        switch (state_.CurrentPage) {
            case kPageLayout:
            case kPageMatrix:
                KVX_FUZZ_CHECK(entry < 16);  // only the input lists get updates on these pages
                break;
            case kPageColour:
                if (controlId == kColourSourceList || controlId == kColourWindowList)
                    KVX_FUZZ_CHECK(entry <= 16);
                break;
            case kPageSettings:
                KVX_FUZZ_CHECK(entry < static_cast<int>(OutputFormatCode.size()));
                break;
            case kPageAudio:
                if (controlId == kAudioWindowList) KVX_FUZZ_CHECK(entry < 16);
                break;
        }
    }
    void buttonBitmap(int controlId, int bitmap) override {
        checkControl(controlId);
        using namespace control;
        for (int n = 1; n <= 16; ++n) {
            if (controlId == umdInputButton(n))
                KVX_FUZZ_CHECK(bitmap == 396 + 2 * n || bitmap == 397 + 2 * n);
        }
    }
    void showMeterSwitch() override {
        KVX_FUZZ_CHECK(state_.CurrentPage == kPageAudio);
        KVX_FUZZ_CHECK(state_.AudioWindowSelect < kWindowCount);
    }

private:
    void checkControl(int controlId) const {
        const auto found = pagesOfControl().find(controlId);
        KVX_FUZZ_CHECK(found != pagesOfControl().end());
        KVX_FUZZ_CHECK(found->second.contains(state_.CurrentPage));
    }

    const MultiviewerState& state_;
};

// A copy of every field that a report can change, with the windows derived from them.
auto reportedFields(const MultiviewerState& s) {
    return std::make_tuple(s.LayoutMode, s.WindowSource, s.MatrixRoute, s.OutputFormat, s.UmdOn, s.AllUmdOn,
                           s.UmdTextColor, s.UmdBackColor, s.FormatTextColor, s.FormatBackColor,
                           s.TimecodeTextColor, s.TimecodeBackColor, s.FormatStatusOn, s.TimecodeOn,
                           s.BorderOn, s.AudioSourceWindow, s.AllAudioMeterOn, s.AudioMeterOn,
                           s.AudioChannelPair, s.AudioAlarmOn, s.WindowSignal, s.ColorSourceSelect,
                           s.ColorWindowSelect, s.AudioWindowSelect, s.WindowGeometry, s.SwitcherGeometry);
}

void applyAll(std::span<const uint8_t> input, uint8_t page) {
    MultiviewerState state;
    state.CurrentPage = page;
    recomputeLayoutGeometry(state);
    CheckingPage pages(state);
    fuzz::forEachMessage(input, [&](std::span<const uint8_t> datagram) {
        const auto before = reportedFields(state);
        const ReportOutcome outcome = applyReport(datagram, kConnected, state, pages);
        if (outcome.kind == ReportKind::Ignored) {
            // Nothing of the model moves for a report that is not taken.
            KVX_FUZZ_CHECK(reportedFields(state) == before && !outcome.repaint);
            return;
        }
        if (outcome.kind == ReportKind::WholeState)
            afterWholeStateWait(state, outcome.resetSelections, pages);
        KVX_FUZZ_CHECK(state.CurrentPage == page);
    });
    fuzz::checkModelShape(state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (uint8_t page = kPageNone; page <= kPageAudio; ++page) applyAll({data, size}, page);
    return 0;
}
