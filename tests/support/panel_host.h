#pragma once

// The window's side of a device panel without the main window, for widget tests and benchmarks: one
// selected device, the links on a given network, the exchange worker and a dispatch to the UI thread. It
// records what the panel asks of the main window.

#include <QObject>
#include <cstring>
#include <string>
#include <vector>

#include "controls/thread_inbox.h"
#include "platform/sim_serial.h"
#include "platform/system_platform.h"
#include "protocol/cn_comm.h"
#include "protocol/device_link.h"
#include "protocol/exchange_worker.h"
#include "protocol/panel_context.h"
#include "protocol/udp_link.h"

namespace kvx {

class PanelHost : public PanelContext, public ErrorSink {
public:
    // The network must outlive the host.
    PanelHost(Network& network, const char* deviceAddress, const DeviceId& deviceId, int dpi = 96)
        : dpi_(dpi), udp_(network, *this) {
        entry.deviceType = kTypeMultiviewer;
        entry.subCode = 0x01;
        entry.deviceId = deviceId;
        std::strncpy(entry.addressText.data(), deviceAddress, entry.addressText.size() - 1);
    }

    Target currentTarget() const override { return Target{linkChoice, entry}; }
    bool panelLocked() const override { return false; }
    void setPanelLocked(bool) override {}
    void refreshLockButton() override { ++lockRefreshes; }
    std::u16string deviceName() const override { return {}; }
    void setDeviceName(const std::u16string&) override {}
    void showNameBox(const std::u16string& text) override { nameBox = text; }
    uint8_t deviceDhcpOn() const override { return 0; }
    void setDeviceDhcpOn(uint8_t) override {}
    int dpiX() const override { return dpi_; }
    int dpiY() const override { return dpi_; }
    ExchangeWorker& worker() override { return worker_; }
    DeviceLink& link() override { return link_; }
    ResultDispatch uiDispatch() override { return dispatchTo(&uiObject_); }
    void showError(const std::string& text, const std::string&) override { errors.push_back(text); }
    // The object whose thread (the UI thread) runs what uiDispatch() hands over.
    QObject& uiObject() { return uiObject_; }

    DeviceEntry entry;
    LinkKind linkChoice = kLinkLan;
    std::u16string nameBox = u"(never shown)";
    int lockRefreshes = 0;
    std::vector<std::string> errors;

private:
    int dpi_;
    QObject uiObject_;
    SystemClock clock_;
    SimSerialPorts serialPorts_;
    UdpLink udp_;
    CnComm serial_{serialPorts_};
    DeviceLink link_{udp_, serial_, clock_};
    // Declared last so that it stops before the links go.
    ExchangeWorker worker_;
};

}  // namespace kvx
