// The colour page (page 3) on a simulated multiviewer: its lists filled from the model, each colour sent to
// the device for the element its selector list names, the lock, the device's reports and the refresh after
// the device's state was read again.
#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/page_updates.h"
#include "multiviewer/ui/audio_page.h"
#include "multiviewer/ui/colour_page.h"
#include "resources/skin_table.h"
#include "ui/multiviewer_window_fixture.h"

namespace kvx {
namespace app_multiviewer_colour_page_test {

using namespace control;
constexpr int kColourButton = 1011;
constexpr int kAudioButton = 1016;
constexpr int kLayoutButton = 1009;

using Field = PerWindow<uint8_t> MultiviewerState::*;
using S = MultiviewerState;

// Every element of each colour field different, so a list that shows the wrong element shows it.
void distinctColours(MultiviewerState& m) {
    for (size_t k = 0; k < kWindowCount; ++k) {
        const auto c = [k](size_t shift) { return static_cast<uint8_t>((k + shift) % kPaletteSize); };
        m.UmdTextColor[k] = c(1);
        m.UmdBackColor[k] = c(3);
        m.FormatTextColor[k] = c(5);
        m.FormatBackColor[k] = c(7);
        m.TimecodeTextColor[k] = c(9);
        m.TimecodeBackColor[k] = c(11);
    }
    m.BorderOn = 0;
}

class ColourPage : public MultiviewerWindowTest {
protected:
    // Opens the panel on the device (set up first) and shows page 3 by its button.
    void openPage(const std::function<void(MultiviewerState&)>& setUp = {}) {
        openOnPage<CClass_16_view_color>(kColourButton, setUp);
    }
    void showPage() { showPageBy<CClass_16_view_color>(kColourButton); }
    // The colour lists show element `input` of the two label colours and element `window` of the four
    // window colours (both 0 based).
    void expectColoursOf(size_t input, size_t window) {
        const MultiviewerState& m = model();
        EXPECT_EQ(shown(kUmdTextColourList), m.UmdTextColor[input]);
        EXPECT_EQ(shown(kUmdBackColourList), m.UmdBackColor[input]);
        EXPECT_EQ(shown(kFormatTextColourList), m.FormatTextColor[window]);
        EXPECT_EQ(shown(kFormatBackColourList), m.FormatBackColor[window]);
        EXPECT_EQ(shown(kTimecodeTextColourList), m.TimecodeTextColor[window]);
        EXPECT_EQ(shown(kTimecodeBackColourList), m.TimecodeBackColor[window]);
    }
    // The payloads of the requests with this code that the device received from position `from` on.
    std::vector<Bytes> sentSince(size_t from, uint8_t code) {
        std::vector<Bytes> payloads;
        for (const Bytes& frame : framesSince(from, code)) payloads.push_back(payloadOf(frame));
        return payloads;
    }
    MultiviewerState deviceModel() const { return device.state().model; }
};

QStringList itemsOf(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

TEST_F(ColourPage, ListsHoldTheirEntriesInOrder) {
    openPage();
    QStringList colours;
    for (const ColorEntry& entry : ColorIndex) colours << entry.name;
    ASSERT_EQ(colours.size(), 16);
    EXPECT_EQ(colours.front(), "Black");
    EXPECT_EQ(colours.back(), "HalfTrans");
    for (int id : {kUmdTextColourList, kUmdBackColourList, kFormatTextColourList, kFormatBackColourList,
                   kTimecodeTextColourList, kTimecodeBackColourList}) {
        EXPECT_EQ(itemsOf(list(id)), colours) << id;
    }
    const QStringList sources = itemsOf(list(kColourSourceList));
    const QStringList windows = itemsOf(list(kColourWindowList));
    ASSERT_EQ(sources.size(), 17);
    ASSERT_EQ(windows.size(), 17);
    EXPECT_EQ(sources[0], "All Windows");
    EXPECT_EQ(sources[1], "SDI 1");
    EXPECT_EQ(sources[16], "SDI 16");
    EXPECT_EQ(windows[0], "All Windows");
    EXPECT_EQ(windows[7], "Window_07");
    EXPECT_EQ(windows[16], "Window_16");
    EXPECT_EQ(itemsOf(list(kBorderList)), (QStringList{"OFF", "ON"}));
    // Each list stands beside its label on the background.
    using namespace skin_rows;
    const std::pair<int, std::string_view> rows[] = {{kColourSourceList, kSource},
                                                     {kUmdTextColourList, kUmdTextColor},
                                                     {kUmdBackColourList, kUmdBackgroundColor},
                                                     {kColourWindowList, kWindows},
                                                     {kFormatTextColourList, kFormatStatusTextColor},
                                                     {kFormatBackColourList, kFormatStatusBackgroundColor},
                                                     {kBorderList, kBorderColor},
                                                     {kTimecodeTextColourList, kTimeCodeTextColor},
                                                     {kTimecodeBackColourList, kTimeCodeBackgroundColor}};
    for (const auto& [id, row] : rows) {
        const SkinRow* found = skinRow(CClass_16_view_color::kBackground, row);
        ASSERT_NE(found, nullptr) << row;
        EXPECT_FALSE(found->labelBox.isEmpty()) << row;
        EXPECT_EQ(list(id)->geometry(), found->controls) << row;
    }
    EXPECT_EQ(list(kBorderList)->palette().color(QPalette::Text), QColor(60, 180, 255));
    EXPECT_EQ(list(kBorderList)->palette().color(QPalette::Base), QColor(58, 58, 58));
}

// The page opens on the model's selections; "All Windows" shows input 1 and window 1.
TEST_F(ColourPage, OpensOnTheSelectionsOfTheModel) {
    open([](MultiviewerState& m) {
        distinctColours(m);
        m.BorderOn = 1;
    });
    const struct {
        uint8_t source, window;
        size_t input, shownWindow;  // the elements shown
    } cases[] = {{0, 0, 0, 0}, {5, 9, 4, 8}, {16, 1, 15, 0}, {1, 0, 0, 0}};
    for (const auto& c : cases) {
        click(kLayoutButton);
        model().ColorSourceSelect = c.source;
        model().ColorWindowSelect = c.window;
        showPage();
        SCOPED_TRACE(testing::Message() << "source " << int(c.source) << ", window " << int(c.window));
        EXPECT_EQ(shown(kColourSourceList), c.source);
        EXPECT_EQ(shown(kColourWindowList), c.window);
        expectColoursOf(c.input, c.shownWindow);
        EXPECT_EQ(shown(kBorderList), 1);
    }
}

struct ColourChoice {
    const char* name;
    int selectorList;
    int selection;
    int colourList;
    uint8_t colour;
    uint8_t code;
    Field field;
    std::vector<size_t> changed;  // elements of the PC's model that take the colour
};
void PrintTo(const ColourChoice& c, std::ostream* os) {
    *os << c.name;
}

class ColourChoices : public ColourPage, public ::testing::WithParamInterface<ColourChoice> {};

// The colour goes to the device for the element that the selector list names, and the model stores it as
// its sender does: all sixteen elements for "All Windows", except the time code colours (element 1).
TEST_P(ColourChoices, SendTheColourForTheSelectedElement) {
    const ColourChoice& c = GetParam();
    openPage(distinctColours);
    const size_t from = frameCount();
    choose(c.selectorList, c.selection);
    EXPECT_TRUE(sentSince(from, c.code).empty()) << "a selector list sends nothing";
    const PerWindow<uint8_t> before = model().*c.field;

    choose(c.colourList, c.colour);
    EXPECT_EQ(sentSince(from, c.code), std::vector<Bytes>{Bytes({uint8_t(c.selection), c.colour})});
    PerWindow<uint8_t> expected = before;
    for (size_t k : c.changed) expected[k] = c.colour;
    EXPECT_EQ(model().*c.field, expected);
    EXPECT_EQ(shown(c.colourList), c.colour);
    EXPECT_EQ(shown(c.selectorList), c.selection);
    if (c.selection != 0) {
        EXPECT_EQ((deviceModel().*c.field)[size_t(c.selection - 1)], c.colour);
    }
}

std::vector<size_t> all() {
    std::vector<size_t> k(kWindowCount);
    for (size_t i = 0; i < k.size(); ++i) k[i] = i;
    return k;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ColourChoices,
    ::testing::Values(
        ColourChoice{
            "Input4Yellow", kColourSourceList, 4, kUmdTextColourList, 6, 0x3B, &S::UmdTextColor, {3}},
        ColourChoice{"AllInputsBackLightCyan", kColourSourceList, 0, kUmdBackColourList, 12, 0x3C,
                     &S::UmdBackColor, all()},
        ColourChoice{"Input16BackHalfTrans",
                     kColourSourceList,
                     16,
                     kUmdBackColourList,
                     15,
                     0x3C,
                     &S::UmdBackColor,
                     {15}},
        ColourChoice{"AllWindowsRed", kColourWindowList, 0, kFormatTextColourList, 2, 0x3D,
                     &S::FormatTextColor, all()},
        ColourChoice{"Window7FormatBackBlack",
                     kColourWindowList,
                     7,
                     kFormatBackColourList,
                     0,
                     0x3E,
                     &S::FormatBackColor,
                     {6}},
        ColourChoice{"AllWindowsTimecodeTextGreen",
                     kColourWindowList,
                     0,
                     kTimecodeTextColourList,
                     4,
                     0x54,
                     &S::TimecodeTextColor,
                     {0}},
        ColourChoice{"Window1TimecodeBackTrans",
                     kColourWindowList,
                     1,
                     kTimecodeBackColourList,
                     14,
                     0x55,
                     &S::TimecodeBackColor,
                     {0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ColourPage, BorderListSendsTheChosenPosition) {
    openPage([](MultiviewerState& m) { m.BorderOn = 0; });
    const size_t from = frameCount();
    choose(kBorderList, 1);
    EXPECT_EQ(model().BorderOn, 1);
    choose(kBorderList, 0);
    EXPECT_EQ(model().BorderOn, 0);
    EXPECT_EQ(sentSince(from, mv::kSetBorder), (std::vector<Bytes>{{1}, {0}}));
    EXPECT_EQ(deviceModel().BorderOn, 0);
}

TEST_F(ColourPage, ChoosingAWindowShowsItsFourColoursAndSendsNothing) {
    openPage(distinctColours);
    const size_t from = frameCount();
    choose(kColourWindowList, 7);
    EXPECT_EQ(model().ColorWindowSelect, 7);
    expectColoursOf(0, 6);
    choose(kColourSourceList, 12);
    EXPECT_EQ(model().ColorSourceSelect, 12);
    expectColoursOf(11, 6);
    choose(kColourWindowList, 0);
    EXPECT_EQ(model().ColorWindowSelect, 0);
    expectColoursOf(11, 0);
    EXPECT_TRUE(framesSince(from).empty());
}

// With the lock on, each list goes back to what the model holds (with the lists that go with it) and
// nothing reaches the device.
TEST_F(ColourPage, LockedListsReturnToTheModelAndSendNothing) {
    open(distinctColours);
    model().ColorSourceSelect = 3;
    model().ColorWindowSelect = 10;
    showPage();
    QTest::mouseClick(window->lockButton(), Qt::LeftButton);
    settle();
    const MultiviewerState before = model();
    const size_t from = frameCount();
    const struct {
        int list;
        int position;
    } touches[] = {{kColourSourceList, 9},        {kColourWindowList, 2},        {kUmdTextColourList, 15},
                   {kUmdBackColourList, 15},      {kFormatTextColourList, 15},   {kFormatBackColourList, 15},
                   {kTimecodeTextColourList, 15}, {kTimecodeBackColourList, 15}, {kBorderList, 1}};
    for (const auto& t : touches) {
        SCOPED_TRACE(t.list);
        choose(t.list, t.position);
        EXPECT_EQ(shown(kColourSourceList), 3);
        EXPECT_EQ(shown(kColourWindowList), 10);
        expectColoursOf(2, 9);
        EXPECT_EQ(shown(kBorderList), 0);
    }
    EXPECT_TRUE(framesSince(from).empty());
    EXPECT_EQ(model().ColorSourceSelect, 3);
    EXPECT_EQ(model().ColorWindowSelect, 10);
    EXPECT_EQ(model().UmdTextColor, before.UmdTextColor);
    EXPECT_EQ(model().TimecodeBackColor, before.TimecodeBackColor);
    EXPECT_EQ(model().BorderOn, 0);
}

struct ColourReport {
    const char* name;
    uint8_t code;
    uint8_t index;
    uint8_t colour;
    Field field;
    int selectorList;
    int reportedList;
};
void PrintTo(const ColourReport& c, std::ostream* os) {
    *os << c.name;
}

class ColourReports : public ColourPage, public ::testing::WithParamInterface<ColourReport> {};

// A colour changed on the device's front panel: the selector list names its element, the reported list
// shows the colour, and every other colour list of that selector shows the element's colour. "All
// Windows" (index 0) sets element 1 only.
TEST_P(ColourReports, MoveTheSelectorAndTheListsItGoverns) {
    const ColourReport& c = GetParam();
    openPage(distinctColours);
    choose(kColourSourceList, 2);
    choose(kColourWindowList, 2);
    const PerWindow<uint8_t> before = model().*c.field;

    ASSERT_TRUE(device.changeColour(c.code, c.index, c.colour));
    const size_t element = c.index == 0 ? 0 : c.index - 1;
    waitFor([&] { return (model().*c.field)[element] == c.colour; });
    PerWindow<uint8_t> expected = before;
    expected[element] = c.colour;
    EXPECT_EQ(model().*c.field, expected);
    EXPECT_EQ(shown(c.selectorList), c.index);
    EXPECT_EQ(shown(c.reportedList), c.colour);
    if (c.selectorList == kColourSourceList) {
        EXPECT_EQ(model().ColorSourceSelect, c.index);
        expectColoursOf(element, 1);
    } else {
        EXPECT_EQ(model().ColorWindowSelect, c.index);
        expectColoursOf(1, element);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ColourReports,
    ::testing::Values(
        ColourReport{"UmdText", 0x3B, 9, 6, &S::UmdTextColor, kColourSourceList, kUmdTextColourList},
        ColourReport{"UmdTextAllInputs", 0x3B, 0, 6, &S::UmdTextColor, kColourSourceList, kUmdTextColourList},
        ColourReport{"UmdBack", 0x3C, 16, 13, &S::UmdBackColor, kColourSourceList, kUmdBackColourList},
        ColourReport{"FormatText", 0x3D, 5, 0, &S::FormatTextColor, kColourWindowList, kFormatTextColourList},
        ColourReport{"FormatBack", 0x3E, 0, 9, &S::FormatBackColor, kColourWindowList, kFormatBackColourList},
        ColourReport{"TimecodeText", 0x54, 12, 1, &S::TimecodeTextColor, kColourWindowList,
                     kTimecodeTextColourList},
        ColourReport{"TimecodeBack", 0x55, 1, 8, &S::TimecodeBackColor, kColourWindowList,
                     kTimecodeBackColourList}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ColourPage, BorderReportMovesTheBorderList) {
    openPage([](MultiviewerState& m) { m.BorderOn = 1; });
    ASSERT_EQ(shown(kBorderList), 1);
    const uint8_t off[] = {0};
    ASSERT_TRUE(device.frontPanelChange(mv::kSetBorder, off));
    waitFor([this] { return model().BorderOn == 0; });
    EXPECT_EQ(shown(kBorderList), 0);
}

// The audio page's lists carry the ids of the colour page's border and time code lists: a report for the
// colour page that arrives while the audio page is shown changes the model only.
TEST_F(ColourPage, ReportsForItWhileAnotherPageIsShownChangeOnlyTheModel) {
    open([](MultiviewerState& m) {
        distinctColours(m);
        m.BorderOn = 1;
        m.AudioSourceWindow = 4;
    });
    click(kAudioButton);
    ASSERT_NE(page<CClass_16_view_audio>(), nullptr);
    const int windowList = shown(kAudioWindowList);
    ASSERT_TRUE(device.changeColour(mv::kSetTimecodeTextColor, 6, 15));
    const uint8_t off[] = {0};
    ASSERT_TRUE(device.frontPanelChange(mv::kSetBorder, off));
    waitFor([this] { return model().BorderOn == 0; });
    EXPECT_EQ(model().TimecodeTextColor[5], 15);
    EXPECT_EQ(model().ColorWindowSelect, 6);
    EXPECT_EQ(shown(kAudioSourceList), 4);
    EXPECT_EQ(shown(kAudioWindowList), windowList);

    // The page opens on what the reports left in the model.
    showPage();
    EXPECT_EQ(shown(kColourWindowList), 6);
    EXPECT_EQ(shown(kTimecodeTextColourList), 15);
    EXPECT_EQ(shown(kBorderList), 0);
}

// After a whole-state report the device's state is read again: the colour lists show the new colours of
// what the selector lists show, while the model's selections are reset, so the page opens next time on
// "All Windows" twice.
TEST_F(ColourPage, RefreshAfterTheStateWasReadAgain) {
    openPage();
    choose(kColourSourceList, 4);
    choose(kColourWindowList, 7);
    MultiviewerState reloaded = deviceModel();
    distinctColours(reloaded);
    device.setModel(reloaded);
    ASSERT_NE(model().UmdTextColor, reloaded.UmdTextColor);
    ASSERT_TRUE(device.frontPanelChange(mv::kResetMatrix, {}));  // reported as a change of the whole state
    waitFor([&] { return !panel()->busy() && model().UmdTextColor[3] == reloaded.UmdTextColor[3]; });

    EXPECT_EQ(model().ColorSourceSelect, 0);
    EXPECT_EQ(model().ColorWindowSelect, 0);
    EXPECT_EQ(shown(kColourSourceList), 4);
    EXPECT_EQ(shown(kColourWindowList), 7);
    expectColoursOf(3, 6);
    EXPECT_EQ(shown(kUmdTextColourList), reloaded.UmdTextColor[3]);
    EXPECT_EQ(shown(kBorderList), 0);

    click(kLayoutButton);
    showPage();
    EXPECT_EQ(shown(kColourSourceList), 0);
    EXPECT_EQ(shown(kColourWindowList), 0);
    expectColoursOf(0, 0);
}

}  // namespace app_multiviewer_colour_page_test
}  // namespace kvx
