#include "matrix/ui/matrix_child.h"

#include <QLabel>

namespace kvx {

namespace {
constexpr int kHiddenStaticId = 1070;
}  // namespace

const MatrixPanelLayout CClass_matrix_child::kLayout{
    .kind = kMatrix8x8,
    .background = 191,
    .firstInputId = 1054,
    .firstOutputId = 1062,
    .firstStatusId = 1128,
    .numberBitmap = [](int n) { return 175 + 2 * (n - 1); },
    .selectedBitmap = [](int n) { return 176 + 2 * (n - 1); },
    .applyId = 1082,
    .oneToAllId = 1136,
    .oneToOneId = 1137,
    .refreshId = 1138,
    .backlightListId = 1074,
    .trackbarId = 1139,
    .brightnessEditId = 1140,
    .refreshTimerName = "refresh timer 3",
    .resetBacklightTimeAtStart = true,
    .reportBrightnessRelease = true,
    .settingsLabelWidth = 0,  // the skin carries the backlight labels
};

CClass_matrix_child::CClass_matrix_child(PanelContext& context, QWidget* parent)
    : MatrixPanel(context, kLayout, parent) {
    makeLabel(kHiddenStaticId, QString(), QRect())->hide();
    start();
}

}  // namespace kvx
