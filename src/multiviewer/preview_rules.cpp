#include "multiviewer/preview_rules.h"

#include "multiviewer/layout_catalogue.h"

namespace kvx::preview {
namespace {

struct Shrink {
    int dx, dy, dw, dh;
};

Rect shrunk(const GeometryRecord& r, Shrink s) {
    return {r.x + s.dx, r.y + s.dy, r.width + s.dw, r.height + s.dh};
}

// Labels drawn centred at cx - a * L, or at a fixed offset.
constexpr LabelPosition perChar(int a, int down) {
    return {0, -a, down};
}
constexpr LabelPosition fixed(int fromCentre, int down) {
    return {fromCentre, 0, down};
}

ElementRule rule(int t, LabelPosition shortAt, int prefix, LabelPosition longAt, Rect meter, int f) {
    return {t, shortAt, prefix, longAt, meter, f};
}

constexpr int kWhole = 0;

}  // namespace

Rect drawnRect(uint8_t layout, int k, const GeometryRecord& r) {
    switch (layout) {
        case 41:
            return shrunk(r, {40, 25, -56, -50});
        case 42:
            return shrunk(r, {40, k <= 2 ? 25 : 75, -80, -100});
        case 61:
        case 82:
        case 83:
        case 91:
        case 92:
        case 93:
        case 101:
        case 102:
            return shrunk(r, {40, 25, -52, -50});
        case 81:
            return shrunk(r, {40, 25, -48, -50});
        case 111:
        case 121:
        case 161:
            return shrunk(r, {32, 25, -44, -50});
        default:
            return {r.x, r.y, r.width, r.height};
    }
}

std::optional<ElementRule> elementRule(uint8_t layout, int k) {
    if (k < 1 || k > layoutWindowCount(layout)) return std::nullopt;
    if (layout <= 16) return rule(20, fixed(-140, 420), 7, fixed(-48, 420), {20, 120, 45, 336}, 10);
    const bool first = k == 1;
    const bool firstTwo = k <= 2;
    switch (layout) {
        case 40:
            return rule(20, fixed(-100, 210), 7, fixed(-48, 210), {20, 60, 22, 168}, 10);
        case 41:
            return rule(20, fixed(-100, 192), 7, fixed(-48, 192), {-35, 47, 30, 133}, -20);
        case 42:
            return rule(20, fixed(-100, 142), 20, fixed(-48, 142), {-35, 35, 25, 98}, -20);
        case 60:
            if (first) return rule(10, perChar(4, 280), kWhole, perChar(5, 280), {20, 80, 30, 224}, 10);
            return rule(10, perChar(4, 140), 10, fixed(-64, 140), {20, 40, 15, 112}, 10);
        case 61:
            if (first) return rule(10, fixed(-107, 272), kWhole, perChar(5, 236), {-35, 67, 25, 189}, -20);
            return rule(10, fixed(-47, 112), 10, fixed(-64, 112), {-35, 27, 25, 77}, -20);
        case 80:
            return rule(8, perChar(4, 97), 8, fixed(-48, 97), {20, 30, 20, 84}, 5);
        case 81:
            return rule(8, perChar(4, 72), 8, fixed(-64, 72), {-35, 17, 20, 56}, -20);
        case 82:
        case 83:
            return rule(10, perChar(4, 112), 10, fixed(-72, 112), {-35, 27, 25, 77}, -20);
        case 90:
            return rule(10, perChar(4, 140), 10, fixed(-64, 140), {20, 40, 25, 112}, 5);
        case 91:
            return rule(8, perChar(4, 115), 8, fixed(-72, 115), {-35, 27, 25, 77}, -20);
        case 92:
        case 93:
            if (first) return rule(8, perChar(4, 192), kWhole, perChar(8, 192), {-35, 47, 25, 133}, -20);
            return rule(8, perChar(4, 72), 8, fixed(-64, 72), {-35, 17, 25, 49}, -20);
        case 100:
            if (firstTwo) return rule(8, perChar(6, 210), kWhole, perChar(5, 210), {20, 60, 22, 168}, 10);
            return rule(8, perChar(6, 97), 8, fixed(-56, 105), {20, 30, 11, 84}, 10);
        case 101:
        case 102:
            if (firstTwo) return rule(8, perChar(4, 192), kWhole, perChar(6, 192), {-35, 47, 25, 133}, -20);
            return rule(8, perChar(4, 72), 8, fixed(-64, 72), {-35, 17, 25, 49}, -20);
        case 111:
            if (first) return rule(8, perChar(4, 192), kWhole, perChar(8, 192), {-20, 47, 15, 133}, -20);
            return rule(8, perChar(4, 72), 8, fixed(-64, 72), {-20, 17, 15, 49}, -20);
        case 121:
            return rule(8, perChar(4, 72), 8, fixed(-64, 72), {-20, 17, 15, 49}, -20);
        case 160:
            return rule(8, perChar(4, 97), 8, fixed(-58, 97), {20, 30, 11, 72}, 10);
        case 161:
            return rule(8, perChar(4, 72), 8, fixed(-64, 72), {-20, 17, 15, 49}, -20);
        default:
            return std::nullopt;
    }
}

LabelPlacement placeLabel(const ElementRule& rule, const Rect& drawn, std::u16string_view label) {
    const int length = static_cast<int>(label.size());
    const int cx = drawn.x + drawn.width / 2;
    const bool whole = length <= rule.shortLimit || rule.longPrefix == kWhole;
    const LabelPosition& at = length <= rule.shortLimit ? rule.shortAt : rule.longAt;
    LabelPlacement placement;
    placement.text = whole ? std::u16string(label)
                           : std::u16string(label.substr(0, static_cast<size_t>(rule.longPrefix))) + u"...";
    placement.at = {cx + at.fromCentre + at.perChar * length, drawn.y + at.down};
    return placement;
}

Rect meterRect(const ElementRule& rule, const Rect& drawn) {
    return {drawn.x + rule.meter.x, drawn.y + rule.meter.y, rule.meter.width, rule.meter.height};
}

Point formatTextPosition(const ElementRule& rule, const Rect& drawn) {
    return {drawn.x + drawn.width - kFormatTextFromRight, drawn.y + rule.formatDown};
}

Point numberPosition(const Rect& drawn) {
    return {drawn.x + drawn.width / 2 - kNumberOffset, drawn.y + drawn.height / 2 - kNumberOffset};
}

int elementWindow(uint8_t layout, int k) {
    return layout >= 1 && layout <= 16 ? layout : k;
}

LayoutDecor layoutDecor(uint8_t layout) {
    switch (layout) {
        case 42:
            return {ClockFace{300, 180, 420, 300, {360, 195}, {405, 240}}, {}};
        case 82:
            return {std::nullopt, {{280, 40, 180, 30}, {280, 96, 180, 30}}};
        case 83:
            return {std::nullopt, {{280, 200, 180, 30}, {280, 256, 180, 30}}};
        case 92:
            return {ClockFace{0, 150, 180, 330, {90, 195}, {135, 240}},
                    {{552, 180, 156, 45}, {552, 255, 156, 45}}};
        case 93:
            return {ClockFace{360, 30, 540, 210, {450, 75}, {495, 120}},
                    {{552, 60, 156, 45}, {552, 135, 156, 45}}};
        case 111:
            return {std::nullopt,
                    {{225, 375, 120, 30}, {225, 420, 120, 30}, {405, 375, 120, 30}, {405, 420, 120, 30}}};
        case 121:
            return {ClockFace{180, 30, 360, 210, {270, 75}, {315, 120}},
                    {{368, 60, 164, 45}, {368, 135, 164, 45}}};
        default:
            return {};
    }
}

}  // namespace kvx::preview
