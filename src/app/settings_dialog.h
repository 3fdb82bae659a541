#pragma once

#include <QWidget>

class QComboBox;

namespace kvx {

class CKORVELUX_16_VIEWDlg;
class CColorButton;
class CShadeButtonST;
class Ipv4Field;

// The connection settings pop-up: the link (LAN or serial port), opening the serial port, and the
// selected device's network address (static or DHCP).
class CClass_configure_argc_dlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 440;
    static constexpr int kDesignHeight = 486;
    static constexpr int kEdgeWidth = 2;  // pixels of the frame around the pop-up

    explicit CClass_configure_argc_dlg(CKORVELUX_16_VIEWDlg& main);

    QComboBox* linkList() const { return linkList_; }
    QComboBox* portList() const { return portList_; }
    QComboBox* baudList() const { return baudList_; }
    QComboBox* networkList() const { return networkList_; }
    Ipv4Field* addressField() const { return addressField_; }
    CShadeButtonST* connectButton() const { return connectButton_; }
    CShadeButtonST* applyButton() const { return applyButton_; }
    CColorButton* closeButton() const { return closeButton_; }
    int connectBitmap() const { return connectBitmap_; }
    bool busy() const { return busy_; }

    void chooseLink(int position);
    void connectOrDisconnect();
    void chooseNetwork(int position);
    void apply();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setPortControls(bool listsEnabled, int bitmap);
    void setAddressFieldsEnabled(bool on);
    void sendNetworkSettings();

    CKORVELUX_16_VIEWDlg& main_;
    int shownLink_ = 0;
    int portOpen_ = 0;
    int connectBitmap_ = 140;
    bool busy_ = false;
    QComboBox* linkList_ = nullptr;
    QComboBox* portList_ = nullptr;
    QComboBox* baudList_ = nullptr;
    QComboBox* networkList_ = nullptr;
    Ipv4Field* addressField_ = nullptr;
    CShadeButtonST* connectButton_ = nullptr;
    CShadeButtonST* applyButton_ = nullptr;
    CColorButton* closeButton_ = nullptr;
};

}  // namespace kvx
