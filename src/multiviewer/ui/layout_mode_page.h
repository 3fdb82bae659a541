#pragma once

#include <array>
#include <map>

#include "multiviewer/layout_catalogue.h"
#include "multiviewer/ui/multiviewer_page.h"

class QComboBox;

namespace kvx {

// The layout mode page (page 1): the 36 layouts, shown one group (by number of windows) at a time as chosen
// in the PICTURE list, and the input of each window.
class CClass_16_view_mode : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 299;
    static constexpr int kPictureListId = 1074;

    CClass_16_view_mode(const PageContext& context, QWidget* parent);

    // Refresh layout controls: the PICTURE list, the group shown, the button images and the enabled input
    // lists follow LayoutMode. The input lists keep their selections.
    void refresh() override;

    // The operator's actions, as the controls trigger them.
    void choosePicture(int position);
    void pressLayout(uint8_t code);
    void chooseInput(int window, int entry);  // window 1 to 16, entry 0 to 15

    uint8_t highlightedLayout() const { return highlightedLayout_; }
    const PerWindow<uint8_t>& shownSources() const { return shownSources_; }

private:
    void showGroup(int group);  // hides every layout button, then shows the group's
    void enableInputLists(int windows);
    void showLayoutImage(uint8_t code, bool highlighted);

    QComboBox* pictureList_ = nullptr;
    std::array<QComboBox*, kWindowCount> inputLists_{};
    std::map<uint8_t, CShadeButtonST*> layoutButtons_;  // by layout code
    PerWindow<uint8_t> shownSources_{};                 // the input the page last knew for each window
    uint8_t highlightedLayout_ = 0;
};

}  // namespace kvx
