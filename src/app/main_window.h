#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <array>
#include <atomic>
#include <memory>
#include <optional>

#include "app/app_platform.h"
#include "app/ui_bridge.h"
#include "multiviewer/multiviewer_state.h"
#include "protocol/cn_comm.h"
#include "protocol/device_link.h"
#include "protocol/discovery.h"
#include "protocol/exchange_worker.h"
#include "protocol/panel_context.h"
#include "protocol/udp_link.h"

class QComboBox;
class QLineEdit;
class QTimer;

namespace kvx {

class CColorButton;
class CShadeButtonST;
class CClass_configure_argc_dlg;

// The main window and the central state holder of the whole run: links, device table, lock, the
// multiviewer model, and the one device panel that is open.
class CKORVELUX_16_VIEWDlg : public QWidget, public PanelContext {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "KORVELUX Ethernet Control";
    static constexpr const char* kVersionText = "Ver 1.0.3.6";
    static constexpr int kDesignWidth = 1280;
    static constexpr int kDesignHeight = 720;

    explicit CKORVELUX_16_VIEWDlg(const AppPlatform& platform, QWidget* parent = nullptr);
    ~CKORVELUX_16_VIEWDlg() override;

    // The one main window, registered while its window is set up; null before and after.
    static CKORVELUX_16_VIEWDlg* instance();

    // The operator's actions, as the controls trigger them.
    void search();
    void chooseDevice(int index);
    void toggleLock();
    void sendCustomName();
    void openSettings();
    void closeProgram();
    // Closes the open panel and opens the one that fits the selected entry's type.
    void openPanelForSelected();

    bool isSearching() const { return searching_; }
    int selectedIndex() const { return selectedIndex_; }
    int connectedIndex() const { return connectedIndex_; }
    const std::array<DeviceEntry, kDeviceTableSize>& deviceTable() const { return deviceTable_; }
    std::optional<DeviceEntry> selectedEntry() const;
    LinkKind linkChoice() const { return linkChoice_; }
    void setLinkChoice(LinkKind link) { linkChoice_ = link; }
    MultiviewerState& multiviewer() { return multiviewer_; }
    CnComm& serialPort() { return serial_; }
    SerialPorts& serialPorts() { return platform_.serialPorts; }

    // Kept for the connection settings dialog across its lifetimes.
    int portOpenFlag = 0;
    uint8_t portListPosition = 0;
    uint8_t baudListPosition = 0;
    std::array<uint8_t, 12> networkAddress{};

    QComboBox* deviceList() const { return deviceList_; }
    QLineEdit* nameEdit() const { return nameEdit_; }
    CShadeButtonST* searchButton() const { return searchButton_; }
    CShadeButtonST* settingsButton() const { return settingsButton_; }
    CShadeButtonST* lockButton() const { return lockButton_; }
    QLabel* statusLabel() const { return statusLabel_; }
    QWidget* currentPanel() const { return currentPanel_; }
    CClass_configure_argc_dlg* settingsDialog() const;
    QRect panelRect() const { return panelRect_; }
    int lockBitmap() const { return lockBitmap_; }

    // PanelContext
    Target currentTarget() const override;
    bool panelLocked() const override { return multiviewer_.PanelLocked != 0; }
    void setPanelLocked(bool locked) override { multiviewer_.PanelLocked = locked ? 1 : 0; }
    void refreshLockButton() override;
    std::u16string deviceName() const override { return multiviewer_.DeviceName; }
    void setDeviceName(const std::u16string& name) override { multiviewer_.DeviceName = name; }
    void showNameBox(const std::u16string& text) override;
    uint8_t deviceDhcpOn() const override { return multiviewer_.DeviceDhcpOn; }
    void setDeviceDhcpOn(uint8_t on) override { multiviewer_.DeviceDhcpOn = on; }
    int dpiX() const override { return dpiX_; }
    int dpiY() const override { return dpiY_; }
    ExchangeWorker& worker() override { return worker_; }
    DeviceLink& link() override { return link_; }
    ResultDispatch uiDispatch() override { return dispatchTo(this); }

    // Queues a frame to the selected device on the exchange worker.
    void sendToSelected(Bytes frame, SerialPause pause = SerialPause::After20ms);

    int sx(int v) const { return scaleToDpi(v, dpiX_); }
    int sy(int v) const { return scaleToDpi(v, dpiY_); }

signals:
    void searchFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void applySearchResult(SearchResult result);
    void setSearchInProgress(bool on);
    void destroyPanel();
    void showAbout();

    AppPlatform platform_;
    int dpiX_ = 96;
    int dpiY_ = 96;
    UiErrorSink errors_;
    UdpLink udp_;
    CnComm serial_;
    DeviceLink link_;

    LinkKind linkChoice_ = kLinkLan;
    std::array<DeviceEntry, kDeviceTableSize> deviceTable_{};
    int selectedIndex_ = -1;
    int connectedIndex_ = -1;
    bool nameFocus_ = false;
    bool searching_ = false;
    int lockBitmap_ = 132;
    MultiviewerState multiviewer_;

    CColorButton* minimiseButton_ = nullptr;
    CColorButton* closeButton_ = nullptr;
    QComboBox* deviceList_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    CShadeButtonST* searchButton_ = nullptr;
    CShadeButtonST* settingsButton_ = nullptr;
    CShadeButtonST* lockButton_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QWidget* panelArea_ = nullptr;
    QTimer* searchProgress_ = nullptr;
    QString statusBeforeSearch_;  // shown again when a search cannot start
    int searchTicks_ = 0;
    QRect panelRect_;
    QPointer<QWidget> currentPanel_;
    QPointer<QWidget> settingsDialog_;

    // Declared last so that it is destroyed first: no job outlives the links it uses.
    ExchangeWorker worker_;
};

}  // namespace kvx
