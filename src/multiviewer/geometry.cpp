#include "multiviewer/geometry.h"

#include <initializer_list>

#include "multiviewer/derived_data.h"

namespace kvx {
namespace {

struct Place {
    int x;
    int y;
};

class TableBuilder {
public:
    // Appends one record with the next number.
    TableBuilder& add(int x, int y, int width, int height) {
        table_[next_] = {x, y, width, height, static_cast<int32_t>(next_ + 1)};
        ++next_;
        return *this;
    }
    // Appends records of one size at the given places, in order.
    TableBuilder& add(int width, int height, std::initializer_list<Place> places) {
        for (const Place& p : places) add(p.x, p.y, width, height);
        return *this;
    }
    // Appends a grid of columns x rows cells of one size, row by row from (x0, y0).
    TableBuilder& grid(int x0, int y0, int width, int height, int columns, int rows) {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) add(x0 + c * width, y0 + r * height, width, height);
        }
        return *this;
    }
    // Appends records of one size down a column (fixed x) at the given y values.
    TableBuilder& column(int x, int width, int height, std::initializer_list<int> ys) {
        for (int y : ys) add(x, y, width, height);
        return *this;
    }
    GeometryTable table() const { return table_; }

private:
    GeometryTable table_{};
    size_t next_ = 0;
};

constexpr int kSmallW = 180;
constexpr int kSmallH = 120;
constexpr int kThirdW = 240;
constexpr int kThirdH = 160;

}  // namespace

GeometryTable layoutGeometry(uint8_t code) {
    TableBuilder b;
    if (code >= 1 && code <= 16) {
        GeometryTable table{};
        table[0] = {0, 0, kCanvasWidth, kCanvasHeight, code};
        return table;
    }
    switch (code) {
        case 40:
        case 41:
        case 42:
            b.grid(0, 0, 360, 240, 2, 2);
            break;
        case 60:
        case 61:
            b.add(0, 0, 480, 320)
                .add(kThirdW, kThirdH, {{480, 0}, {480, 160}, {0, 320}, {240, 320}, {480, 320}});
            break;
        case 80:
        case 81:
            b.grid(0, 120, kSmallW, kSmallH, 4, 2);
            break;
        case 82:
            b.add(kThirdW, kThirdH,
                  {{0, 0}, {480, 0}, {0, 160}, {240, 160}, {480, 160}, {0, 320}, {240, 320}, {480, 320}});
            break;
        case 83:
            b.add(kThirdW, kThirdH,
                  {{0, 0}, {240, 0}, {480, 0}, {0, 160}, {480, 160}, {0, 320}, {240, 320}, {480, 320}});
            break;
        case 90:
        case 91:
            b.grid(0, 0, kThirdW, kThirdH, 3, 3);
            break;
        case 92:
            b.add(180, 120, 360, 240).grid(0, 0, kSmallW, kSmallH, 4, 1).grid(0, 360, kSmallW, kSmallH, 4, 1);
            break;
        case 93:
            b.add(0, 0, 360, 240).grid(0, 240, kSmallW, kSmallH, 4, 2);
            break;
        case 100:
        case 101:
            b.add(0, 0, 360, 240).add(360, 0, 360, 240).grid(0, 240, kSmallW, kSmallH, 4, 2);
            break;
        case 102:
            b.add(0, 0, 360, 240).add(0, 240, 360, 240).grid(360, 0, kSmallW, kSmallH, 2, 4);
            break;
        case 111:
            b.add(180, 120, 360, 240)
                .add(kSmallW, kSmallH, {{180, 0}, {360, 0}})
                .column(0, kSmallW, kSmallH, {0, 120, 240, 360})
                .column(540, kSmallW, kSmallH, {0, 120, 240, 360});
            break;
        case 121:
            b.add(kSmallW, kSmallH, {{180, 240}, {360, 240}, {180, 360}, {360, 360}})
                .column(0, kSmallW, kSmallH, {0, 120, 240, 360})
                .column(540, kSmallW, kSmallH, {0, 120, 240, 360});
            break;
        case 160:
        case 161:
            b.grid(0, 0, kSmallW, kSmallH, 4, 4);
            break;
        default:
            break;
    }
    return b.table();
}

void recomputeLayoutGeometry(MultiviewerState& state) {
    state.WindowGeometry = layoutGeometry(state.LayoutMode);  // records the layout does not use are zero
    recomputeWindowFormatText(state);
}

void buildSwitcherGeometry(MultiviewerState& state) {
    for (int k = 0; k < kWindowCount; ++k) {
        const auto i = static_cast<size_t>(k);
        state.SwitcherGeometry[i] = {kSmallW * (k % 4), kSmallH * (k / 4), kSmallW, kSmallH,
                                     state.MatrixRoute[i]};
    }
}

void setMatrixRoute(MultiviewerState& state, int output, uint8_t input) {
    if (output < 1 || output > kWindowCount) return;
    const auto i = static_cast<size_t>(output - 1);
    state.MatrixRoute[i] = input;
    state.SwitcherGeometry[i].number = input;
}

}  // namespace kvx
