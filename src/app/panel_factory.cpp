#include "app/panel_factory.h"

#include "app/main_window.h"
#include "matrix/ui/matrix_child.h"
#include "matrix/ui/matrix_child_16x16.h"
#include "multiviewer/ui/multiviewer_panel.h"

namespace kvx {

QWidget* createDevicePanel(uint8_t deviceType, CKORVELUX_16_VIEWDlg& window) {
    switch (deviceType) {
        case kType8x8:
            return new CClass_matrix_child(window, &window);
        case kType16x16:
            return new CClass_matrix_child_16x16(window, &window);
        case kTypeMultiviewer:
            return new CClass_child_main_dlg(window, window.multiviewer(), &window);
        default:
            return nullptr;
    }
}

}  // namespace kvx
