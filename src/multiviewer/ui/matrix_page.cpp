#include "multiviewer/ui/matrix_page.h"

#include <QComboBox>
#include <QPushButton>

#include "controls/shade_button_st.h"
#include "multiviewer/geometry.h"

namespace kvx {

namespace {
// The list of output k stands at (365, 30 + 23 (k - 1)), 70 x 20, in one column.
QRect outputListPlace(int output) {
    return QRect(365, 30 + 23 * (output - 1), 70, 20);
}
}  // namespace

CClass_16_view_matrix::CClass_16_view_matrix(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {
    auto* oneToOne = makeBitmapButton(kOneToOneId, QPoint(20, 60), kOneToOneBitmap);
    connect(oneToOne, &QPushButton::clicked, this, &CClass_16_view_matrix::pressOneToOne);
    const QStringList inputs = inputListItems();
    for (int k = 1; k <= kWindowCount; ++k) {
        QComboBox* list = makeList(control::matrixOutputList(k), outputListPlace(k), inputs);
        connect(list, &QComboBox::activated, this, [this, k](int entry) { chooseInput(k, entry); });
        outputLists_[static_cast<size_t>(k - 1)] = list;
    }
    refreshRoutingLists();
    // The grid's numbers follow the routing the page shows.
    for (int k = 1; k <= kWindowCount; ++k)
        setMatrixRoute(state(), k, state().MatrixRoute[static_cast<size_t>(k - 1)]);
}

void CClass_16_view_matrix::chooseInput(int output, int entry) {
    if (output < 1 || output > kWindowCount || entry < 0 || entry >= kInputCount) return;
    const auto k = static_cast<size_t>(output - 1);
    if (state().PanelLocked) {
        showEntry(outputLists_[k], state().MatrixRoute[k] - 1);
        return;
    }
    // Sent even when the input is the one stored: the operator chose it again.
    commands().setSource(static_cast<uint8_t>(entry + 1), static_cast<uint8_t>(output));
}

void CClass_16_view_matrix::pressOneToOne() {
    commands().resetMatrix();  // with the lock on it sends and stores nothing
    refreshRoutingLists();
}

void CClass_16_view_matrix::refreshRoutingLists() {
    for (size_t k = 0; k < outputLists_.size(); ++k) showEntry(outputLists_[k], state().MatrixRoute[k] - 1);
}

}  // namespace kvx
