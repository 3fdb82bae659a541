// The matrix page: routing an input to an output, ONE TO ONE, the lock, the grid numbers the preview
// draws, and the device's routing reports while the page is shown.
#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/ui/matrix_page.h"
#include "ui/multiviewer_window_fixture.h"

namespace kvx {
namespace app_multiviewer_matrix_page_test {

using Frames = std::vector<Bytes>;
constexpr int kOneToOne = CClass_16_view_matrix::kOneToOneId;

class MatrixPageTest : public MultiviewerWindowTest {
protected:
    void openWithRoutes(const PerWindow<uint8_t>& routes) {
        open([&](MultiviewerState& m) {
            m.SwitcherMode = 1;
            m.MatrixRoute = routes;
        });
        ASSERT_NE(page<CClass_16_view_matrix>(), nullptr);
    }
    int shownInput(int output) const { return list(control::matrixOutputList(output))->currentIndex() + 1; }
};

PerWindow<uint8_t> allFrom(uint8_t input) {
    PerWindow<uint8_t> routes;
    routes.fill(input);
    return routes;
}

TEST_F(MatrixPageTest, TheOutputListsStandInOneColumnWithTheirIds) {
    openWithRoutes(allFrom(1));
    for (int k = 1; k <= 16; ++k) {
        QComboBox* output = list(control::matrixOutputList(k));
        ASSERT_NE(output, nullptr) << k;
        EXPECT_EQ(output->geometry(), QRect(365, 30 + 23 * (k - 1), 70, 20)) << k;
        EXPECT_EQ(output->count(), 16);
        EXPECT_EQ(output->itemText(2), "SDI_03");
    }
    EXPECT_EQ(control(1074)->objectName(), "1074");  // output 1
    EXPECT_EQ(control(1090)->objectName(), "1090");  // output 16
    EXPECT_EQ(control(kOneToOne)->geometry(), QRect(20, 60, 191, 117));
    EXPECT_EQ(bitmapOf(kOneToOne), 455);
}

TEST_F(MatrixPageTest, ChoosingAnInputSendsItStoresItAndNumbersTheCell) {
    openWithRoutes(allFrom(1));
    const size_t before = frameCount();
    choose(control::matrixOutputList(12), 2);  // SDI_03 on output 12
    Frames sent = framesSince(before, mv::kSetSource);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(payloadOf(sent[0]), (Bytes{3, 12}));
    EXPECT_EQ(model().MatrixRoute[11], 3);
    EXPECT_EQ(model().SwitcherGeometry[11],
              (GeometryRecord{540, 240, 180, 120, 3}));  // third row, fourth column
    EXPECT_EQ(model().WindowSource, device.state().model.WindowSource) << "page 5 leaves the windows alone";
    EXPECT_EQ(device.state().model.MatrixRoute[11], 3);

    choose(control::matrixOutputList(12), 2);  // the same entry again goes out again
    EXPECT_EQ(framesSince(before, mv::kSetSource).size(), 2u);
}

TEST_F(MatrixPageTest, OneToOneRoutesEachInputToItsOutput) {
    openWithRoutes(allFrom(1));
    const size_t before = frameCount();
    click(kOneToOne);
    EXPECT_EQ(framesSince(before, mv::kResetMatrix).size(), 1u);
    for (int k = 1; k <= 16; ++k) {
        EXPECT_EQ(shownInput(k), k);
        EXPECT_EQ(model().MatrixRoute[static_cast<size_t>(k - 1)], k);
        EXPECT_EQ(model().SwitcherGeometry[static_cast<size_t>(k - 1)].number, k);
    }
}

TEST_F(MatrixPageTest, LockedAListReturnsToTheStoredRouteAndOneToOneChangesNothing) {
    openWithRoutes(allFrom(5));
    QTest::mouseClick(window->lockButton(), Qt::LeftButton);
    settle();
    const size_t before = frameCount();
    choose(control::matrixOutputList(3), 9);
    click(kOneToOne);
    EXPECT_TRUE(framesSince(before).empty());
    for (int k = 1; k <= 16; ++k) EXPECT_EQ(shownInput(k), 5) << k;
    EXPECT_EQ(model().MatrixRoute, allFrom(5));
}

TEST_F(MatrixPageTest, AnOutputNeverReadShowsNoInput) {
    PerWindow<uint8_t> routes = allFrom(2);
    routes[6] = 0;
    openWithRoutes(routes);
    EXPECT_EQ(list(control::matrixOutputList(7))->currentIndex(), -1);
    EXPECT_EQ(shownInput(8), 2);
}

TEST_F(MatrixPageTest, TheDevicesRoutingReportsShowInTheListsAndTheGrid) {
    openWithRoutes(allFrom(1));
    device.changeSource(9, 14);  // output 9 takes input 14 on the device's front panel
    waitFor([this] { return model().MatrixRoute[8] == 14; });
    EXPECT_EQ(shownInput(9), 14);
    EXPECT_EQ(model().SwitcherGeometry[8].number, 14);
    EXPECT_EQ(model().WindowSource, device.state().model.WindowSource);
}

}  // namespace app_multiviewer_matrix_page_test
}  // namespace kvx
