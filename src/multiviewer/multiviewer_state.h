#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/discovery.h"

namespace kvx {

inline constexpr int kInputCount = 16;   // SDI inputs 1 to 16
inline constexpr int kWindowCount = 16;  // windows (outputs, in switcher mode) 1 to 16

// The pages of the multiviewer panel, as `CurrentPage` holds them (0 until the first page is shown).
inline constexpr uint8_t kPageNone = 0;
inline constexpr uint8_t kPageLayout = 1;
inline constexpr uint8_t kPageUmd = 2;
inline constexpr uint8_t kPageColour = 3;
inline constexpr uint8_t kPageSettings = 4;
inline constexpr uint8_t kPageMatrix = 5;
inline constexpr uint8_t kPageAudio = 6;

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One entry of the palette that every colour field indexes.
struct ColorEntry {
    const char* name;  // as the colour lists show it
    Rgb text;          // for the three text colour fields
    Rgb back;          // for the three background colour fields
};
inline constexpr int kPaletteSize = 16;
inline constexpr std::array<ColorEntry, kPaletteSize> ColorIndex{{
    {"Black", {0, 0, 0}, {0, 0, 0}},
    {"Blue", {0, 0, 255}, {0, 0, 255}},
    {"Red", {255, 0, 0}, {255, 0, 0}},
    {"Magenta", {255, 0, 255}, {255, 0, 255}},
    {"Green", {0, 255, 0}, {0, 255, 0}},
    {"Cyan", {0, 255, 255}, {0, 255, 255}},
    {"Yellow", {255, 255, 0}, {255, 255, 0}},
    {"White", {255, 255, 255}, {255, 255, 255}},
    {"Gray", {186, 183, 186}, {186, 183, 186}},
    {"VioletRed", {219, 112, 147}, {219, 112, 147}},
    {"LightBlue", {173, 216, 230}, {173, 216, 230}},
    {"LightGreen", {144, 238, 144}, {144, 238, 144}},
    {"LightCyan", {224, 255, 255}, {224, 255, 255}},
    {"LightYellow", {255, 255, 224}, {255, 255, 224}},
    {"Trans", {255, 255, 255}, {152, 152, 152}},
    {"HalfTrans", {245, 245, 245}, {182, 182, 182}},
}};

// The output formats in the order of the settings page's list.
struct OutputFormatEntry {
    int position;
    uint8_t code;
    const char* text;
};
inline constexpr std::array<OutputFormatEntry, 9> OutputFormatCode{{
    {0, 7, "1080p60"},
    {1, 11, "1080p50"},
    {2, 9, "1080i60"},
    {3, 1, "1080i50"},
    {4, 3, "1080p30"},
    {5, 13, "1080p25"},
    {6, 5, "1080p24"},
    {7, 14, "720p60"},
    {8, 6, "720p50"},
}};
// List position of an output format code; none for a code outside the table.
std::optional<int> outputFormatPosition(uint8_t code);
// Code at a list position; none outside 0 to 8.
std::optional<uint8_t> outputFormatCodeAt(int position);

// The format codes with which the device reports a window's signal.
struct SignalFormatEntry {
    uint8_t code;
    const char* text;
};
inline constexpr std::array<SignalFormatEntry, 18> SignalFormatCode{{
    {5, "720p24"},
    {7, "1080p24"},
    {9, "720p25"},
    {11, "1080p25"},
    {13, "720p30"},
    {15, "1080p30"},
    {16, "625i50"},
    {19, "1080i50"},
    {20, "525i60"},
    {23, "1080i60"},
    {25, "720p50"},
    {27, "1080p50"},
    {29, "720p60"},
    {30, "1035i60"},
    {31, "1080p60"},
    {39, "1080psf24"},
    {51, "1080psf25"},
    {55, "1080psf30"},
}};
// Display text of a signal format code; nullptr for a code outside the table.
const char* signalFormatText(uint8_t code);

// The tables' texts are ASCII; the model keeps its texts as UTF-16.
std::u16string asciiText(const char* ascii);

inline constexpr const char16_t* kNoSignalText = u"No Signal";

struct WindowSignal {
    uint8_t present = 0;  // other than 0: the window has a signal
    uint8_t format = 0;   // a SignalFormatCode
    friend bool operator==(const WindowSignal&, const WindowSignal&) = default;
};

// One window rectangle of the preview's 720 x 480 canvas, with the number the window shows.
struct GeometryRecord {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t number = 0;
    friend bool operator==(const GeometryRecord&, const GeometryRecord&) = default;
};
using GeometryTable = std::array<GeometryRecord, kWindowCount>;  // element k is record k + 1

// The six derived colour arrays, one RGB triple per window.
enum class ColourArray { UmdText, UmdBack, FormatText, FormatBack, TimecodeText, TimecodeBack };
inline constexpr std::array<ColourArray, 6> kAllColourArrays{
    ColourArray::UmdText,    ColourArray::UmdBack,      ColourArray::FormatText,
    ColourArray::FormatBack, ColourArray::TimecodeText, ColourArray::TimecodeBack};
struct WindowRgbArrays {
    std::array<Rgb, kWindowCount> umdText{};
    std::array<Rgb, kWindowCount> umdBack{};
    std::array<Rgb, kWindowCount> formatText{};
    std::array<Rgb, kWindowCount> formatBack{};
    std::array<Rgb, kWindowCount> timecodeText{};
    std::array<Rgb, kWindowCount> timecodeBack{};

    std::array<Rgb, kWindowCount>& of(ColourArray which);
    const std::array<Rgb, kWindowCount>& of(ColourArray which) const;
};

template <class T>
using PerInput = std::array<T, kInputCount>;  // element k is input k + 1
template <class T>
using PerWindow = std::array<T, kWindowCount>;  // element k is window (or output) k + 1

// The model of the connected multiviewer. One instance lives in the main window and outlives the panel.
// Only the UI thread writes it: the read-back and the receiver hand their results to that thread, so the
// model needs no lock and a paint never sees a text half replaced.
struct MultiviewerState {
    MultiviewerState();  // the start-up values of the main window

    // Connection and panel.
    ::kvx::StatusBlock StatusBlock{};  // bytes 18 to 806 of the last accepted status reply
    uint8_t CurrentPage = kPageNone;
    uint8_t SwitcherMode = 0;
    uint8_t SwitcherModeCopy = 0;  // byte 21 bit 7 as decoded a second time; read by nothing
    uint8_t PanelLocked = 0;
    uint8_t StatusLoaded = 0;
    std::u16string DeviceName;
    uint8_t DeviceDhcpOn = 0;
    uint8_t DhcpToggle = 0;

    // Layout and routing.
    uint8_t LayoutMode = 0;
    PerWindow<uint8_t> WindowSource{};
    PerWindow<uint8_t> MatrixRoute{};

    // Output.
    uint8_t OutputFormat = 0;

    // UMD labels, per input.
    PerInput<std::u16string> UmdName;
    PerInput<uint8_t> UmdOn{};
    uint8_t AllUmdOn = 0;
    PerInput<uint8_t> UmdTextColor{};
    PerInput<uint8_t> UmdBackColor{};

    // Format status, time code and border, per window.
    uint8_t FormatStatusOn = 0;
    PerWindow<uint8_t> FormatTextColor{};
    PerWindow<uint8_t> FormatBackColor{};
    uint8_t TimecodeOn = 0;
    PerWindow<uint8_t> TimecodeTextColor{};
    PerWindow<uint8_t> TimecodeBackColor{};
    uint8_t BorderOn = 0;

    // Audio.
    uint8_t AudioSourceWindow = 0;
    uint8_t AllAudioMeterOn = 0;
    PerWindow<uint8_t> AudioMeterOn{};
    PerWindow<uint8_t> AudioChannelPair{};
    uint8_t AudioAlarmOn = 0;
    std::u16string AudioText;

    // Window signals.
    PerWindow<::kvx::WindowSignal> WindowSignal{};
    PerWindow<std::u16string> WindowFormatText;
    // Window record byte 4 bit 0 and byte 6 bit 0: decoded and kept, read by nothing.
    PerWindow<uint8_t> WindowRecordByte4Bit0{};
    PerWindow<uint8_t> WindowRecordByte6Bit0{};

    // Page selections.
    uint8_t ColorSourceSelect = 0;  // 0 = all inputs, n = input n
    uint8_t ColorWindowSelect = 0;  // 0 = all windows, n = window n
    uint8_t AudioWindowSelect = 0;  // window number minus 1
    uint8_t UmdWindowSelect = 0;

    // Derived display data.
    WindowRgbArrays WindowRgb;
    GeometryTable WindowGeometry{};
    GeometryTable SwitcherGeometry{};
};

}  // namespace kvx
