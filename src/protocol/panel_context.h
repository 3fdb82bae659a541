#pragma once

#include <cstdint>
#include <string>

#include "protocol/device_link.h"
#include "protocol/exchange_worker.h"

namespace kvx {

// What a device panel reaches through the main window: the selected device, the link, the lock, the name
// box, and the exchange worker on which every use of the links runs.
class PanelContext {
public:
    virtual ~PanelContext() = default;

    // The link choice and the selected entry, as a request made now must use them.
    virtual Target currentTarget() const = 0;
    virtual bool panelLocked() const = 0;
    virtual void setPanelLocked(bool locked) = 0;
    // Shows bitmap 135 on the lock button when the lock is on, 132 when it is off.
    virtual void refreshLockButton() = 0;
    virtual std::u16string deviceName() const = 0;
    virtual void setDeviceName(const std::u16string& name) = 0;
    // The name box shows the text, or "Custom Name" when it is empty.
    virtual void showNameBox(const std::u16string& text) = 0;
    virtual uint8_t deviceDhcpOn() const = 0;
    virtual void setDeviceDhcpOn(uint8_t on) = 0;
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;

    virtual ExchangeWorker& worker() = 0;
    // Only to be used inside jobs running on the worker.
    virtual DeviceLink& link() = 0;
    // Runs a function on the UI thread; dropped when the window is gone.
    virtual ResultDispatch uiDispatch() = 0;
};

// v designed for 96 dpi, at the screen's resolution, truncated toward zero.
inline int scaleToDpi(int v, int dpi) { return v * dpi / 96; }

}  // namespace kvx
