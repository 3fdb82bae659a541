#include "app/panel_factory.h"

#include "app/main_window.h"
#include "matrix/ui/matrix_child.h"
#include "matrix/ui/matrix_child_16x16.h"
#include "multiviewer/ui/multiviewer_panel.h"

namespace kvx {

bool hasDevicePanel(uint8_t deviceType) { return deviceType == 0x82 || deviceType == 0x83 || deviceType == 0xA1; }

QWidget* createDevicePanel(uint8_t deviceType, PanelContext& context, QWidget* parent) {
    (void)context;
    switch (deviceType) {
        case 0x82:
            return new CClass_matrix_child(context, parent);
        case 0x83:
            return new CClass_matrix_child_16x16(context, parent);
        case 0xA1:
            return new CClass_child_main_dlg(context, dynamic_cast<CKORVELUX_16_VIEWDlg&>(context).multiviewer(),
                                             parent);
        default:
            return nullptr;
    }
}

}  // namespace kvx
