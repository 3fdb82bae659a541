#include "multiviewer/ui/colour_page.h"

#include <QComboBox>

#include "resources/skin_table.h"

namespace kvx {

namespace {

using S = MultiviewerState;
using Selector = CClass_16_view_color::Selector;

struct SelectorRole {
    int id;
    std::string_view row;
    uint8_t S::*selection;    // 0 = all, n = input or window n
    const char* entryFormat;  // of the entries for 1 to 16, after "All Windows"
};
constexpr std::array<SelectorRole, 2> kSelectors{{
    {control::kColourSourceList, skin_rows::kSource, &S::ColorSourceSelect, "SDI %d"},
    {control::kColourWindowList, skin_rows::kWindows, &S::ColorWindowSelect, "Window_%02d"},
}};

struct ColourRole {
    int id;
    std::string_view row;
    PerWindow<uint8_t> S::*field;
    Selector selector;
    void (MultiviewerCommands::*send)(int index, uint8_t colour);
};
using C = MultiviewerCommands;
constexpr std::array<ColourRole, 6> kColourLists{{
    {control::kUmdTextColourList, skin_rows::kUmdTextColor, &S::UmdTextColor, Selector::Source,
     &C::setUmdTextColor},
    {control::kUmdBackColourList, skin_rows::kUmdBackgroundColor, &S::UmdBackColor, Selector::Source,
     &C::setUmdBackColor},
    {control::kFormatTextColourList, skin_rows::kFormatStatusTextColor, &S::FormatTextColor, Selector::Window,
     &C::setFormatTextColor},
    {control::kFormatBackColourList, skin_rows::kFormatStatusBackgroundColor, &S::FormatBackColor,
     Selector::Window, &C::setFormatBackColor},
    {control::kTimecodeTextColourList, skin_rows::kTimeCodeTextColor, &S::TimecodeTextColor, Selector::Window,
     &C::setTimecodeTextColor},
    {control::kTimecodeBackColourList, skin_rows::kTimeCodeBackgroundColor, &S::TimecodeBackColor,
     Selector::Window, &C::setTimecodeBackColor},
}};

const SelectorRole& roleOf(Selector selector) {
    return kSelectors[static_cast<size_t>(selector)];
}

// The element whose colour a list shows for a selection: "All Windows" (0) shows element 1.
size_t shownElement(int selection) {
    return selection >= 1 && selection <= kWindowCount ? static_cast<size_t>(selection - 1) : 0;
}

QStringList selectorItems(const char* entryFormat) {
    QStringList items{QStringLiteral("All Windows")};
    for (int n = 1; n <= kWindowCount; ++n) items << QString::asprintf(entryFormat, n);
    return items;
}

QStringList colourNames() {
    QStringList names;
    for (const ColorEntry& entry : ColorIndex) names << QString::fromLatin1(entry.name);
    return names;
}

// A switch stored as any value other than 0 is on.
int onOffEntry(int value) {
    return value != 0 ? 1 : 0;
}

}  // namespace

CClass_16_view_color::CClass_16_view_color(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {
    for (const Selector selector : {Selector::Source, Selector::Window}) {
        const SelectorRole& role = roleOf(selector);
        QComboBox* list =
            makeList(role.id, skinRowControls(kBackground, role.row), selectorItems(role.entryFormat));
        connect(list, &QComboBox::activated, this,
                [this, selector](int position) { chooseSelection(selector, position); });
        selectorLists_[static_cast<size_t>(selector)] = list;
    }
    const QStringList colours = colourNames();
    for (size_t r = 0; r < kColourLists.size(); ++r) {
        const ColourRole& role = kColourLists[r];
        QComboBox* list = makeList(role.id, skinRowControls(kBackground, role.row), colours);
        connect(list, &QComboBox::activated, this, [this, r](int colour) { chooseColour(r, colour); });
        colourLists_[r] = list;
    }
    borderList_ = makeList(control::kBorderList, skinRowControls(kBackground, skin_rows::kBorderColor),
                           {QStringLiteral("OFF"), QStringLiteral("ON")});
    connect(borderList_, &QComboBox::activated, this, &CClass_16_view_color::chooseBorder);

    showModelSelection(Selector::Source);
    showModelSelection(Selector::Window);
    showEntry(borderList_, onOffEntry(state().BorderOn));
}

QComboBox* CClass_16_view_color::selectorList(Selector selector) const {
    return selectorLists_[static_cast<size_t>(selector)];
}

void CClass_16_view_color::refresh() {
    // The selector lists keep what they show, whatever the model's selections became.
    for (const Selector selector : {Selector::Source, Selector::Window})
        showColours(selector, selectorList(selector)->currentIndex());
    showEntry(borderList_, onOffEntry(state().BorderOn));
}

void CClass_16_view_color::listSelected(int controlId, int entry) {
    if (controlId == control::kBorderList) entry = onOffEntry(entry);
    MultiviewerPage::listSelected(controlId, entry);
    for (const Selector selector : {Selector::Source, Selector::Window}) {
        if (roleOf(selector).id == controlId) showColours(selector, entry);
    }
}

void CClass_16_view_color::showColours(Selector selector, int selection) {
    const size_t element = shownElement(selection);
    for (size_t r = 0; r < kColourLists.size(); ++r) {
        const ColourRole& role = kColourLists[r];
        if (role.selector == selector) showEntry(colourLists_[r], (state().*role.field)[element]);
    }
}

void CClass_16_view_color::showModelSelection(Selector selector) {
    const int selection = state().*roleOf(selector).selection;
    showEntry(selectorList(selector), selection);
    showColours(selector, selection);
}

void CClass_16_view_color::chooseSelection(Selector selector, int position) {
    if (state().PanelLocked) {
        showModelSelection(selector);
        return;
    }
    state().*roleOf(selector).selection = static_cast<uint8_t>(position);
    showColours(selector, position);
}

void CClass_16_view_color::chooseColour(size_t role, int colour) {
    const ColourRole& r = kColourLists[role];
    if (state().PanelLocked) {
        showModelSelection(r.selector);
        return;
    }
    // The element is the one the selector list shows; its sender stores the colour.
    (commands().*r.send)(selectorList(r.selector)->currentIndex(), static_cast<uint8_t>(colour));
}

void CClass_16_view_color::chooseBorder(int position) {
    if (state().PanelLocked) {
        showEntry(borderList_, onOffEntry(state().BorderOn));
        return;
    }
    commands().setBorder(static_cast<uint8_t>(position));
}

}  // namespace kvx
