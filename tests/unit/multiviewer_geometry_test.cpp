#include <gtest/gtest.h>

#include <vector>

#include "multiviewer/geometry.h"
#include "multiviewer/layout_catalogue.h"

namespace kvx {
namespace multiviewer_geometry_test {

struct Record {
    int k;  // record 1 to 16
    int x, y, width, height;
};

struct LayoutCase {
    uint8_t code;
    int windows;  // records that are not zero, all at the front
    std::vector<Record> records;
};

class LayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTable, RecordsCountAndNumbers) {
    const LayoutCase& c = GetParam();
    const GeometryTable table = layoutGeometry(c.code);
    for (const Record& r : c.records) {
        const GeometryRecord& g = table[static_cast<size_t>(r.k - 1)];
        EXPECT_EQ(g, (GeometryRecord{r.x, r.y, r.width, r.height, g.number})) << "record " << r.k;
    }
    for (int k = 1; k <= 16; ++k) {
        const GeometryRecord& g = table[static_cast<size_t>(k - 1)];
        if (k > c.windows) {
            EXPECT_EQ(g, GeometryRecord{}) << "record " << k;
            continue;
        }
        EXPECT_EQ(g.number, c.code <= 16 ? c.code : k) << "record " << k;
        EXPECT_GT(g.width, 0);
        EXPECT_LE(g.x + g.width, 720);
        EXPECT_LE(g.y + g.height, 480);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, LayoutTable,
    ::testing::Values(
        LayoutCase{1, 1, {{1, 0, 0, 720, 480}}}, LayoutCase{5, 1, {{1, 0, 0, 720, 480}}},
        LayoutCase{16, 1, {{1, 0, 0, 720, 480}}},
        LayoutCase{
            40,
            4,
            {{1, 0, 0, 360, 240}, {2, 360, 0, 360, 240}, {3, 0, 240, 360, 240}, {4, 360, 240, 360, 240}}},
        LayoutCase{41, 4, {{2, 360, 0, 360, 240}, {3, 0, 240, 360, 240}}},
        LayoutCase{42, 4, {{4, 360, 240, 360, 240}}},
        LayoutCase{60,
                   6,
                   {{1, 0, 0, 480, 320},
                    {2, 480, 0, 240, 160},
                    {3, 480, 160, 240, 160},
                    {4, 0, 320, 240, 160},
                    {6, 480, 320, 240, 160}}},
        LayoutCase{61, 6, {{1, 0, 0, 480, 320}, {5, 240, 320, 240, 160}}},
        LayoutCase{
            80,
            8,
            {{1, 0, 120, 180, 120}, {4, 540, 120, 180, 120}, {5, 0, 240, 180, 120}, {8, 540, 240, 180, 120}}},
        LayoutCase{81, 8, {{2, 180, 120, 180, 120}, {7, 360, 240, 180, 120}}},
        LayoutCase{82,
                   8,
                   {{1, 0, 0, 240, 160},
                    {2, 480, 0, 240, 160},
                    {3, 0, 160, 240, 160},
                    {4, 240, 160, 240, 160},
                    {8, 480, 320, 240, 160}}},
        LayoutCase{
            83,
            8,
            {{2, 240, 0, 240, 160},
             {3, 480, 0, 240, 160},
             {4, 0, 160, 240, 160},
             {5, 480, 160, 240, 160},
             {6, 0, 320, 240, 160}}},
        LayoutCase{
            90,
            9,
            {{1, 0, 0, 240, 160}, {3, 480, 0, 240, 160}, {4, 0, 160, 240, 160}, {9, 480, 320, 240, 160}}},
        LayoutCase{91, 9, {{5, 240, 160, 240, 160}}},
        LayoutCase{
            92,
            9,
            {{1, 180, 120, 360, 240},
             {2, 0, 0, 180, 120},
             {5, 540, 0, 180, 120},
             {6, 0, 360, 180, 120},
             {9, 540, 360, 180, 120}}},
        LayoutCase{
            93,
            9,
            {{1, 0, 0, 360, 240},
             {2, 0, 240, 180, 120},
             {5, 540, 240, 180, 120},
             {6, 0, 360, 180, 120},
             {9, 540, 360, 180, 120}}},
        LayoutCase{100,
                   10,
                   {{1, 0, 0, 360, 240},
                    {2, 360, 0, 360, 240},
                    {3, 0, 240, 180, 120},
                    {7, 0, 360, 180, 120},
                    {10, 540, 360, 180, 120}}},
        LayoutCase{101, 10, {{2, 360, 0, 360, 240}, {6, 540, 240, 180, 120}}},
        LayoutCase{102,
                   10,
                   {{1, 0, 0, 360, 240},
                    {2, 0, 240, 360, 240},
                    {3, 360, 0, 180, 120},
                    {4, 540, 0, 180, 120},
                    {5, 360, 120, 180, 120},
                    {9, 360, 360, 180, 120},
                    {10, 540, 360, 180, 120}}},
        LayoutCase{111,
                   11,
                   {{1, 180, 120, 360, 240},
                    {2, 180, 0, 180, 120},
                    {3, 360, 0, 180, 120},
                    {4, 0, 0, 180, 120},
                    {7, 0, 360, 180, 120},
                    {8, 540, 0, 180, 120},
                    {11, 540, 360, 180, 120}}},
        LayoutCase{121,
                   12,
                   {{1, 180, 240, 180, 120},
                    {2, 360, 240, 180, 120},
                    {3, 180, 360, 180, 120},
                    {4, 360, 360, 180, 120},
                    {5, 0, 0, 180, 120},
                    {8, 0, 360, 180, 120},
                    {9, 540, 0, 180, 120},
                    {12, 540, 360, 180, 120}}},
        LayoutCase{
            160,
            16,
            {{1, 0, 0, 180, 120}, {4, 540, 0, 180, 120}, {5, 0, 120, 180, 120}, {16, 540, 360, 180, 120}}},
        LayoutCase{161, 16, {{12, 540, 240, 180, 120}}}, LayoutCase{0, 0, {}}, LayoutCase{17, 0, {}},
        LayoutCase{43, 0, {}}, LayoutCase{110, 0, {}}, LayoutCase{120, 0, {}}, LayoutCase{162, 0, {}},
        LayoutCase{255, 0, {}}),
    [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST(LayoutTable, EveryCatalogueLayoutHasOneRecordPerWindow) {
    for (const LayoutEntry& entry : layoutCatalogue()) {
        const GeometryTable table = layoutGeometry(entry.code);
        int used = 0;
        for (const GeometryRecord& g : table) used += g.width > 0 ? 1 : 0;
        EXPECT_EQ(used, entry.windows) << "layout " << int(entry.code);
    }
}

TEST(RecomputeLayoutGeometry, ReplacesEveryRecordAndDerivesFormatTexts) {
    MultiviewerState state;
    state.LayoutMode = 160;
    recomputeLayoutGeometry(state);
    state.LayoutMode = 40;
    state.WindowSignal[0] = {1, 27};
    recomputeLayoutGeometry(state);
    EXPECT_EQ(state.WindowGeometry[3], (GeometryRecord{360, 240, 360, 240, 4}));
    EXPECT_EQ(state.WindowGeometry[4], GeometryRecord{});
    EXPECT_EQ(state.WindowGeometry[15], GeometryRecord{});
    EXPECT_EQ(state.WindowFormatText[0], u"1080p50");
    EXPECT_EQ(state.WindowFormatText[1], u"No Signal");

    state.LayoutMode = 110;
    recomputeLayoutGeometry(state);
    EXPECT_EQ(state.WindowGeometry, GeometryTable{});
}

TEST(SwitcherGeometry, FourRowsOfFourNumberedWithTheRoutedInput) {
    MultiviewerState state;
    for (size_t k = 0; k < 16; ++k) state.MatrixRoute[k] = static_cast<uint8_t>(16 - k);
    buildSwitcherGeometry(state);
    EXPECT_EQ(state.SwitcherGeometry[0], (GeometryRecord{0, 0, 180, 120, 16}));
    EXPECT_EQ(state.SwitcherGeometry[3], (GeometryRecord{540, 0, 180, 120, 13}));
    EXPECT_EQ(state.SwitcherGeometry[4], (GeometryRecord{0, 120, 180, 120, 12}));
    EXPECT_EQ(state.SwitcherGeometry[11],
              (GeometryRecord{540, 240, 180, 120, 5}));  // third row, fourth column
    EXPECT_EQ(state.SwitcherGeometry[15], (GeometryRecord{540, 360, 180, 120, 1}));
}

TEST(SwitcherGeometry, SetMatrixRouteMovesRouteAndCellNumberTogether) {
    MultiviewerState state;
    buildSwitcherGeometry(state);
    setMatrixRoute(state, 12, 3);
    EXPECT_EQ(state.MatrixRoute[11], 3);
    EXPECT_EQ(state.SwitcherGeometry[11].number, 3);
    EXPECT_EQ(state.SwitcherGeometry[11].x, 540);
    const MultiviewerState before = state;
    setMatrixRoute(state, 0, 3);
    setMatrixRoute(state, 17, 3);
    EXPECT_EQ(state.MatrixRoute, before.MatrixRoute);
    EXPECT_EQ(state.SwitcherGeometry, before.SwitcherGeometry);
}

}  // namespace multiviewer_geometry_test
}  // namespace kvx
