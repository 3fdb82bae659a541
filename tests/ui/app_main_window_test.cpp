#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "app/ipv4_field.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "controls/color_button.h"
#include "controls/message_boxes.h"
#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"
#include "platform/manual_clock.h"
#include "resources/skin_renderer.h"
#include "simulator/demo_world.h"

namespace kvx {
namespace app_main_window_test {

// The main window on the demo's simulated devices, on a manual clock so that a search costs nothing.
// Every message box is captured instead of shown.
class MainWindowTest : public ::testing::Test {
protected:
    explicit MainWindowTest(std::vector<SimulatedDevice::Identity> set = demoIdentities(), int dpi = 96)
        : world(clock, set), pcNetwork(world.pcNetwork()) {
        installBitmapSource(renderSkinBitmap);
        setMessageHook([this](MessageKind, const QString& caption, const QString& text) {
            messages.push_back(caption + ": " + text);
            return true;
        });
        window = std::make_unique<CKORVELUX_16_VIEWDlg>(
            AppPlatform{*pcNetwork, clock, world.pcSerialPorts(), dpi, dpi});
        window->show();
    }
    ~MainWindowTest() override {
        window.reset();
        setMessageHook({});
    }

    void settle() {
        window->worker().waitIdle();
        QCoreApplication::processEvents();
        window->worker().waitIdle();
        QCoreApplication::processEvents();
    }
    void search() {
        QTest::mouseClick(window->searchButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isSearching(); }, 10000));
        settle();
    }
    // Frames that simulated device i has received, and forgets them.
    std::vector<Bytes> framesOf(size_t i) {
        settle();
        return world.devices()[i]->receivedFrames();
    }
    std::vector<Bytes> framesWithCommand(size_t device, uint8_t command) {
        std::vector<Bytes> out;
        for (const Bytes& f : framesOf(device))
            if (f.size() > 16 && f[16] == command) out.push_back(f);
        return out;
    }

    ManualClock clock;
    DemoWorld world;
    std::shared_ptr<Network> pcNetwork;
    std::unique_ptr<CKORVELUX_16_VIEWDlg> window;
    QStringList messages;
};

class MainWindowAt144Dpi : public MainWindowTest {
protected:
    MainWindowAt144Dpi() : MainWindowTest(demoIdentities(), 144) {}
};

TEST_F(MainWindowAt144Dpi, ScalesPositionsButNotPictureSizes) {
    EXPECT_EQ(window->size(), QSize(1920, 1080));
    EXPECT_EQ(window->searchButton()->geometry(), QRect(570, 112, 135, 35));
    EXPECT_EQ(window->lockButton()->geometry(), QRect(997, 112, 70, 37));
    EXPECT_EQ(window->panelRect(), QRect(30, 240, 1860, 810));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("KORVELUX Ethernet Control"));
}

TEST_F(MainWindowTest, StartsEmptyAndSearchListsTheDevicesInReplyOrder) {
    EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("No Device Connected"));
    EXPECT_EQ(window->deviceList()->count(), 0);
    search();
    ASSERT_EQ(window->deviceList()->count(), 4);
    EXPECT_EQ(window->deviceList()->itemText(0), QStringLiteral("KVX_MV16_192.168.1.101"));
    EXPECT_EQ(window->deviceList()->itemText(2), QStringLiteral("TQL2408P_192.168.1.103"));
    EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("Connected - 4"));
    EXPECT_EQ(window->selectedIndex(), 0);
    EXPECT_EQ(window->deviceTable()[2].modelFlag, 1);
    // The first device is a multiviewer: its panel opens at once.
    ASSERT_NE(window->currentPanel(), nullptr);
    EXPECT_EQ(window->connectedIndex(), 0);
    EXPECT_TRUE(window->searchButton()->isEnabled());
}

TEST_F(MainWindowTest, EnterInTheNameFieldSendsTheNameAndTheWindowStays) {
    search();
    window->nameEdit()->setFocus();
    window->nameEdit()->clear();  // the panel may have filled in the device's name
    QTest::keyClicks(window->nameEdit(), "Studio A");
    QTest::keyClick(window->nameEdit(), Qt::Key_Return);
    const auto names = framesWithCommand(0, 0x0F);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], buildCustomName(0xA1, 0x01, kLinkLan, u"Studio A"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->deviceName(), u"Studio A");
}

TEST_F(MainWindowTest, WithTheLockOnTheNameIsNotSentButTheLockButtonAlwaysSends) {
    search();
    QTest::mouseClick(window->lockButton(), Qt::LeftButton);
    EXPECT_EQ(window->lockBitmap(), 135);
    window->nameEdit()->setFocus();
    QTest::keyClicks(window->nameEdit(), "X");
    window->searchButton()->setFocus();  // the name field loses the focus
    QTest::mouseClick(window->lockButton(), Qt::LeftButton);
    EXPECT_EQ(window->lockBitmap(), 132);
    EXPECT_TRUE(framesWithCommand(0, 0x0F).empty());
    const auto locks = framesWithCommand(0, 0x50);
    ASSERT_EQ(locks.size(), 2u);
    EXPECT_EQ(locks[0], (Bytes{0xA5, 0x6C, 0x15, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
                               0x00, 0x00, 0x00, 0x00, 0x00, 0x50, 0x01, 0x1A, 0x02, 0xAE}));
    EXPECT_EQ(locks[1], buildPanelLock(0xA1, 0x01, kLinkLan, false));
}

// A press on the window's background commits the custom name; a press on a panel's background does not.
TEST_F(MainWindowTest, APressOnAPanelsBackgroundIsNotAPressOnTheWindow) {
    search();
    window->chooseDevice(1);  // the 8x8 matrix switcher
    settle();
    QWidget* panel = window->currentPanel();
    ASSERT_NE(panel, nullptr);
    const QPoint panelBackground(5, 5);
    ASSERT_EQ(panel->childAt(panelBackground), nullptr);
    window->activateWindow();
    window->nameEdit()->setFocus();
    ASSERT_TRUE(window->nameEdit()->hasFocus());
    QTest::mouseClick(panel, Qt::LeftButton, {}, panelBackground);
    EXPECT_TRUE(window->nameEdit()->hasFocus());
    EXPECT_TRUE(framesWithCommand(1, 0x0F).empty());

    const QPoint windowBackground(600, 20);
    ASSERT_EQ(window->childAt(windowBackground), nullptr);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, windowBackground);
    EXPECT_FALSE(window->nameEdit()->hasFocus());
    EXPECT_EQ(framesWithCommand(1, 0x0F).size(), 1u);
}

TEST_F(MainWindowTest, ChoosingTheConnectedDeviceAgainDoesNothing) {
    search();
    QWidget* panel = window->currentPanel();
    window->chooseDevice(0);
    EXPECT_EQ(window->currentPanel(), panel);
}

TEST_F(MainWindowTest, AListedOnlyDeviceClosesThePanelAndOpensNone) {
    search();
    window->nameEdit()->setText("typed");
    window->chooseDevice(3);  // type 0x60
    EXPECT_EQ(window->currentPanel(), nullptr);
    EXPECT_EQ(window->connectedIndex(), 3);
    EXPECT_TRUE(window->nameEdit()->text().isEmpty()) << "opening a panel empties the name field";
    window->chooseDevice(3);
    EXPECT_EQ(window->currentPanel(), nullptr);
    window->chooseDevice(1);
    EXPECT_NE(window->currentPanel(), nullptr);
}

TEST_F(MainWindowTest, TheSettingsButtonTwiceLeavesOneDialog) {
    QTest::mouseClick(window->settingsButton(), Qt::LeftButton);
    QTest::mouseClick(window->settingsButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->findChildren<CClass_configure_argc_dlg*>().size(), 1);
    ASSERT_NE(window->settingsDialog(), nullptr);
    EXPECT_TRUE(window->settingsDialog()->isVisible());
}

TEST_F(MainWindowTest, SerialSearchWithThePortClosedLeavesTheList) {
    search();
    window->setLinkChoice(kLinkSerial);
    QTest::mouseClick(window->searchButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(messages, QStringList{"Err: Please open the serial port first!"});
    EXPECT_EQ(window->deviceList()->count(), 4);
}

TEST_F(MainWindowTest, EnterAndEscapeNeverCloseTheWindow) {
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
}

class ZeroByteInAName : public MainWindowTest {
protected:
    static std::vector<SimulatedDevice::Identity> set() {
        SimulatedDevice::Identity identity = defaultIdentity(0x82, 0);
        identity.name = std::string("MX\0B", 4);
        return {identity};
    }
    ZeroByteInAName() : MainWindowTest(set()) {}
};

TEST_F(ZeroByteInAName, TheListItemKeepsTheAddress) {
    search();
    ASSERT_EQ(window->deviceList()->count(), 1);
    const char item[] = "MX\0B_192.168.1.101";
    EXPECT_EQ(window->deviceList()->itemText(0), QString::fromLatin1(item, sizeof item - 1));
}

class NoDevices : public MainWindowTest {
protected:
    NoDevices() : MainWindowTest({}) {}
};

TEST_F(NoDevices, ASearchThatFindsNothingListsNoDeviceFound) {
    search();
    ASSERT_EQ(window->deviceList()->count(), 1);
    EXPECT_EQ(window->deviceList()->itemText(0), QStringLiteral("No Device Found"));
    EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("No Device Connected"));
    EXPECT_EQ(window->currentPanel(), nullptr);
    QTest::mouseClick(window->lockButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(messages, QStringList{"Err: Please choose a device"});
}

// --- the connection settings dialog ---

class SettingsDialogTest : public MainWindowTest {
protected:
    CClass_configure_argc_dlg& openDialog() {
        window->openSettings();
        return *window->settingsDialog();
    }
    void connectSerial(CClass_configure_argc_dlg& dialog) {
        dialog.chooseLink(1);
        dialog.connectOrDisconnect();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.busy(); }, 5000));
    }
};

TEST_F(SettingsDialogTest, ApplySendsTheStaticAddress) {
    search();
    auto& dialog = openDialog();
    EXPECT_EQ(dialog.addressField()->text(), QStringLiteral("192.168.1.101"));
    dialog.addressField()->setText("192.168.1.100");
    QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    const auto sent = framesWithCommand(0, 0x05);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes{0xA5, 0x6C, 0x21, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0xC0, 0xA8, 0x01, 0x64, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA7, 0x03, 0xAE}));
}

TEST_F(SettingsDialogTest, ApplyWithoutAnAddressAsksForOne) {
    search();
    auto& dialog = openDialog();
    dialog.addressField()->clear();
    dialog.apply();
    EXPECT_EQ(messages, QStringList{"Err: Please input the IP"});
    EXPECT_TRUE(framesWithCommand(0, 0x05).empty());
}

TEST_F(SettingsDialogTest, DhcpOverTheSerialPortThenApplyDoesNothingMore) {
    auto& dialog = openDialog();
    connectSerial(dialog);
    ASSERT_TRUE(window->serialPort().isOpen());
    EXPECT_EQ(dialog.connectBitmap(), 141);
    EXPECT_FALSE(dialog.portList()->isEnabled());
    search();  // over the serial line: finds the device on COM1
    ASSERT_EQ(window->selectedIndex(), 0);
    world.serialLine().clearWritten();
    dialog.chooseNetwork(1);
    dialog.apply();
    settle();
    Bytes expected{0xA5, 0x6C, 0x21, 0x00, 0xA1, 0x01, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05};
    expected.insert(expected.end(), 12, 0x00);
    expected.insert(expected.end(), {0x01, 0xDA, 0x01, 0xAE});
    EXPECT_EQ(world.serialLine().writtenBlocks(), std::vector<Bytes>{expected});
    EXPECT_FALSE(dialog.addressField()->isEnabled());
    dialog.chooseNetwork(0);
    settle();
    EXPECT_EQ(world.serialLine().writtenBlocks().size(), 1u) << "choosing Static sends nothing";
}

TEST_F(SettingsDialogTest, LanChoiceKeepsThePortOpenAndAReopenClosesItFirst) {
    auto& first = openDialog();
    connectSerial(first);
    first.chooseLink(0);
    EXPECT_TRUE(window->serialPort().isOpen());
    EXPECT_FALSE(first.portList()->isEnabled());
    EXPECT_EQ(first.connectBitmap(), 140);
    first.chooseLink(1);
    EXPECT_TRUE(first.portList()->isEnabled());
    first.baudList()->setCurrentIndex(4);
    first.connectOrDisconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first.busy(); }, 5000));
    EXPECT_TRUE(window->serialPort().isOpen());
    EXPECT_EQ(window->serialPort().baud(), 115200);
    // A new dialog shows the open port.
    auto& second = openDialog();
    EXPECT_EQ(second.linkList()->currentIndex(), 1);
    EXPECT_FALSE(second.portList()->isEnabled());
    EXPECT_EQ(second.connectBitmap(), 141);
}

TEST_F(SettingsDialogTest, ASavedPortPositionBeyondTheListSelectsTheFirstPort) {
    window->portListPosition = 5;
    auto& dialog = openDialog();
    ASSERT_GE(dialog.portList()->count(), 1);
    EXPECT_EQ(dialog.portList()->currentIndex(), 0);
}

}  // namespace app_main_window_test
}  // namespace kvx

namespace kvx {
namespace app_main_window_test {

struct RefusingNetwork : Network {
    std::unique_ptr<UdpSocket> createUdpSocket() override { return nullptr; }
};

TEST(MainWindowWithoutSockets, ASearchThatCannotStartSaysSoAndKeepsTheStatusText) {
    installBitmapSource(renderSkinBitmap);
    QStringList messages;
    setMessageHook([&](MessageKind, const QString& caption, const QString& text) {
        messages.push_back(caption + ": " + text);
        return true;
    });
    ManualClock clock;
    RefusingNetwork network;
    SimSerialPorts ports;
    {
        CKORVELUX_16_VIEWDlg window(AppPlatform{network, clock, ports, 96, 96});
        window.search();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isSearching(); }, 10000));
        QCoreApplication::processEvents();
        EXPECT_EQ(messages, QStringList{"Err: Create socket err"});
        EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("No Device Connected"));
        EXPECT_TRUE(window.searchButton()->isEnabled());
    }
    setMessageHook({});
}

}  // namespace app_main_window_test
}  // namespace kvx
