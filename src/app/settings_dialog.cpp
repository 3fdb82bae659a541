#include "app/settings_dialog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>

#include "app/ipv4_field.h"
#include "app/main_window.h"
#include "controls/message_boxes.h"
#include "controls/color_button.h"
#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"
#include "controls/window_keys.h"
#include "resources/skin_colors.h"
#include "resources/skin_fields.h"
#include "resources/skin_renderer.h"
#include "resources/skin_table.h"

namespace kvx {

namespace {

constexpr int kBackground = 139;
constexpr int kConnectBitmap = 140;
constexpr int kDisconnectBitmap = 141;
constexpr int kApplyBitmap = 454;
const QStringList kBaudRates{"9600", "19200", "38400", "57600", "115200"};

}  // namespace

CClass_configure_argc_dlg::CClass_configure_argc_dlg(CKORVELUX_16_VIEWDlg& main)
    : QWidget(&main, Qt::Dialog | Qt::FramelessWindowHint), main_(main) {
    setObjectName(QStringLiteral("138"));
    portOpen_ = main_.portOpenFlag;

    auto place = [this](QWidget* w, int id, std::string_view row, bool scaleSize = true) {
        w->setObjectName(QString::number(id));
        const SkinRow* r = skinRow(kBackground, row);
        const QRect box = r ? r->controls : QRect();
        w->setGeometry(main_.sx(box.x()), main_.sy(box.y()), scaleSize ? main_.sx(box.width()) : box.width(),
                       scaleSize ? main_.sy(box.height()) : box.height());
    };
    auto list = [this, &place](int id, std::string_view row) {
        auto* combo = new QComboBox(this);
        place(combo, id, row);
        skin::styleField(combo, skin::kFieldText);
        return combo;
    };
    auto bitmapButton = [this, &place](int id, std::string_view row, int bitmap) {
        auto* b = new CShadeButtonST(this);
        place(b, id, row, false);
        b->setText(QStringLiteral("Button"));
        SetBitmapResource(*b, bitmap);
        b->setDrawBorder(false);
        return b;
    };

    closeButton_ = new CColorButton(QStringLiteral("x"), this);
    closeButton_->setObjectName(QStringLiteral("1157"));
    closeButton_->setTextColor(QColor(110, 187, 105));
    QFont captionFont = closeButton_->font();
    captionFont.setPointSize(14);
    captionFont.setBold(true);
    closeButton_->setFont(captionFont);
    // In the top right corner, inside the pop-up's frame.
    closeButton_->setGeometry(main_.sx(kDesignWidth - 40) - kEdgeWidth, kEdgeWidth, main_.sx(40), main_.sy(35));
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::hide);

    linkList_ = list(1015, skin_rows::kConnectionMode);
    linkList_->addItems({QStringLiteral("LAN Port"), QStringLiteral("Serial Port")});
    shownLink_ = main_.linkChoice() == kLinkSerial ? 1 : 0;
    linkList_->setCurrentIndex(shownLink_);

    portList_ = list(1018, skin_rows::kSerialPort);
    QStringList ports;
    for (const std::string& name : main_.serialPorts().list()) ports << QString::fromStdString(name);
    ports.sort();  // the list keeps its entries sorted by text
    portList_->addItems(ports);
    portList_->setCurrentIndex(main_.portListPosition < portList_->count() ? main_.portListPosition : 0);

    baudList_ = list(1019, skin_rows::kBaudRate);
    baudList_->addItems(kBaudRates);
    baudList_->setCurrentIndex(main_.baudListPosition < kBaudRates.size() ? main_.baudListPosition : 0);

    connectButton_ = bitmapButton(1020, skin_rows::kConnectButton, kConnectBitmap);
    if (main_.linkChoice() == kLinkLan) {
        setPortControls(false, kConnectBitmap);
    } else {
        setPortControls(portOpen_ == 0, portOpen_ == 0 ? kConnectBitmap : kDisconnectBitmap);
    }
    applyButton_ = bitmapButton(1017, skin_rows::kApplyButton, kApplyBitmap);

    networkList_ = list(1054, skin_rows::kNetwork);
    networkList_->addItems({QStringLiteral("Static"), QStringLiteral("DHCP")});
    addressField_ = new Ipv4Field(this);
    place(addressField_, 1016, skin_rows::kIpAddress);
    skin::styleField(addressField_, skin::kFieldText);
    const bool dhcp = main_.multiviewer().DeviceDhcpOn == 1;
    networkList_->setCurrentIndex(dhcp ? 1 : 0);
    setAddressFieldsEnabled(!dhcp);
    if (auto entry = main_.selectedEntry()) addressField_->setText(QString::fromStdString(entry->address()));

    connect(linkList_, &QComboBox::activated, this, &CClass_configure_argc_dlg::chooseLink);
    connect(portList_, &QComboBox::activated, this,
            [this](int position) { main_.portListPosition = static_cast<uint8_t>(position); });
    connect(baudList_, &QComboBox::activated, this,
            [this](int position) { main_.baudListPosition = static_cast<uint8_t>(position); });
    connect(connectButton_, &QPushButton::clicked, this, &CClass_configure_argc_dlg::connectOrDisconnect);
    connect(networkList_, &QComboBox::activated, this, &CClass_configure_argc_dlg::chooseNetwork);
    connect(applyButton_, &QPushButton::clicked, this, &CClass_configure_argc_dlg::apply);
}

void CClass_configure_argc_dlg::setPortControls(bool listsEnabled, int bitmap) {
    portList_->setEnabled(listsEnabled);
    baudList_->setEnabled(listsEnabled);
    connectBitmap_ = bitmap;
    SetBitmapResource(*connectButton_, bitmap);
}

void CClass_configure_argc_dlg::setAddressFieldsEnabled(bool on) { addressField_->setEnabled(on); }

void CClass_configure_argc_dlg::chooseLink(int position) {
    if (position == shownLink_) return;
    if (position == 0) {
        setPortControls(false, kConnectBitmap);
        main_.setLinkChoice(kLinkLan);
    } else {
        // The button keeps its picture; CONNECT then (re)opens the port.
        portList_->setEnabled(true);
        baudList_->setEnabled(true);
        main_.setLinkChoice(kLinkSerial);
    }
    portOpen_ = 0;
    shownLink_ = position;
}

void CClass_configure_argc_dlg::connectOrDisconnect() {
    if (main_.linkChoice() == kLinkLan || busy_) return;
    CnComm& port = main_.serialPort();
    busy_ = true;
    if (portOpen_ != 0) {
        main_.worker().request<bool>(
            [&port] {
                port.close();
                return true;
            },
            [this](bool) {
                busy_ = false;
                setPortControls(true, kConnectBitmap);
                portOpen_ = 0;
                main_.portOpenFlag = portOpen_;
            },
            dispatchTo(this));
        return;
    }
    const int baud = baudList_->currentText().toInt();
    const std::string name = portList_->currentText().toStdString();
    main_.worker().request<bool>(
        [&port, name, baud] {
            port.close();
            return port.open(name, baud);
        },
        // A failed open shows nothing and leaves the dialog as it was.
        [this](bool opened) {
            busy_ = false;
            if (opened) {
                setPortControls(false, kDisconnectBitmap);
                portOpen_ = 1;
                main_.portOpenFlag = portOpen_;
            }
        },
        dispatchTo(this));
}

void CClass_configure_argc_dlg::chooseNetwork(int position) {
    MultiviewerState& model = main_.multiviewer();
    if (position == model.DeviceDhcpOn) return;
    model.DeviceDhcpOn = static_cast<uint8_t>(position);
    if (position == 1) {
        setAddressFieldsEnabled(false);
        if (main_.linkChoice() == kLinkLan && !main_.selectedEntry()) {
            showErrorBox(QStringLiteral("Please choose a device"));
            return;
        }
        main_.networkAddress.fill(0);
        sendNetworkSettings();
        return;
    }
    setAddressFieldsEnabled(true);
}

void CClass_configure_argc_dlg::apply() {
    if (main_.multiviewer().DeviceDhcpOn == 1) return;
    const auto octets = addressField_->octets();
    if (octets == std::array<uint8_t, 4>{}) {
        showErrorBox(QStringLiteral("Please input the IP"));
        return;
    }
    main_.networkAddress.fill(0);
    std::copy(octets.begin(), octets.end(), main_.networkAddress.begin());
    sendNetworkSettings();
}

void CClass_configure_argc_dlg::sendNetworkSettings() {
    const Target target = main_.currentTarget();
    main_.sendToSelected(buildNetworkSettings(target.type(), target.sub(), target.link, main_.networkAddress,
                                              main_.multiviewer().DeviceDhcpOn));
}

void CClass_configure_argc_dlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), renderSkinBitmap(kBackground));
    // The pop-up has the main window's face: a frame in the skin's edge colour shows where it ends.
    painter.setPen(QPen(skin::kEdge, kEdgeWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(kEdgeWidth / 2.0, kEdgeWidth / 2.0, -kEdgeWidth / 2.0, -kEdgeWidth / 2.0));
}

void CClass_configure_argc_dlg::keyPressEvent(QKeyEvent* event) {
    if (!swallowEnterAndEscape(event)) QWidget::keyPressEvent(event);
}

}  // namespace kvx
