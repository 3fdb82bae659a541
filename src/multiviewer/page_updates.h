#pragma once

namespace kvx {

// Control ids of the page controls that device reports update while their page is shown.
namespace control {
constexpr int layoutSourceList(int window) {
    return 1027 + window;
}  // layout page, windows 1 to 16
constexpr int matrixOutputList(int output) {
    return output <= 8 ? 1073 + output : 1074 + output;
}  // 1 to 16
constexpr int umdInputButton(int input) {
    return 1126 + input;
}  // UMD page, inputs 1 to 16
inline constexpr int kAllUmdButton = 1115;
inline constexpr int kColourSourceList = 1032;
inline constexpr int kUmdTextColourList = 1033;
inline constexpr int kUmdBackColourList = 1034;
inline constexpr int kColourWindowList = 1035;
inline constexpr int kFormatTextColourList = 1036;
inline constexpr int kFormatBackColourList = 1037;
inline constexpr int kBorderList = 1074;
inline constexpr int kTimecodeTextColourList = 1075;
inline constexpr int kTimecodeBackColourList = 1076;
inline constexpr int kOutputFormatList = 1051;
inline constexpr int kFormatStatusButton = 1116;
inline constexpr int kAudioAlarmButton = 1117;
inline constexpr int kTimecodeButton = 1118;
inline constexpr int kAudioSourceList = 1074;
inline constexpr int kAudioWindowList = 1075;
inline constexpr int kAudioChannelList = 1077;
inline constexpr int kAllAudioMeterButton = 1146;
}  // namespace control

// The control updates that report handling asks of the page shown. It calls them only for the page that
// `CurrentPage` names, on the UI thread, so the page that implements them exists while they run.
class PageUpdates {
public:
    virtual ~PageUpdates() = default;
    // The page's refresh operation (page 1: Refresh layout controls; 2: Refresh labels; 3, 4, 6: Refresh).
    virtual void pageRefresh(int page) = 0;
    // A drop-down list of the page selects an entry (0 is the first).
    virtual void listSelected(int controlId, int entry) = 0;
    // A bitmap button of the page shows a bitmap resource.
    virtual void buttonBitmap(int controlId, int bitmap) = 0;
    // Audio page: the ON and OFF buttons show AudioMeterOn of the window that AudioWindowSelect names.
    virtual void showMeterSwitch() = 0;
};

// For a panel that shows no page: every update goes nowhere, the model changes all the same.
class NoPageUpdates : public PageUpdates {
public:
    void pageRefresh(int) override {}
    void listSelected(int, int) override {}
    void buttonBitmap(int, int) override {}
    void showMeterSwitch() override {}
};

}  // namespace kvx
