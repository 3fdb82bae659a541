#pragma once

#include <QWidget>
#include <cstdint>

#include "protocol/panel_context.h"

namespace kvx {

// The panel for a device type (0x82, 0x83, 0xA1), or nullptr for a type without one.
QWidget* createDevicePanel(uint8_t deviceType, PanelContext& context, QWidget* parent);
bool hasDevicePanel(uint8_t deviceType);

}  // namespace kvx
