#pragma once

#include <array>

#include "multiviewer/ui/multiviewer_page.h"

class QComboBox;

namespace kvx {

// The matrix page (page 5, "Switcher Mode"): the input routed to each of the 16 outputs, and ONE TO ONE.
// While it is shown the device works as a 16 x 16 matrix and the preview shows the switcher grid.
class CClass_16_view_matrix : public MultiviewerPage {
    Q_OBJECT
public:
    static constexpr int kBackground = 300;
    static constexpr int kOneToOneId = 1114;
    static constexpr int kOneToOneBitmap = 455;

    CClass_16_view_matrix(const PageContext& context, QWidget* parent);

    // The operator's actions, as the controls trigger them.
    void chooseInput(int output, int entry);  // output 1 to 16, entry 0 to 15
    void pressOneToOne();

private:
    // The list of output k shows MatrixRoute[k].
    void refreshRoutingLists();

    std::array<QComboBox*, kWindowCount> outputLists_{};
};

}  // namespace kvx
