#include "resources/skin_table.h"

#include <algorithm>
#include <array>

namespace kvx {

namespace {

using namespace skin_rows;
using Art = SkinArt;
using State = SkinState;
constexpr State N = State::Normal;
constexpr State S = State::Selected;
constexpr State P = State::Pressed;

// Main window 1280 x 720: the device panel goes into the panel area.
constexpr SkinRow kMainRows[] = {
    {kPanelArea.data(), {}, {20, 160, 1240, 540}, true},
};

// Connection settings dialog 440 x 486: a label column and a control column; the close button sits in
// the title strip's right corner.
constexpr SkinRow kSettingsRows[] = {
    {kConnectionMode.data(), {24, 70, 170, 28}, {200, 70, 216, 28}, false},
    {kSerialPort.data(), {24, 120, 170, 28}, {200, 120, 216, 28}, false},
    {kBaudRate.data(), {24, 170, 170, 28}, {200, 170, 216, 28}, false},
    {kConnectButton.data(), {}, {240, 222, 135, 35}, false},
    {kNetwork.data(), {24, 305, 170, 28}, {200, 305, 216, 28}, false},
    {kIpAddress.data(), {24, 355, 170, 28}, {200, 355, 216, 28}, false},
    {kApplyButton.data(), {}, {240, 410, 135, 35}, false},
};

// 8x8 panel 1240 x 540: three rows of eight 100 x 60 number buttons (pitch 156), the backlight settings
// bottom left and the four 130 x 45 mode buttons (pitch 142) bottom right.
constexpr SkinRow kMatrix8Rows[] = {
    {kInput.data(), {24, 50, 300, 20}, {24, 80, 1192, 60}, true},
    {kOutput.data(), {24, 154, 300, 20}, {24, 184, 1192, 60}, true},
    {kOutputStatus.data(), {24, 258, 300, 20}, {24, 288, 1192, 60}, true},
    {kBacklightTime.data(), {24, 392, 200, 30}, {230, 392, 220, 30}, false},
    {kBacklightBrightness.data(), {24, 442, 200, 30}, {230, 442, 360, 30}, false},
    {kModeButtons.data(), {}, {660, 410, 556, 45}, false},
};

// 16x16 panel 1240 x 540: three rows of sixteen 62 x 50 number buttons (pitch 75); the labelled output
// format and backlight controls bottom left, the mode buttons bottom right.
constexpr SkinRow kMatrix16Rows[] = {
    {kInput.data(), {26, 50, 300, 20}, {26, 80, 1187, 50}, true},
    {kOutput.data(), {26, 144, 300, 20}, {26, 174, 1187, 50}, true},
    {kOutputStatus.data(), {26, 238, 300, 20}, {26, 268, 1187, 50}, true},
    {kOutputFormat.data(), {}, {26, 360, 560, 30}, false},
    {kBacklightTime.data(), {}, {26, 405, 560, 30}, false},
    {kBacklightBrightness.data(), {}, {26, 450, 560, 30}, false},
    {kModeButtons.data(), {}, {660, 405, 556, 45}, false},
};

// Multiviewer panel 1240 x 540: its title above the preview, which starts at (5, 40); the page buttons
// stand top right, the pages below them.
constexpr SkinRow kMultiviewerRows[] = {
    {"16 CHANNEL MULTIVIEWER", {12, 10, 600, 24}, {5, 40, 720, 480}, false},
};

// A label per list of a multiviewer page's column of lists at (365, 30 + 23 (n - 1)), 70 x 20.
constexpr SkinRow listLabel(const char* text, int n) {
    return {text, {300, 30 + 23 * (n - 1), 60, 20}, {365, 30 + 23 * (n - 1), 70, 20}, false};
}

// Layout mode page 490 x 420: the PICTURE list top left, the WIN lists down the right.
constexpr SkinRow kLayoutPageRows[] = {
    {"PICTURE", {20, 25, 75, 20}, {100, 25, 120, 20}, false},
    listLabel("WIN 1", 1),
    listLabel("WIN 2", 2),
    listLabel("WIN 3", 3),
    listLabel("WIN 4", 4),
    listLabel("WIN 5", 5),
    listLabel("WIN 6", 6),
    listLabel("WIN 7", 7),
    listLabel("WIN 8", 8),
    listLabel("WIN 9", 9),
    listLabel("WIN 10", 10),
    listLabel("WIN 11", 11),
    listLabel("WIN 12", 12),
    listLabel("WIN 13", 13),
    listLabel("WIN 14", 14),
    listLabel("WIN 15", 15),
    listLabel("WIN 16", 16),
};

// Matrix page 490 x 420: ONE TO ONE on the left, the OUT lists down the right.
constexpr SkinRow kMatrixPageRows[] = {
    listLabel("OUT 1", 1),   listLabel("OUT 2", 2),   listLabel("OUT 3", 3),   listLabel("OUT 4", 4),
    listLabel("OUT 5", 5),   listLabel("OUT 6", 6),   listLabel("OUT 7", 7),   listLabel("OUT 8", 8),
    listLabel("OUT 9", 9),   listLabel("OUT 10", 10), listLabel("OUT 11", 11), listLabel("OUT 12", 12),
    listLabel("OUT 13", 13), listLabel("OUT 14", 14), listLabel("OUT 15", 15), listLabel("OUT 16", 16),
};

// UMD page 490 x 420: ALL UMD ON at the top, below it two plates of eight rows, each an input's SDI button
// and its label edit; inputs 1 to 8 on the left, 9 to 16 on the right.
constexpr SkinRow kUmdPageRows[] = {
    {"INPUTS 1 - 8", {20, 56, 205, 20}, {20, 84, 205, 315}, true},
    {"INPUTS 9 - 16", {265, 56, 205, 20}, {265, 84, 205, 315}, true},
};

// Settings page 490 x 420: the output format list at the top, the switches and preset buttons below it in
// two columns on one plate.
constexpr SkinRow kSettingsPageRows[] = {
    {"OUTPUT FORMAT", {35, 30, 160, 26}, {200, 30, 150, 26}, false},
    {"", {}, {35, 100, 420, 220}, true},
};

// Colour page 490 x 420: one column of lists beside their labels; the label colours of the inputs above,
// the colours of the windows and the border below.
constexpr SkinRow colourRow(std::string_view text, int y) {
    return {text.data(), {24, y, 262, 22}, {296, y, 170, 22}, false};
}
constexpr SkinRow kColourPageRows[] = {
    colourRow(kSource, 24),
    colourRow(kUmdTextColor, 62),
    colourRow(kUmdBackgroundColor, 100),
    colourRow(kWindows, 156),
    colourRow(kFormatStatusTextColor, 194),
    colourRow(kFormatStatusBackgroundColor, 232),
    colourRow(kBorderColor, 270),
    colourRow(kTimeCodeTextColor, 308),
    colourRow(kTimeCodeBackgroundColor, 346),
};

// Audio page 490 x 420: four labelled rows, the ALL AUDIO METER ON button centred below them. The Audio
// Meter row holds the ON and OFF buttons side by side.
constexpr SkinRow audioRow(std::string_view text, int y) {
    return {text.data(), {40, y, 190, 22}, {240, y, 180, 22}, false};
}
constexpr SkinRow kAudioPageRows[] = {
    audioRow(kAudioSourceFrom, 40),
    audioRow(kAudioMeter, 88),
    audioRow(kWindows, 136),
    audioRow(kChannel, 184),
    {kAllAudioMeterRow.data(), {}, {145, 260, 200, 45}, false},
};

// Every bitmap the program uses, one line each, in the order of their numbers. Button faces leave their
// last 3 columns transparent: a button with a caption draws its picture 3 pixels in from the left.
constexpr SkinBitmap kTable[] = {
    {128, 64, 64, Art::Icon, "KORVELUX", N},
    {129, 1280, 720, Art::MainWindow, "KORVELUX Ethernet Control", N, kMainRows},
    {132, 70, 37, Art::Lock, "UNLOCKED", N},
    {133, 135, 35, Art::Button, "SEARCH", N},
    {134, 134, 38, Art::Button, "SETTINGS", N},
    {135, 70, 37, Art::Lock, "LOCKED", S},
    {137, 1240, 540, Art::Page, "16 CHANNEL MULTIVIEWER", N, kMultiviewerRows},
    {139, 440, 486, Art::Window, "CONNECTION SETTINGS", N, kSettingsRows},
    {140, 135, 35, Art::Button, "CONNECT", N},
    {141, 135, 35, Art::Button, "DISCONNECT", S},
    // 8x8 numbers: 175 + 2(n - 1) normal, 176 + 2(n - 1) selected or lit.
    {175, 100, 60, Art::Button, "1", N},
    {176, 100, 60, Art::Button, "1", S},
    {177, 100, 60, Art::Button, "2", N},
    {178, 100, 60, Art::Button, "2", S},
    {179, 100, 60, Art::Button, "3", N},
    {180, 100, 60, Art::Button, "3", S},
    {181, 100, 60, Art::Button, "4", N},
    {182, 100, 60, Art::Button, "4", S},
    {183, 100, 60, Art::Button, "5", N},
    {184, 100, 60, Art::Button, "5", S},
    {185, 100, 60, Art::Button, "6", N},
    {186, 100, 60, Art::Button, "6", S},
    {187, 100, 60, Art::Button, "7", N},
    {188, 100, 60, Art::Button, "7", S},
    {189, 100, 60, Art::Button, "8", N},
    {190, 100, 60, Art::Button, "8", S},
    {191, 1240, 540, Art::Window, "8 x 8 HD MATRIX SWITCHER", N, kMatrix8Rows},
    {194, 130, 45, Art::Button, "ONE TO ALL", N},
    {195, 130, 45, Art::Button, "ONE TO ALL", S},
    {196, 130, 45, Art::Button, "ONE TO ONE", N},
    {197, 130, 45, Art::Button, "ONE TO ONE", S},
    {198, 130, 45, Art::Button, "APPLY", N},
    {199, 130, 45, Art::Button, "APPLY", S},
    // The UMD page's master switch and the settings page's switches (off, on) and preset buttons.
    {201, 160, 34, Art::Button, "ALL UMD ON", N},
    {202, 160, 34, Art::Button, "ALL UMD ON", S},
    {203, 200, 40, Art::Button, "AUDIO ALARM ENABLE", N},
    {204, 200, 40, Art::Button, "AUDIO ALARM ENABLE", S},
    {205, 200, 40, Art::Button, "FORMAT STATUS", N},
    {206, 200, 40, Art::Button, "FORMAT STATUS", S},
    {207, 200, 40, Art::Button, "LOAD CUSTOM 1", N},
    {208, 200, 40, Art::Button, "LOAD CUSTOM 2", N},
    {209, 200, 40, Art::Button, "LOAD DEFAULT", N},
    // Layout pictures, normal and highlighted, captioned with their layout code (numbers as the layout
    // catalogue gives them): one window 70 x 45, several windows 114 x 76.
    {215, 70, 45, Art::LayoutPicture, "1", N},
    {216, 70, 45, Art::LayoutPicture, "1", S},
    {217, 70, 45, Art::LayoutPicture, "2", N},
    {218, 70, 45, Art::LayoutPicture, "2", S},
    {219, 70, 45, Art::LayoutPicture, "3", N},
    {220, 70, 45, Art::LayoutPicture, "3", S},
    {221, 70, 45, Art::LayoutPicture, "4", N},
    {222, 70, 45, Art::LayoutPicture, "4", S},
    {223, 70, 45, Art::LayoutPicture, "5", N},
    {224, 70, 45, Art::LayoutPicture, "5", S},
    {225, 70, 45, Art::LayoutPicture, "6", N},
    {226, 70, 45, Art::LayoutPicture, "6", S},
    {227, 70, 45, Art::LayoutPicture, "7", N},
    {228, 70, 45, Art::LayoutPicture, "7", S},
    {229, 70, 45, Art::LayoutPicture, "8", N},
    {230, 70, 45, Art::LayoutPicture, "8", S},
    {231, 70, 45, Art::LayoutPicture, "9", N},
    {232, 70, 45, Art::LayoutPicture, "9", S},
    {233, 70, 45, Art::LayoutPicture, "10", N},
    {234, 70, 45, Art::LayoutPicture, "10", S},
    {235, 70, 45, Art::LayoutPicture, "11", N},
    {236, 70, 45, Art::LayoutPicture, "11", S},
    {237, 70, 45, Art::LayoutPicture, "12", N},
    {238, 70, 45, Art::LayoutPicture, "12", S},
    {239, 70, 45, Art::LayoutPicture, "13", N},
    {240, 70, 45, Art::LayoutPicture, "13", S},
    {241, 70, 45, Art::LayoutPicture, "14", N},
    {242, 70, 45, Art::LayoutPicture, "14", S},
    {243, 70, 45, Art::LayoutPicture, "15", N},
    {244, 70, 45, Art::LayoutPicture, "15", S},
    {245, 70, 45, Art::LayoutPicture, "16", N},
    {246, 70, 45, Art::LayoutPicture, "16", S},
    {247, 114, 76, Art::LayoutPicture, "40", N},
    {248, 114, 76, Art::LayoutPicture, "40", S},
    {249, 114, 76, Art::LayoutPicture, "41", N},
    {250, 114, 76, Art::LayoutPicture, "41", S},
    {251, 114, 76, Art::LayoutPicture, "42", N},
    {252, 114, 76, Art::LayoutPicture, "42", S},
    {253, 114, 76, Art::LayoutPicture, "60", N},
    {254, 114, 76, Art::LayoutPicture, "60", S},
    {255, 114, 76, Art::LayoutPicture, "80", N},
    {256, 114, 76, Art::LayoutPicture, "80", S},
    {257, 114, 76, Art::LayoutPicture, "81", N},
    {258, 114, 76, Art::LayoutPicture, "81", S},
    {259, 114, 76, Art::LayoutPicture, "82", N},
    {260, 114, 76, Art::LayoutPicture, "82", S},
    {261, 114, 76, Art::LayoutPicture, "91", N},
    {262, 114, 76, Art::LayoutPicture, "91", S},
    {263, 114, 76, Art::LayoutPicture, "90", N},
    {264, 114, 76, Art::LayoutPicture, "90", S},
    {265, 114, 76, Art::LayoutPicture, "92", N},
    {266, 114, 76, Art::LayoutPicture, "92", S},
    {267, 114, 76, Art::LayoutPicture, "93", N},
    {268, 114, 76, Art::LayoutPicture, "93", S},
    {269, 114, 76, Art::LayoutPicture, "100", N},
    {270, 114, 76, Art::LayoutPicture, "100", S},
    {271, 114, 76, Art::LayoutPicture, "101", N},
    {272, 114, 76, Art::LayoutPicture, "101", S},
    {273, 114, 76, Art::LayoutPicture, "111", N},
    {274, 114, 76, Art::LayoutPicture, "111", S},
    {275, 114, 76, Art::LayoutPicture, "121", N},
    {276, 114, 76, Art::LayoutPicture, "121", S},
    {277, 114, 76, Art::LayoutPicture, "160", N},
    {278, 114, 76, Art::LayoutPicture, "160", S},
    // The settings page's preset and time code buttons.
    {280, 200, 40, Art::Button, "SAVE TO CUSTOM 1", N},
    {281, 200, 40, Art::Button, "SAVE TO CUSTOM 2", N},
    {282, 200, 40, Art::Button, "TIMECODE ENABLE", N},
    {283, 200, 40, Art::Button, "TIMECODE ENABLE", S},
    // The multiviewer's page buttons, normal and selected, and the pages' backgrounds.
    {284, 65, 80, Art::Button, "AUDIO", N},
    {285, 65, 80, Art::Button, "AUDIO", S},
    {286, 65, 80, Art::Button, "COLOR", N},
    {287, 65, 80, Art::Button, "COLOR", S},
    {288, 75, 80, Art::Button, "SETTINGS", N},
    {289, 75, 80, Art::Button, "SETTINGS", S},
    {290, 65, 80, Art::Button, "LAYOUT", N},
    {291, 65, 80, Art::Button, "LAYOUT", S},
    {292, 70, 80, Art::Button, "SWITCHER", N},
    {293, 70, 80, Art::Button, "SWITCHER", S},
    {294, 95, 80, Art::Button, "UMD", N},
    {295, 95, 80, Art::Button, "UMD", S},
    {296, 490, 420, Art::Page, "AUDIO", N, kAudioPageRows},
    {297, 490, 420, Art::Page, "COLOR", N, kColourPageRows},
    {298, 490, 420, Art::Page, "SETTINGS", N, kSettingsPageRows},
    {299, 490, 420, Art::Page, "LAYOUT MODE", N, kLayoutPageRows},
    {300, 490, 420, Art::Page, "SWITCHER MODE", N, kMatrixPageRows},
    {301, 490, 420, Art::Page, "UMD", N, kUmdPageRows},
    // Layout pictures of layouts 61, 83, 102 and 161.
    {361, 114, 76, Art::LayoutPicture, "61", N},
    {362, 114, 76, Art::LayoutPicture, "61", S},
    {369, 114, 76, Art::LayoutPicture, "83", N},
    {370, 114, 76, Art::LayoutPicture, "83", S},
    {383, 114, 76, Art::LayoutPicture, "102", N},
    {384, 114, 76, Art::LayoutPicture, "102", S},
    {391, 114, 76, Art::LayoutPicture, "161", N},
    {392, 114, 76, Art::LayoutPicture, "161", S},
    // The UMD page's input switches: 396 + 2n off, 397 + 2n on for input n.
    {398, 70, 28, Art::Button, "SDI 1", N},
    {399, 70, 28, Art::Button, "SDI 1", S},
    {400, 70, 28, Art::Button, "SDI 2", N},
    {401, 70, 28, Art::Button, "SDI 2", S},
    {402, 70, 28, Art::Button, "SDI 3", N},
    {403, 70, 28, Art::Button, "SDI 3", S},
    {404, 70, 28, Art::Button, "SDI 4", N},
    {405, 70, 28, Art::Button, "SDI 4", S},
    {406, 70, 28, Art::Button, "SDI 5", N},
    {407, 70, 28, Art::Button, "SDI 5", S},
    {408, 70, 28, Art::Button, "SDI 6", N},
    {409, 70, 28, Art::Button, "SDI 6", S},
    {410, 70, 28, Art::Button, "SDI 7", N},
    {411, 70, 28, Art::Button, "SDI 7", S},
    {412, 70, 28, Art::Button, "SDI 8", N},
    {413, 70, 28, Art::Button, "SDI 8", S},
    {414, 70, 28, Art::Button, "SDI 9", N},
    {415, 70, 28, Art::Button, "SDI 9", S},
    {416, 70, 28, Art::Button, "SDI 10", N},
    {417, 70, 28, Art::Button, "SDI 10", S},
    {418, 70, 28, Art::Button, "SDI 11", N},
    {419, 70, 28, Art::Button, "SDI 11", S},
    {420, 70, 28, Art::Button, "SDI 12", N},
    {421, 70, 28, Art::Button, "SDI 12", S},
    {422, 70, 28, Art::Button, "SDI 13", N},
    {423, 70, 28, Art::Button, "SDI 13", S},
    {424, 70, 28, Art::Button, "SDI 14", N},
    {425, 70, 28, Art::Button, "SDI 14", S},
    {426, 70, 28, Art::Button, "SDI 15", N},
    {427, 70, 28, Art::Button, "SDI 15", S},
    {428, 70, 28, Art::Button, "SDI 16", N},
    {429, 70, 28, Art::Button, "SDI 16", S},
    {450, 130, 45, Art::Button, "REFRESH", P},
    {451, 130, 45, Art::Button, "REFRESH", N},
    {452, 200, 45, Art::Button, "ALL AUDIO METER ON", N},
    {453, 200, 45, Art::Button, "ALL AUDIO METER ON", S},
    {454, 135, 35, Art::Button, "APPLY", N},
    {455, 191, 117, Art::Button, "ONE TO ONE", N},
    {457, 1240, 540, Art::Window, "16 x 16 HD MATRIX SWITCHER", N, kMatrix16Rows},
    // 16x16 numbers: 457 + n normal, 474 + n selected or lit.
    {458, 62, 50, Art::Button, "1", N},
    {459, 62, 50, Art::Button, "2", N},
    {460, 62, 50, Art::Button, "3", N},
    {461, 62, 50, Art::Button, "4", N},
    {462, 62, 50, Art::Button, "5", N},
    {463, 62, 50, Art::Button, "6", N},
    {464, 62, 50, Art::Button, "7", N},
    {465, 62, 50, Art::Button, "8", N},
    {466, 62, 50, Art::Button, "9", N},
    {467, 62, 50, Art::Button, "10", N},
    {468, 62, 50, Art::Button, "11", N},
    {469, 62, 50, Art::Button, "12", N},
    {470, 62, 50, Art::Button, "13", N},
    {471, 62, 50, Art::Button, "14", N},
    {472, 62, 50, Art::Button, "15", N},
    {473, 62, 50, Art::Button, "16", N},
    {475, 62, 50, Art::Button, "1", S},
    {476, 62, 50, Art::Button, "2", S},
    {477, 62, 50, Art::Button, "3", S},
    {478, 62, 50, Art::Button, "4", S},
    {479, 62, 50, Art::Button, "5", S},
    {480, 62, 50, Art::Button, "6", S},
    {481, 62, 50, Art::Button, "7", S},
    {482, 62, 50, Art::Button, "8", S},
    {483, 62, 50, Art::Button, "9", S},
    {484, 62, 50, Art::Button, "10", S},
    {485, 62, 50, Art::Button, "11", S},
    {486, 62, 50, Art::Button, "12", S},
    {487, 62, 50, Art::Button, "13", S},
    {488, 62, 50, Art::Button, "14", S},
    {489, 62, 50, Art::Button, "15", S},
    {490, 62, 50, Art::Button, "16", S},
};

constexpr bool sortedByNumber() {
    for (size_t i = 1; i < std::size(kTable); ++i) {
        if (kTable[i - 1].number >= kTable[i].number) return false;
    }
    return true;
}
static_assert(sortedByNumber(), "bitmap numbers must be unique and in ascending order");

}  // namespace

const SkinBitmap* skinBitmap(int number) {
    const auto it = std::lower_bound(std::begin(kTable), std::end(kTable), number,
                                     [](const SkinBitmap& entry, int n) { return entry.number < n; });
    return (it != std::end(kTable) && it->number == number) ? &*it : nullptr;
}

std::span<const SkinBitmap> skinBitmaps() {
    return kTable;
}

QSize skinBitmapSize(int number) {
    const SkinBitmap* entry = skinBitmap(number);
    return entry ? QSize(entry->width, entry->height) : QSize();
}

const SkinRow* skinRow(int number, std::string_view label) {
    const SkinBitmap* entry = skinBitmap(number);
    if (!entry) return nullptr;
    const auto it = std::find_if(entry->rows.begin(), entry->rows.end(),
                                 [label](const SkinRow& row) { return label == row.label; });
    return it != entry->rows.end() ? &*it : nullptr;
}

QRect skinRowControls(int number, std::string_view label) {
    const SkinRow* row = skinRow(number, label);
    return row ? row->controls : QRect();
}

}  // namespace kvx
