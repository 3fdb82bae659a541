// The 8x8 matrix switcher panel when the routing read on refresh meets a faulty network or a switcher that
// is gone: the status row shows the routing it showed or the switcher's, never a mix; the refresh button
// comes back; the panel takes the next click; and the next read shows the switcher.
#include "matrix/matrix_replies.h"
#include "matrix_panel_fixture.h"
#include "ui/faulty_device_host.h"

namespace kvx {
namespace app_matrix_faults_test {

constexpr int kInput1 = 1054;
constexpr int kStatus1 = 1128;
constexpr int kOneToAll = 1136;
constexpr int kRefresh = 1138;

int lit(int n) {
    return 176 + 2 * (n - 1);
}

class FaultyMatrix : public MatrixPanelTest {
protected:
    FaultyMatrix() {
        hosts[k8x8].reset();  // the plain host gives its port to the faulty one
        faulty = std::make_unique<FaultyDeviceHost>(network, kFirstDevice, DeviceList{&device(k8x8)});
    }
    ~FaultyMatrix() override {
        window.reset();
        faulty.reset();
    }

    CClass_matrix_child& panel() { return open<CClass_matrix_child>(k8x8); }
    // The input every output of the status row shows, when it is one for all of them; 0 otherwise.
    int shownForAll(CClass_matrix_child& p) {
        const int first = bitmapOf(p, kStatus1);
        for (int k = 2; k <= 8; ++k) {
            if (bitmapOf(p, kStatus1 + k - 1) != first) return 0;
        }
        for (int n = 1; n <= 8; ++n) {
            if (first == lit(n)) return n;
        }
        return 0;
    }
    bool showsOneToOne(CClass_matrix_child& p) {
        for (int k = 1; k <= 8; ++k) {
            if (bitmapOf(p, kStatus1 + k - 1) != lit(k)) return false;
        }
        return true;
    }
    void refresh(CClass_matrix_child& p) {
        click(p, kRefresh);
        EXPECT_EQ(bitmapOf(p, kRefresh), MatrixPanel::kRefreshBusy);
    }
    // The refresh button comes back and a mode button click goes out to the switcher.
    void expectPanelAnswers(CClass_matrix_child& p, int input) {
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return bitmapOf(p, kRefresh) == MatrixPanel::kRefreshNormal; }, 10000));
        const size_t before = textCount(k8x8);
        click(p, kInput1 + input - 1);
        click(p, kOneToAll);
        EXPECT_EQ(textsSince(k8x8, before), std::vector<std::string>{std::to_string(input) + "All."});
        EXPECT_EQ(shownForAll(p), input);
    }

    std::unique_ptr<FaultyDeviceHost> faulty;
};

// A fault of the routing reply: whether the read shows the switcher's new routing. Cut to half its length
// the reply still holds the routes (only its name is cut short).
struct RoutingCase {
    LinkFault fault;
    bool showsDevice;
};

class RoutingReplyFaults : public FaultyMatrix, public ::testing::WithParamInterface<RoutingCase> {};

TEST_P(RoutingReplyFaults, TheStatusRowShowsTheOldRoutingOrTheSwitchersAndTheNextReadWorks) {
    auto& p = panel();
    ASSERT_TRUE(showsOneToOne(p));
    device(k8x8).handleText("5All.");  // changed on the switcher's front panel
    faulty->setAnswerFault(kReadRoutingCommand, GetParam().fault);
    refresh(p);
    if (GetParam().showsDevice) {
        EXPECT_EQ(shownForAll(p), 5);
    } else {
        EXPECT_TRUE(showsOneToOne(p));
    }

    // The next read, after the switcher changed again: a reply held back from before may come first.
    faulty->setAnswerFault(kReadRoutingCommand, LinkFault::None);
    device(k8x8).handleText("6All.");
    refresh(p);
    const int next = shownForAll(p);
    EXPECT_TRUE(next == 6 || (next == 5 && GetParam().fault == LinkFault::Late)) << next;
    refresh(p);
    EXPECT_EQ(shownForAll(p), 6);
    expectPanelAnswers(p, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RoutingReplyFaults,
    ::testing::Values(RoutingCase{LinkFault::None, true}, RoutingCase{LinkFault::Lost, false},
                      RoutingCase{LinkFault::Duplicated, true}, RoutingCase{LinkFault::Truncated, true},
                      RoutingCase{LinkFault::Reordered, false}, RoutingCase{LinkFault::Late, false}),
    [](const auto& info) { return std::string(faultName(info.param.fault)); });

TEST_F(FaultyMatrix, ASwitcherGoneDuringARoutingReadLeavesTheRowAndThePanelUsable) {
    auto& p = panel();
    device(k8x8).handleText("5All.");
    faulty->vanish();
    refresh(p);
    EXPECT_TRUE(showsOneToOne(p));
    EXPECT_TRUE(QTest::qWaitFor([&] { return bitmapOf(p, kRefresh) == MatrixPanel::kRefreshNormal; }, 10000));

    faulty->comeBack();
    refresh(p);
    EXPECT_EQ(shownForAll(p), 5);
    expectPanelAnswers(p, 3);
}

}  // namespace app_matrix_faults_test
}  // namespace kvx
