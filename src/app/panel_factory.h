#pragma once

#include <QWidget>
#include <cstdint>

namespace kvx {

class CKORVELUX_16_VIEWDlg;

// The panel of a device type inside the main window (0x82, 0x83, 0xA1), or nullptr for a type without one.
QWidget* createDevicePanel(uint8_t deviceType, CKORVELUX_16_VIEWDlg& window);

}  // namespace kvx
