#include "app/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "app/about_dialog.h"
#include "controls/message_boxes.h"
#include "app/panel_factory.h"
#include "app/skin_icon.h"
#include "app/settings_dialog.h"
#include "controls/color_button.h"
#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"
#include "controls/window_keys.h"
#include "resources/skin_fields.h"
#include "resources/skin_renderer.h"

namespace kvx {

namespace {

CKORVELUX_16_VIEWDlg* g_instance = nullptr;

constexpr int kBitmapBackground = 129;
constexpr int kBitmapUnlocked = 132;
constexpr int kBitmapLocked = 135;
constexpr int kBitmapSearch = 133;
constexpr int kBitmapSettings = 134;
constexpr int kTopStripHeight = 35;  // the strip of the skin where the window is grabbed and the About menu is
const char* const kAboutItem = "关于 KORVELUX_16_VIEW(&A)...";

const QColor kStripGreen(110, 187, 105);

int screenDpi(int given, bool horizontal) {
    if (given > 0) return given;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 96;
    const int dpi = static_cast<int>(horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY());
    return dpi > 0 ? dpi : 96;
}

void colourStatic(QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, kStripGreen);
    p.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(p);
    label->setAutoFillBackground(true);
}

}  // namespace

CKORVELUX_16_VIEWDlg* CKORVELUX_16_VIEWDlg::instance() { return g_instance; }

CKORVELUX_16_VIEWDlg::CKORVELUX_16_VIEWDlg(const AppPlatform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      platform_(platform),
      errors_(this),
      udp_(platform.network, errors_),
      serial_(platform.serialPorts),
      link_(udp_, serial_, platform.clock) {
    setWindowIcon(QIcon(programIconPixmap()));
    dpiX_ = screenDpi(platform.dpiX, true);
    dpiY_ = screenDpi(platform.dpiY, false);
    setFixedSize(sx(kDesignWidth), sy(kDesignHeight));
    move(0, 0);
    setWindowTitle(QString::fromUtf8(kTitle));
    g_instance = this;
    buildControls();
    worker_.post([this] { udp_.startNetworking(kTitle); });
}

CKORVELUX_16_VIEWDlg::~CKORVELUX_16_VIEWDlg() {
    destroyPanel();
    if (g_instance == this) g_instance = nullptr;
    worker_.post([this] { serial_.close(); });
    worker_.waitIdle();
}

void CKORVELUX_16_VIEWDlg::buildControls() {
    auto place = [this](QWidget* w, int id, int x, int y, int width, int height, bool scaleSize = true) {
        w->setObjectName(QString::number(id));
        w->setGeometry(sx(x), sy(y), scaleSize ? sx(width) : width, scaleSize ? sy(height) : height);
    };
    auto colourButton = [this, &place](const QString& caption, int id, int x) {
        auto* b = new CColorButton(caption, this);
        b->setTextColor(kStripGreen);
        QFont font = b->font();
        font.setPointSize(14);
        font.setBold(true);
        b->setFont(font);
        place(b, id, x, 0, 40, 35);
        return b;
    };
    minimiseButton_ = colourButton(QStringLiteral("-"), 1000, 1200);
    closeButton_ = colourButton(QStringLiteral("x"), 1001, 1240);
    connect(minimiseButton_, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(closeButton_, &QPushButton::clicked, this, &CKORVELUX_16_VIEWDlg::closeProgram);

    deviceList_ = new QComboBox(this);
    place(deviceList_, 1003, 45, 80, 320, 40);
    deviceList_->setFixedHeight(sy(24));
    skin::styleField(deviceList_, Qt::white);
    connect(deviceList_, &QComboBox::activated, this, &CKORVELUX_16_VIEWDlg::chooseDevice);

    nameEdit_ = new QLineEdit(this);
    place(nameEdit_, 1147, 45, 110, 320, 20);
    nameEdit_->setMaxLength(16);
    skin::styleField(nameEdit_, Qt::white);
    nameEdit_->installEventFilter(this);

    auto bitmapButton = [this, &place](int id, int x, int y, int w, int h, int bitmap) {
        auto* b = new CShadeButtonST(this);
        place(b, id, x, y, w, h, false);
        b->setText(QStringLiteral("Button"));
        SetBitmapResource(*b, bitmap);
        b->setDrawBorder(false);
        b->setFocusPolicy(Qt::ClickFocus);
        return b;
    };
    searchButton_ = bitmapButton(1002, 380, 75, 135, 35, kBitmapSearch);
    settingsButton_ = bitmapButton(1004, 520, 73, 134, 38, kBitmapSettings);
    lockButton_ = bitmapButton(1005, 665, 75, 70, 37, kBitmapUnlocked);
    connect(searchButton_, &QPushButton::clicked, this, &CKORVELUX_16_VIEWDlg::search);
    connect(settingsButton_, &QPushButton::clicked, this, &CKORVELUX_16_VIEWDlg::openSettings);
    connect(lockButton_, &QPushButton::clicked, this, &CKORVELUX_16_VIEWDlg::toggleLock);

    statusLabel_ = new QLabel(QString::fromLatin1(kNoDeviceConnected), this);
    place(statusLabel_, 1007, 30, 40, 140, 20);
    colourStatic(statusLabel_);
    versionLabel_ = new QLabel(QString::fromLatin1(kVersionText), this);
    place(versionLabel_, 1006, 1200, 40, 140, 20);
    colourStatic(versionLabel_);

    // The hidden frame marks the panel area and takes the focus when the background is clicked.
    panelArea_ = new QWidget(this);
    place(panelArea_, 1008, 20, 160, 1240, 540);
    panelArea_->setFocusPolicy(Qt::StrongFocus);
    panelArea_->lower();
    panelRect_ = panelArea_->geometry();

    searchProgress_ = new QTimer(this);
    searchProgress_->setInterval(100);
    connect(searchProgress_, &QTimer::timeout, this, [this] {
        ++searchTicks_;
        statusLabel_->setText(QStringLiteral("Searching") + QString(1 + searchTicks_ % 3, QLatin1Char('.')));
    });
}

std::optional<DeviceEntry> CKORVELUX_16_VIEWDlg::selectedEntry() const {
    if (selectedIndex_ < 0 || selectedIndex_ >= static_cast<int>(kDeviceTableSize)) return std::nullopt;
    return deviceTable_[static_cast<size_t>(selectedIndex_)];
}

Target CKORVELUX_16_VIEWDlg::currentTarget() const { return Target{linkChoice_, selectedEntry()}; }

void CKORVELUX_16_VIEWDlg::sendToSelected(Bytes frame, SerialPause pause) {
    const Target target = currentTarget();
    worker_.post([this, target, frame = std::move(frame), pause] { link_.send(target, frame, pause); });
}

void CKORVELUX_16_VIEWDlg::search() {
    if (searching_) return;
    selectedIndex_ = -1;
    if (linkChoice_ == kLinkSerial && !serial_.isOpen()) {
        // The list stays as it is when there is no port to search on.
        showErrorBox(QStringLiteral("Please open the serial port first!"));
        return;
    }
    destroyPanel();
    if (deviceList_->count() > 0) {
        deviceList_->clear();
        deviceTable_.fill(DeviceEntry{});
    }
    setSearchInProgress(true);
    const LinkKind link = linkChoice_;
    Clock& clock = platform_.clock;
    worker_.request<SearchResult>(
        [this, link, &clock] {
            return link == kLinkLan ? lanSearch(udp_, clock, link, errors_) : serialSearch(serial_, clock, link, errors_);
        },
        [this](SearchResult result) { applySearchResult(std::move(result)); }, dispatchTo(this));
}

void CKORVELUX_16_VIEWDlg::setSearchInProgress(bool on) {
    searching_ = on;
    // Nothing that would start a conflicting exchange can be pressed while the search runs.
    for (QWidget* w : std::initializer_list<QWidget*>{searchButton_, deviceList_, lockButton_, nameEdit_})
        w->setEnabled(!on);
    if (on) {
        statusBeforeSearch_ = statusLabel_->text();
        searchTicks_ = 0;
        statusLabel_->setText(QStringLiteral("Searching."));
        searchProgress_->start();
    } else {
        searchProgress_->stop();
    }
}

void CKORVELUX_16_VIEWDlg::applySearchResult(SearchResult result) {
    setSearchInProgress(false);
    if (!result.ran) {
        statusLabel_->setText(statusBeforeSearch_);
        emit searchFinished();
        return;
    }
    deviceTable_.fill(DeviceEntry{});
    for (size_t i = 0; i < result.found.entries.size() && i < kDeviceTableSize; ++i)
        deviceTable_[i] = result.found.entries[i];
    deviceList_->clear();
    // Each name byte is one character, a zero byte too: the item always ends with "_" and the address.
    for (const std::string& item : result.items)
        deviceList_->addItem(QString::fromLatin1(item.data(), static_cast<qsizetype>(item.size())));
    if (result.statusBlock) multiviewer_.StatusBlock = *result.statusBlock;
    selectedIndex_ = result.selectedIndex;
    statusLabel_->setText(QString::fromStdString(result.statusText));
    if (deviceList_->count() > 0) deviceList_->setCurrentIndex(0);
    openPanelForSelected();
    emit searchFinished();
}

void CKORVELUX_16_VIEWDlg::chooseDevice(int index) {
    selectedIndex_ = index;
    if (selectedIndex_ == connectedIndex_) return;
    openPanelForSelected();
}

void CKORVELUX_16_VIEWDlg::openPanelForSelected() {
    if (selectedIndex_ < 0 || selectedIndex_ > 255) return;
    if (deviceList_->count() == 0) return;
    worker_.post([this] { udp_.closeCommandSocket(); });
    nameEdit_->clear();
    multiviewer_.DeviceName = u" ";
    destroyPanel();
    connectedIndex_ = selectedIndex_;
    const DeviceEntry& entry = deviceTable_[static_cast<size_t>(selectedIndex_)];
    QWidget* panel = createDevicePanel(entry.deviceType, *this);
    if (panel) {
        currentPanel_ = panel;
        panel->setGeometry(panelRect_);
        panel->show();
        panel->update();
    }
}

void CKORVELUX_16_VIEWDlg::destroyPanel() {
    if (!currentPanel_) return;
    QWidget* panel = currentPanel_;
    currentPanel_ = nullptr;
    panel->hide();
    delete panel;
}

void CKORVELUX_16_VIEWDlg::toggleLock() {
    setPanelLocked(!panelLocked());
    refreshLockButton();
    const Target target = currentTarget();
    sendToSelected(buildPanelLock(target.type(), target.sub(), target.link, panelLocked()));
}

void CKORVELUX_16_VIEWDlg::refreshLockButton() {
    lockBitmap_ = panelLocked() ? kBitmapLocked : kBitmapUnlocked;
    SetBitmapResource(*lockButton_, lockBitmap_);
}

void CKORVELUX_16_VIEWDlg::showNameBox(const std::u16string& text) {
    nameEdit_->setText(text.empty() ? QStringLiteral("Custom Name") : QString::fromStdU16String(text));
}

void CKORVELUX_16_VIEWDlg::sendCustomName() {
    if (panelLocked()) return;
    multiviewer_.DeviceName = nameEdit_->text().toStdU16String();
    const Target target = currentTarget();
    sendToSelected(buildCustomName(target.type(), target.sub(), target.link, multiviewer_.DeviceName));
}

void CKORVELUX_16_VIEWDlg::openSettings() {
    if (settingsDialog_) delete settingsDialog_.data();
    auto* dialog = new CClass_configure_argc_dlg(*this);
    settingsDialog_ = dialog;
    dialog->setGeometry(x() + sx(100), y() + sy(40), sx(440), sy(486));
    dialog->show();
}

CClass_configure_argc_dlg* CKORVELUX_16_VIEWDlg::settingsDialog() const {
    return static_cast<CClass_configure_argc_dlg*>(settingsDialog_.data());
}

void CKORVELUX_16_VIEWDlg::closeProgram() {
    destroyPanel();
    close();
}

bool CKORVELUX_16_VIEWDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == nameEdit_) {
        if (event->type() == QEvent::FocusIn) {
            nameFocus_ = true;
        } else if (event->type() == QEvent::FocusOut) {
            sendCustomName();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                sendCustomName();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CKORVELUX_16_VIEWDlg::keyPressEvent(QKeyEvent* event) {
    if (!swallowEnterAndEscape(event)) QWidget::keyPressEvent(event);
}

void CKORVELUX_16_VIEWDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    // A press on a device panel's background is the panel's; the rule below is for this window's own.
    if (currentPanel_ && currentPanel_->geometry().contains(event->position().toPoint())) return;
    if (nameFocus_) {
        panelArea_->setFocus(Qt::MouseFocusReason);
        nameFocus_ = false;
    }
    if (QWindow* handle = windowHandle()) handle->startSystemMove();
}

void CKORVELUX_16_VIEWDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (event->pos().y() >= sy(kTopStripHeight)) return;
    QMenu menu(this);
    menu.addAction(QString::fromUtf8(kAboutItem), this, &CKORVELUX_16_VIEWDlg::showAbout);
    menu.exec(event->globalPos());
}

void CKORVELUX_16_VIEWDlg::showAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CKORVELUX_16_VIEWDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (isMinimized()) {
        const QPixmap icon = programIconPixmap();
        painter.drawPixmap((width() - icon.width()) / 2, (height() - icon.height()) / 2, icon);
        return;
    }
    painter.drawImage(rect(), renderSkinBitmap(kBitmapBackground));
}

void CKORVELUX_16_VIEWDlg::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) update();
}

}  // namespace kvx
