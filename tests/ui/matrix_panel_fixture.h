#pragma once

// The matrix switcher panels inside the real main window, on simulated switchers of an in-memory network
// and a manual clock: what a panel sends is what the simulated device receives.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "controls/message_boxes.h"
#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"
#include "matrix/ui/matrix_child.h"
#include "matrix/ui/matrix_child_16x16.h"
#include "matrix/ui/release_trackbar.h"
#include "platform/ipv4.h"
#include "platform/manual_clock.h"
#include "platform/sim_serial.h"
#include "resources/skin_renderer.h"
#include "simulator/demo_devices.h"
#include "simulator/matrix_switcher_device.h"
#include "simulator/sim_network_host.h"

namespace kvx {

class MatrixPanelTest : public ::testing::Test {
public:
    static constexpr uint32_t kPcAddress = 0xC0A8010A;    // 192.168.1.10
    static constexpr uint32_t kFirstDevice = 0xC0A80165;  // 192.168.1.101
    // The switchers on the network: an 8x8, a 16x16 with the model flag ("TQL2408P") and one without.
    static constexpr size_t k8x8 = 0;
    static constexpr size_t k16x16 = 1;
    static constexpr size_t k16x16NoModel = 2;

protected:
    explicit MatrixPanelTest(int dpi = 96) {
        installBitmapSource(renderSkinBitmap);
        setMessageHook([this](MessageKind, const QString& caption, const QString& text) {
            messages.push_back(caption + ": " + text);
            return true;
        });
        const std::pair<uint8_t, const char*> set[] = {
            {kType8x8, "KVX_MX0808"}, {kType16x16, "TQL2408P"}, {kType16x16, "KVX_MX1616"}};
        for (const auto& [type, name] : set) {
            SimulatedDevice::Identity identity = defaultIdentity(type, devices.size());
            identity.name = name;
            devices.push_back(std::make_unique<MatrixSwitcherDevice>(identity));
            hosts.push_back(std::make_unique<SimNetworkDeviceHost>(
                network, kFirstDevice + static_cast<uint32_t>(hosts.size()),
                DeviceList{devices.back().get()}));
        }
        pcNetwork = network.host(kPcAddress);
        window =
            std::make_unique<CKORVELUX_16_VIEWDlg>(AppPlatform{*pcNetwork, clock, serialPorts, dpi, dpi});
        window->show();
    }
    ~MatrixPanelTest() override {
        window.reset();
        setMessageHook({});
    }

    // Runs every queued exchange and the results it hands back, until nothing is left.
    void settle() {
        for (int round = 0; round < 4; ++round) {
            window->worker().waitIdle();
            QCoreApplication::processEvents();
        }
    }
    void search() {
        QTest::mouseClick(window->searchButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isSearching(); }, 10000));
        settle();
    }
    // Searches once, then opens the panel of simulated device i as the operator would, by choosing it.
    template <class Panel>
    Panel& open(size_t device) {
        if (window->deviceList()->count() == 0) search();
        const std::string address = formatIpv4(kFirstDevice + static_cast<uint32_t>(device));
        for (int i = 0; i < window->deviceList()->count(); ++i) {
            if (window->deviceTable()[static_cast<size_t>(i)].address() != address) continue;
            window->chooseDevice(i);
            break;
        }
        settle();
        auto* panel = qobject_cast<Panel*>(window->currentPanel());
        EXPECT_NE(panel, nullptr);
        return *panel;
    }
    MatrixSwitcherDevice& device(size_t i) { return *devices[i]; }
    void setDeviceState(size_t i, const std::function<void(MatrixSwitcherDevice::State&)>& change) {
        MatrixSwitcherDevice::State state = device(i).state();
        change(state);
        device(i).setState(state);
    }

    void click(MatrixPanel& panel, int id) {
        QWidget* control = panel.control(id);
        ASSERT_NE(control, nullptr) << id;
        QTest::mouseClick(control, Qt::LeftButton);
        settle();
    }
    // Moves a list to a position with the arrow keys, as the operator would; each step is a choice.
    void chooseByKeys(QComboBox* list, int position) {
        list->setFocus();
        while (list->currentIndex() < position) {
            const int before = list->currentIndex();
            QTest::keyClick(list, Qt::Key_Down);
            if (list->currentIndex() == before) break;  // the panel put it back
        }
        while (list->currentIndex() > position) {
            const int before = list->currentIndex();
            QTest::keyClick(list, Qt::Key_Up);
            if (list->currentIndex() == before) break;
        }
        settle();
    }
    // Texts and frames that a device received after the panel's start.
    std::vector<std::string> textsSince(size_t i, size_t from) {
        settle();
        const auto all = device(i).receivedTexts();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }
    std::vector<Bytes> framesSince(size_t i, size_t from, int command = -1) {
        settle();
        std::vector<Bytes> out;
        const auto all = device(i).receivedFrames();
        for (size_t f = from; f < all.size(); ++f) {
            if (command < 0 || (all[f].size() > 16 && all[f][16] == command)) out.push_back(all[f]);
        }
        return out;
    }
    size_t textCount(size_t i) { return device(i).receivedTexts().size(); }
    size_t frameCount(size_t i) { return device(i).receivedFrames().size(); }

    static int bitmapOf(const MatrixPanel& panel, int id) {
        return MatrixPanel::shownBitmap(panel.control(id));
    }
    template <class T>
    static T* controlOf(const MatrixPanel& panel, int id) {
        return qobject_cast<T*>(panel.control(id));
    }

    ManualClock clock;
    SimNetwork network;
    std::vector<std::unique_ptr<MatrixSwitcherDevice>> devices;
    std::vector<std::unique_ptr<SimNetworkDeviceHost>> hosts;
    SimSerialPorts serialPorts;
    std::shared_ptr<Network> pcNetwork;
    std::unique_ptr<CKORVELUX_16_VIEWDlg> window;
    QStringList messages;
};

}  // namespace kvx
