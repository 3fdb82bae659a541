#pragma once

#include "matrix/ui/matrix_panel.h"

namespace kvx {

// The panel of a 16x16 HD matrix switcher (type 0x83, dialog 456): the shared rows and settings, and the
// output video format list, which only a device with the model flag may use.
class CClass_matrix_child_16x16 : public MatrixPanel {
    Q_OBJECT
public:
    static const MatrixPanelLayout kLayout;
    static constexpr int kOutputFormatLabelId = 1196;
    static constexpr int kOutputFormatListId = 1074;

    explicit CClass_matrix_child_16x16(PanelContext& context, QWidget* parent = nullptr);

    void chooseOutputFormat(int position);

protected:
    void showSettings() override;
    void statusRedrawn() override;

private:
    QComboBox* formatList_ = nullptr;
};

}  // namespace kvx
