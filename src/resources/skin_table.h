#pragma once

#include <QRect>
#include <QSize>
#include <span>
#include <string_view>

namespace kvx {

// How a numbered bitmap is drawn.
enum class SkinArt {
    MainWindow,  // the main window's background
    Window,      // a dialog or panel background: title strip and rows
    Page,        // a background without title strip: the face and its rows (the multiviewer panel and pages)
    Button,      // a rounded button face with its caption
    Lock,        // the panel lock button: a padlock, open (normal) or shut (selected)
    Icon,        // the program's icon
    // A small drawing of a multiviewer layout (caption: the layout code), normal or highlighted. The
    // multiviewer's UI supplies the drawing (installLayoutPictureArt, skin_renderer.h); blank until then.
    LayoutPicture,
};

// Normal, or selected: selected, lit, highlighted and switched on all look alike. Pressed is the look of a
// button that is busy (the refresh button after a press).
enum class SkinState { Normal, Selected, Pressed };

// One row of a background: its label (drawn only when the label box is not empty) and the place on the
// skin where the window puts the row's controls. A row with a plate has a frame drawn around its controls.
struct SkinRow {
    const char* label;
    QRect labelBox;
    QRect controls;
    bool plate;
};

// One entry of the bitmap table. Sizes are unscaled pixels; a background is stretched over its window.
struct SkinBitmap {
    int number;
    int width;
    int height;
    SkinArt art;
    const char* caption;  // a button's caption, a background's title
    SkinState state;
    std::span<const SkinRow> rows = {};
};

// The entry of a bitmap number, or nullptr when the program has no such bitmap.
const SkinBitmap* skinBitmap(int number);
// Every entry, in the order of their numbers.
std::span<const SkinBitmap> skinBitmaps();
// The table size of a bitmap, empty for an unknown number.
QSize skinBitmapSize(int number);
// The row of a background with this label, or nullptr.
const SkinRow* skinRow(int number, std::string_view label);
// Where a background's row puts its controls; empty when the background has no such row.
QRect skinRowControls(int number, std::string_view label);

// Row labels of the backgrounds, for looking rows up with skinRow.
namespace skin_rows {
inline constexpr std::string_view kPanelArea = "PANEL AREA";
inline constexpr std::string_view kInput = "INPUT";
inline constexpr std::string_view kOutput = "OUTPUT";
inline constexpr std::string_view kOutputStatus = "OUTPUT STATUS";
inline constexpr std::string_view kModeButtons = "MODE BUTTONS";  // apply, one to all, one-to-one, refresh
inline constexpr std::string_view kOutputFormat = "OUTPUT FORMAT";
inline constexpr std::string_view kBacklightTime = "Backlight Time";
inline constexpr std::string_view kBacklightBrightness = "Backlight Brightness";
inline constexpr std::string_view kConnectionMode = "Connection Mode";
inline constexpr std::string_view kSerialPort = "Serial Port";
inline constexpr std::string_view kBaudRate = "Baud Rate";
inline constexpr std::string_view kConnectButton = "CONNECT BUTTON";
inline constexpr std::string_view kNetwork = "Network";
inline constexpr std::string_view kIpAddress = "IP Address";
inline constexpr std::string_view kApplyButton = "APPLY BUTTON";
// Colour page (297).
inline constexpr std::string_view kSource = "Source";
inline constexpr std::string_view kUmdTextColor = "UMD Text Color";
inline constexpr std::string_view kUmdBackgroundColor = "UMD Background Color";
inline constexpr std::string_view kWindows = "Windows";  // also the audio page's
inline constexpr std::string_view kFormatStatusTextColor = "Format Status Text Color";
inline constexpr std::string_view kFormatStatusBackgroundColor = "Format Status Background Color";
inline constexpr std::string_view kBorderColor = "Border Color";
inline constexpr std::string_view kTimeCodeTextColor = "Time Code Text Color";
inline constexpr std::string_view kTimeCodeBackgroundColor = "Time Code Background Color";
// Audio page (296).
inline constexpr std::string_view kAudioSourceFrom = "Audio Source From";
inline constexpr std::string_view kAudioMeter = "Audio Meter";
inline constexpr std::string_view kChannel = "Channel";
inline constexpr std::string_view kAllAudioMeterRow = "ALL AUDIO METER ON BUTTON";
}  // namespace skin_rows

}  // namespace kvx
