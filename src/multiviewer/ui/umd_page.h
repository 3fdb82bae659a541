#pragma once

#include <array>

#include "multiviewer/ui/multiviewer_page.h"

namespace kvx {

class CLimitEdit;

// The UMD page (page 2): the labels of the sixteen inputs, their switches and the master switch. A label is
// committed (stored and sent) when its edit loses the focus, when Enter is pressed in it (the focus stays),
// and when the page's background is clicked after a label edit had the focus: the page itself then takes
// the focus.
class CClass_16_view_umd : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 301;
    static constexpr int kAllUmdOff = 201;
    static constexpr int kAllUmdOn = 202;
    static constexpr int kTypedLimit = 11;
    static constexpr int labelEdit(int input) { return 1030 + input; }  // inputs 1 to 16
    static constexpr int inputBitmap(int input, bool on) { return (on ? 397 : 396) + 2 * input; }

    // A label edit that loses the focus while the page is destroyed commits nothing: the edits go in the
    // QWidget destructor, when this class's event filter no longer runs (and the senders may be gone).
    CClass_16_view_umd(const PageContext& context, QWidget* parent);

    // Refresh labels: every edit shows its input's UmdName (and the switches their state, see showSwitches).
    void refresh() override;

    // The operator's actions, as the controls trigger them.
    void pressInput(int input);  // input 1 to 16
    void pressAllUmd();
    void commitLabel(int input);

    // 0 while no label edit has had the focus since the last background click, else its input.
    int focusedLabel() const { return focusedLabel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The ALL UMD ON button and the sixteen input buttons show the model's switches.
    void showSwitches();
    // The input whose label edit this is, or 0.
    int inputOf(const QObject* edit) const;

    std::array<CLimitEdit*, kInputCount> labels_{};
    std::array<CShadeButtonST*, kInputCount> inputButtons_{};
    CShadeButtonST* allUmdButton_ = nullptr;
    int focusedLabel_ = 0;
};

}  // namespace kvx
