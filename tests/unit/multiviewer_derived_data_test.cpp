#include <gtest/gtest.h>

#include "multiviewer/derived_data.h"

namespace kvx {
namespace multiviewer_derived_data_test {

TEST(MultiviewerStartup, LabelsFormatTextsAndAudioTextHaveTheirStartValues) {
    const MultiviewerState state;
    EXPECT_EQ(state.UmdName[0], u"Umd_01");
    EXPECT_EQ(state.UmdName[9], u"Umd_10");
    EXPECT_EQ(state.UmdName[15], u"Umd_16");
    for (const auto& text : state.WindowFormatText) EXPECT_EQ(text, u"1080p30");
    EXPECT_EQ(state.AudioText, u"Audio Mute");
    EXPECT_EQ(state.PanelLocked, 0);
    EXPECT_EQ(state.CurrentPage, 0);
    EXPECT_EQ(state.LayoutMode, 0);
}

TEST(OutputFormatTable, PositionsAndCodesConvertBothWays) {
    EXPECT_EQ(outputFormatPosition(11), 1);  // "1080p50"
    EXPECT_EQ(outputFormatPosition(14), 7);  // "720p60"
    EXPECT_EQ(outputFormatCodeAt(0), 7);     // "1080p60"
    EXPECT_EQ(outputFormatCodeAt(8), 6);     // "720p50"
    for (int p = 0; p < 9; ++p) EXPECT_EQ(outputFormatPosition(*outputFormatCodeAt(p)), p);
    EXPECT_FALSE(outputFormatPosition(2));
    EXPECT_FALSE(outputFormatPosition(15));
    EXPECT_FALSE(outputFormatCodeAt(9));
    EXPECT_FALSE(outputFormatCodeAt(-1));
}

TEST(SignalFormatTable, KnownAndUnknownCodes) {
    EXPECT_STREQ(signalFormatText(16), "625i50");
    EXPECT_STREQ(signalFormatText(5), "720p24");
    EXPECT_STREQ(signalFormatText(55), "1080psf30");
    for (uint8_t unknown : {0, 17, 32, 63}) EXPECT_EQ(signalFormatText(unknown), nullptr) << int(unknown);
}

TEST(WindowFormatText, FollowsPresenceAndCode) {
    MultiviewerState state;
    state.WindowSignal[0] = {1, 16};
    state.WindowSignal[1] = {0, 16};  // no signal whatever the code
    state.WindowSignal[2] = {1, 17};  // unknown code keeps the text
    state.WindowSignal[3] = {2, 31};  // any present value other than 0 counts
    state.WindowFormatText[2] = u"kept";
    recomputeWindowFormatText(state);
    EXPECT_EQ(state.WindowFormatText[0], u"625i50");
    EXPECT_EQ(state.WindowFormatText[1], u"No Signal");
    EXPECT_EQ(state.WindowFormatText[2], u"kept");
    EXPECT_EQ(state.WindowFormatText[3], u"1080p60");
    EXPECT_EQ(state.WindowFormatText[4], u"No Signal");
}

TEST(WindowColours, UmdArraysTakeTheColourOfTheInputTheWindowShows) {
    MultiviewerState state;
    state.WindowSource.fill(1);
    state.WindowSource[2] = 5;  // window 3 shows input 5
    state.UmdTextColor[4] = 6;  // input 5: yellow text
    state.UmdBackColor[4] = 14;
    state.UmdTextColor[2] = 2;  // input 3's own colour is not used for window 3
    recomputeColours(state, ColourArray::UmdText);
    recomputeColours(state, ColourArray::UmdBack);
    EXPECT_EQ(state.WindowRgb.umdText[2], (Rgb{255, 255, 0}));
    EXPECT_EQ(state.WindowRgb.umdBack[2], (Rgb{152, 152, 152}));
    EXPECT_EQ(state.WindowRgb.umdText[0], (Rgb{0, 0, 0}));
}

TEST(WindowColours, PerWindowArraysTakeTheWindowsOwnColour) {
    MultiviewerState state;
    state.WindowSource.fill(9);
    state.FormatTextColor[3] = 14;  // text column: white
    state.FormatBackColor[3] = 15;  // background column: 182 grey
    state.TimecodeTextColor[3] = 15;
    state.TimecodeBackColor[3] = 8;
    recomputeAllColours(state);
    EXPECT_EQ(state.WindowRgb.formatText[3], (Rgb{255, 255, 255}));
    EXPECT_EQ(state.WindowRgb.formatBack[3], (Rgb{182, 182, 182}));
    EXPECT_EQ(state.WindowRgb.timecodeText[3], (Rgb{245, 245, 245}));
    EXPECT_EQ(state.WindowRgb.timecodeBack[3], (Rgb{186, 183, 186}));
}

TEST(WindowColours, IndexAbove15OrNoValidInputKeepsThePreviousTriple) {
    MultiviewerState state;
    state.WindowSource.fill(1);
    state.WindowSource[5] = 0;   // no input yet
    state.WindowSource[6] = 17;  // not an input
    state.UmdBackColor[0] = 31;
    state.FormatBackColor[1] = 20;
    state.WindowRgb.umdBack.fill({9, 9, 9});
    state.WindowRgb.umdText.fill({7, 7, 7});
    state.WindowRgb.formatBack[1] = {8, 8, 8};
    recomputeAllColours(state);
    EXPECT_EQ(state.WindowRgb.umdBack[0], (Rgb{9, 9, 9}));
    EXPECT_EQ(state.WindowRgb.formatBack[1], (Rgb{8, 8, 8}));
    EXPECT_EQ(state.WindowRgb.formatBack[2], (Rgb{0, 0, 0}));
    EXPECT_EQ(state.WindowRgb.umdText[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(state.WindowRgb.umdText[5], (Rgb{7, 7, 7}));
    EXPECT_EQ(state.WindowRgb.umdText[6], (Rgb{7, 7, 7}));
}

TEST(WindowColours, OneArrayAtATime) {
    MultiviewerState state;
    state.FormatTextColor.fill(2);
    state.TimecodeTextColor.fill(2);
    recomputeColours(state, ColourArray::FormatText);
    EXPECT_EQ(state.WindowRgb.formatText[0], (Rgb{255, 0, 0}));
    EXPECT_EQ(state.WindowRgb.timecodeText[0], (Rgb{0, 0, 0}));
}

}  // namespace multiviewer_derived_data_test
}  // namespace kvx
