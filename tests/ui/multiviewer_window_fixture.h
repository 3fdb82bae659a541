#pragma once

// The multiviewer panel inside the real main window, on a simulated multiviewer of an in-memory network:
// what the panel and its pages send is what the simulated device receives, and the device's own
// front-panel changes come back as its reports.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/control_listing.h"
#include "app/main_window.h"
#include "controls/message_boxes.h"
#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"
#include "multiviewer/ui/multiviewer_panel.h"
#include "platform/manual_clock.h"
#include "platform/sim_serial.h"
#include "resources/skin_renderer.h"
#include "simulator/demo_devices.h"
#include "simulator/multiviewer_device.h"
#include "simulator/sim_network_host.h"

namespace kvx {

class MultiviewerWindowTest : public ::testing::Test {
public:
    static constexpr uint32_t kPcAddress = 0xC0A8010A;      // 192.168.1.10
    static constexpr uint32_t kDeviceAddress = 0xC0A80165;  // 192.168.1.101

protected:
    explicit MultiviewerWindowTest(int dpi = 96) : device(defaultIdentity(kTypeMultiviewer, 0)) {
        installBitmapSource(renderSkinBitmap);
        setMessageHook([this](MessageKind kind, const QString& caption, const QString& text) {
            messages.push_back(caption + ": " + text);
            return kind == MessageKind::Warning ? answerOk : true;
        });
        host = std::make_unique<SimNetworkDeviceHost>(network, kDeviceAddress, DeviceList{&device});
        pcNetwork = network.host(kPcAddress);
        window =
            std::make_unique<CKORVELUX_16_VIEWDlg>(AppPlatform{*pcNetwork, clock, serialPorts, dpi, dpi});
        window->show();
    }
    ~MultiviewerWindowTest() override {
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
    // Gives the device a state, then searches: the panel opens on it and reads it.
    CClass_child_main_dlg& open(const std::function<void(MultiviewerState&)>& setUp = {}) {
        MultiviewerState model = device.state().model;
        if (setUp) setUp(model);
        device.setModel(model);
        QTest::mouseClick(window->searchButton(), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return !window->isSearching() && panel() && panel()->started(); }, 10000));
        settle();
        return *panel();
    }
    CClass_child_main_dlg* panel() const {
        return qobject_cast<CClass_child_main_dlg*>(window->currentPanel());
    }
    MultiviewerState& model() { return window->multiviewer(); }
    template <class Page>
    Page* page() const {
        return panel() ? qobject_cast<Page*>(panel()->currentPage()) : nullptr;
    }
    // Shows a page by its button.
    template <class Page>
    void showPageBy(int button) {
        click(button);
        ASSERT_NE(page<Page>(), nullptr);
    }
    // Opens the panel on the device (set up first) and shows a page by its button.
    template <class Page>
    void openOnPage(int button, const std::function<void(MultiviewerState&)>& setUp = {}) {
        open(setUp);
        showPageBy<Page>(button);
    }
    // A control of the page shown, or of the panel.
    QWidget* control(int id) const {
        if (QWidget* onPage = panel()->currentPage() ? panel()->currentPage()->control(id) : nullptr)
            return onPage;
        return panel()->control(id);
    }
    QComboBox* list(int id) const { return qobject_cast<QComboBox*>(control(id)); }
    // The entry a list of the page shown, or of the panel, shows.
    int shown(int listId) const { return list(listId)->currentIndex(); }
    int bitmapOf(int id) const { return shownBitmapResource(control(id)); }

    void click(int id) {
        QWidget* target = control(id);
        ASSERT_NE(target, nullptr) << id;
        QTest::mouseClick(target, Qt::LeftButton);
        settle();
    }
    // The operator picks an entry of a list (also the one it shows already).
    void choose(int id, int entry) {
        QComboBox* target = list(id);
        ASSERT_NE(target, nullptr) << id;
        target->setCurrentIndex(entry);
        emit target->activated(entry);
        settle();
    }
    // Frames the device received from position `from` on, of one command or of all.
    std::vector<Bytes> framesSince(size_t from, int command = -1) {
        settle();
        std::vector<Bytes> out;
        const auto all = device.receivedFrames();
        for (size_t f = from; f < all.size(); ++f) {
            if (command < 0 || (all[f].size() > 16 && all[f][16] == command)) out.push_back(all[f]);
        }
        return out;
    }
    size_t frameCount() const { return device.receivedFrames().size(); }
    // The payload (from byte 17) of a request.
    static Bytes payloadOf(const Bytes& frame) {
        return frame.size() < 20 ? Bytes{} : Bytes(frame.begin() + 17, frame.end() - 3);
    }
    // The frame of a request with this code and payload, as the panel sends it to the device.
    static Bytes request(uint8_t code, const Bytes& payload) {
        return buildFrame(kTypeMultiviewer, 0x01, kLinkLan, code, payload);
    }
    // The controls of the page shown as the scripted runs list them, one per line.
    std::string pageControls() const {
        return describeControls(panel()->currentPage()).join('\n').toStdString();
    }
    // Waits until the model shows a report of the device.
    void waitFor(const std::function<bool()>& condition) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return condition(); }, 10000));
        settle();
    }

    ManualClock clock;
    SimNetwork network;
    MultiviewerDevice device;
    std::unique_ptr<SimNetworkDeviceHost> host;
    SimSerialPorts serialPorts;
    std::shared_ptr<Network> pcNetwork;
    std::unique_ptr<CKORVELUX_16_VIEWDlg> window;
    QStringList messages;
    bool answerOk = true;  // the operator's answer to the mode questions
};

}  // namespace kvx
