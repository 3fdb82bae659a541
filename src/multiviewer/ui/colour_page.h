#pragma once

#include <array>

#include "multiviewer/ui/multiviewer_page.h"

class QComboBox;

namespace kvx {

// The colour page (page 3): the text and background colours of the inputs' labels, of each window's format
// status and time code, and the window borders. The Source list chooses the input (or all inputs) whose
// label colours the two lists below it show and set; the Windows list does the same for the window colours.
// Every choice is sent at once; the selections live in the model, so the page reopens on them.
class CClass_16_view_color : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 297;

    // The list that chooses which element a colour list shows and sets.
    enum class Selector { Source, Window };

    CClass_16_view_color(const PageContext& context, QWidget* parent);

    // Refresh: the colour lists show the colours of the input and window that the two selector lists show
    // (input or window 1 for "All Windows"), the border list BorderOn. Nothing is sent.
    void refresh() override;
    // A report's selection. A selector list that moves brings the colour lists it governs along, so that
    // they never show the colours of another element than it names.
    void listSelected(int controlId, int entry) override;

private:
    void chooseSelection(Selector selector, int position);
    void chooseColour(size_t role, int colour);
    void chooseBorder(int position);
    // The colour lists of a selector show the colours of a selection (element 1 for "All Windows").
    void showColours(Selector selector, int selection);
    // With the lock on, a touched list and the lists that go with it return to what the model holds.
    void showModelSelection(Selector selector);
    QComboBox* selectorList(Selector selector) const;

    std::array<QComboBox*, 2> selectorLists_{};  // by Selector
    std::array<QComboBox*, 6> colourLists_{};    // in the order of the page's colour table
    QComboBox* borderList_ = nullptr;
};

}  // namespace kvx
