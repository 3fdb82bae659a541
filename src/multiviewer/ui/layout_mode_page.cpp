#include "multiviewer/ui/layout_mode_page.h"

#include <QComboBox>
#include <QPushButton>
#include <algorithm>

#include "controls/shade_button_st.h"
#include "multiviewer/ui/layout_picture.h"

namespace kvx {

namespace {

constexpr int kSingleWindowGroup = 0;
// The input list of window n stands at (365, 30 + 23 (n - 1)), 70 x 20.
QRect inputListPlace(int window) {
    return QRect(365, 30 + 23 * (window - 1), 70, 20);
}

// Where a layout button stands: the sixteen single-window buttons in two columns of eight (codes 1 and 2
// in the first row), every multi-window group in one column on the left, below the PICTURE list.
QPoint layoutButtonPlace(const LayoutEntry& entry) {
    if (entry.group == kSingleWindowGroup) {
        const int i = entry.code - 1;
        return QPoint(40 + 90 * (i % 2), 56 + 45 * (i / 2));
    }
    int rank = 0;  // place of the layout within its group
    for (const LayoutEntry& other : layoutCatalogue()) {
        if (other.group == entry.group && other.code < entry.code) ++rank;
    }
    return QPoint(60, 60 + 86 * rank);
}

QStringList pictureListItems() {
    QStringList items;
    for (const LayoutGroup& group : kLayoutGroups) items << QString::fromLatin1(group.text);
    return items;
}

}  // namespace

CClass_16_view_mode::CClass_16_view_mode(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {
    installLayoutPictures();
    for (const LayoutEntry& entry : layoutCatalogue()) {
        CShadeButtonST* button = makeBitmapButton(entry.button, layoutButtonPlace(entry), entry.normalImage);
        const uint8_t code = entry.code;
        connect(button, &QPushButton::clicked, this, [this, code] { pressLayout(code); });
        layoutButtons_[code] = button;
    }
    pictureList_ = makeList(kPictureListId, QRect(100, 25, 120, 20), pictureListItems());
    showEntry(pictureList_, 0);
    connect(pictureList_, &QComboBox::activated, this, &CClass_16_view_mode::choosePicture);
    const QStringList inputs = inputListItems();
    for (int n = 1; n <= kWindowCount; ++n) {
        QComboBox* list = makeList(control::layoutSourceList(n), inputListPlace(n), inputs);
        showEntry(list, state().WindowSource[static_cast<size_t>(n - 1)] - 1);
        connect(list, &QComboBox::activated, this, [this, n](int entry) { chooseInput(n, entry); });
        inputLists_[static_cast<size_t>(n - 1)] = list;
    }
    refresh();
    shownSources_ = state().WindowSource;
}

void CClass_16_view_mode::refresh() {
    const uint8_t layout = state().LayoutMode;
    int windows = 1;
    if (layout <= 16) {
        showEntry(pictureList_, kSingleWindowGroup);
        showGroup(kSingleWindowGroup);
        if (layout >= 1) showLayoutImage(layout, true);
    } else {
        windows = layout / 10;
        const auto group = std::find_if(kLayoutGroups.begin() + 1, kLayoutGroups.end(),
                                        [windows](const LayoutGroup& g) { return g.windows == windows; });
        if (group != kLayoutGroups.end()) {
            const int position = static_cast<int>(group - kLayoutGroups.begin());
            showEntry(pictureList_, position);
            showGroup(position);
            // The 11- and 12-window groups have one layout each, whatever the last digit says.
            const LayoutEntry* highlighted = group->windows == 11 || group->windows == 12
                                                 ? findLayout(static_cast<uint8_t>(windows * 10 + 1))
                                                 : findLayout(layout);
            if (highlighted) showLayoutImage(highlighted->code, true);
        } else {
            showGroup(-1);  // no group has this many windows: no button is shown
        }
    }
    enableInputLists(windows);
    highlightedLayout_ = layout;
}

void CClass_16_view_mode::showGroup(int group) {
    for (const LayoutEntry& entry : layoutCatalogue()) {
        CShadeButtonST* button = layoutButtons_.at(entry.code);
        button->setVisible(entry.group == group);
        showBitmap(button, entry.normalImage);
    }
}

void CClass_16_view_mode::enableInputLists(int windows) {
    for (int n = 1; n <= kWindowCount; ++n) {
        inputLists_[static_cast<size_t>(n - 1)]->setEnabled(n <= windows && windows != 1);
    }
}

void CClass_16_view_mode::showLayoutImage(uint8_t code, bool highlighted) {
    const LayoutEntry* entry = findLayout(code);
    if (!entry) return;
    showBitmap(layoutButtons_.at(code), highlighted ? entry->highlightedImage : entry->normalImage);
}

void CClass_16_view_mode::choosePicture(int position) {
    if (position < 0 || position >= static_cast<int>(kLayoutGroups.size())) return;
    // Only what is shown changes: the images keep their highlight, nothing is sent.
    for (const LayoutEntry& entry : layoutCatalogue())
        layoutButtons_.at(entry.code)->setVisible(entry.group == position);
    enableInputLists(kLayoutGroups[static_cast<size_t>(position)].windows);
}

void CClass_16_view_mode::pressLayout(uint8_t code) {
    if (state().PanelLocked || code == highlightedLayout_) return;
    showLayoutImage(state().LayoutMode, false);
    showLayoutImage(code, true);
    highlightedLayout_ = code;
    state().LayoutMode = code;
    commands().setLayout(code);
}

void CClass_16_view_mode::chooseInput(int window, int entry) {
    if (window < 1 || window > kWindowCount || entry < 0 || entry >= kInputCount) return;
    const auto n = static_cast<size_t>(window - 1);
    if (state().PanelLocked) {
        showEntry(inputLists_[n], shownSources_[n] - 1);
        return;
    }
    const auto input = static_cast<uint8_t>(entry + 1);
    if (input == shownSources_[n]) return;
    commands().setSource(input, static_cast<uint8_t>(window));
    state().WindowSource[n] = input;
    shownSources_[n] = input;
}

}  // namespace kvx
