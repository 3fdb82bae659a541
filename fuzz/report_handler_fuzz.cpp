// Report handling: a stream of datagrams as the receiver hands them over, applied to a model on a page the
// panel can show (or none), with a page that records and checks every update asked of it.
#include <cstring>
#include <map>
#include <set>
#include <type_traits>

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

// A copy of every field that a report can change, with the windows derived from them, as one block without
// padding: a snapshot is one copy and a comparison one memcmp, which keeps the check cheap next to the report.
struct ReportedFields {
    GeometryTable WindowGeometry, SwitcherGeometry;
    uint8_t LayoutMode;
    PerWindow<uint8_t> WindowSource, MatrixRoute;
    uint8_t OutputFormat;
    PerInput<uint8_t> UmdOn;
    uint8_t AllUmdOn;
    PerInput<uint8_t> UmdTextColor, UmdBackColor;
    PerWindow<uint8_t> FormatTextColor, FormatBackColor, TimecodeTextColor, TimecodeBackColor;
    uint8_t FormatStatusOn, TimecodeOn, BorderOn, AudioSourceWindow, AllAudioMeterOn;
    PerWindow<uint8_t> AudioMeterOn, AudioChannelPair;
    uint8_t AudioAlarmOn;
    PerWindow<WindowSignal> Signal;
    uint8_t ColorSourceSelect, ColorWindowSelect, AudioWindowSelect;

    bool operator==(const ReportedFields& other) const { return std::memcmp(this, &other, sizeof other) == 0; }
};
static_assert(std::has_unique_object_representations_v<ReportedFields>, "memcmp must see every field alone");

ReportedFields reportedFields(const MultiviewerState& s) {
    return {s.WindowGeometry,   s.SwitcherGeometry,  s.LayoutMode,        s.WindowSource,
            s.MatrixRoute,      s.OutputFormat,      s.UmdOn,             s.AllUmdOn,
            s.UmdTextColor,     s.UmdBackColor,      s.FormatTextColor,   s.FormatBackColor,
            s.TimecodeTextColor, s.TimecodeBackColor, s.FormatStatusOn,   s.TimecodeOn,
            s.BorderOn,         s.AudioSourceWindow, s.AllAudioMeterOn,   s.AudioMeterOn,
            s.AudioChannelPair, s.AudioAlarmOn,      s.WindowSignal,      s.ColorSourceSelect,
            s.ColorWindowSelect, s.AudioWindowSelect};
}

void applyAll(std::span<const uint8_t> input, uint8_t page) {
    MultiviewerState state;
    state.CurrentPage = page;
    recomputeLayoutGeometry(state);
    CheckingPage pages(state);
    // The fields as they were before the report at hand: taken again only after a report that was applied.
    ReportedFields before = reportedFields(state);
    fuzz::forEachMessage(input, [&](std::span<const uint8_t> datagram) {
        const ReportOutcome outcome = applyReport(datagram, kConnected, state, pages);
        if (outcome.kind == ReportKind::Ignored) {
            // Nothing of the model moves for a report that is not taken.
            KVX_FUZZ_CHECK(reportedFields(state) == before && !outcome.repaint);
            return;
        }
        if (outcome.kind == ReportKind::WholeState)
            afterWholeStateWait(state, outcome.resetSelections, pages);
        KVX_FUZZ_CHECK(state.CurrentPage == page);
        before = reportedFields(state);
    });
    fuzz::checkModelShape(state);
}

}  // namespace

// The first byte chooses the page shown (none or one of the six); the rest is the stream of datagrams. One
// page an input, rather than every page for every input, keeps a long stream quick; the fuzzer reaches
// every page through that byte.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    applyAll({data + 1, size - 1}, static_cast<uint8_t>(data[0] % (kPageAudio + 1)));
    return 0;
}
