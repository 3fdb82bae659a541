#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "multiviewer/multiviewer_state.h"

// What the layout preview draws for each layout, as data: the drawn rectangles, where labels, meters and
// format texts go, and the clock faces and bars. Canvas units (720 x 480); the painter scales them.
namespace kvx::preview {

inline constexpr Rgb kBackground{152, 152, 152};
inline constexpr Rgb kGreen{110, 187, 105};  // frames with borders on, switcher frames, numbers, meters, bars
inline constexpr Rgb kFrameNoBorder{192, 192, 192};
inline constexpr Rgb kWindowInside{57, 60, 65};
inline constexpr int kFrameWidth = 2;
inline constexpr int kNumberOffset = 5;          // numbers at (x + w / 2 - 5, y + h / 2 - 5)
inline constexpr int kFormatTextFromRight = 70;  // format text at (x + w - 70, y + F)

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// The rectangle drawn for record k (1 to 16) of a layout: the record itself where windows touch, shrunk
// where the layout has gaps.
Rect drawnRect(uint8_t layout, int k, const GeometryRecord& record);

// A label position relative to the drawn rectangle: x = cx + fromCentre + perChar * L, y = y + down, where
// cx = x + w / 2 and L is the label's length in characters.
struct LabelPosition {
    int fromCentre = 0;
    int perChar = 0;
    int down = 0;
};
struct ElementRule {
    int shortLimit = 0;  // T: labels of up to T characters are drawn whole at the short position
    LabelPosition shortAt;
    int longPrefix = 0;  // longer labels: their first P characters and "...", or whole when 0
    LabelPosition longAt;
    Rect meter;          // relative to the drawn rectangle's top-left corner
    int formatDown = 0;  // F
};
// The rule of window k (1 to 16) of a catalogue layout; none outside the catalogue or its window count.
std::optional<ElementRule> elementRule(uint8_t layout, int k);

struct LabelPlacement {
    std::u16string text;
    Point at;
};
LabelPlacement placeLabel(const ElementRule& rule, const Rect& drawn, std::u16string_view label);
Rect meterRect(const ElementRule& rule, const Rect& drawn);
Point formatTextPosition(const ElementRule& rule, const Rect& drawn);
Point numberPosition(const Rect& drawn);

// The window whose per-window elements (source, colours, meter, format text) window k of a layout shows: the
// window numbered with the layout code for a single-window layout, window k otherwise.
int elementWindow(uint8_t layout, int k);

// A clock face: an ellipse in its box, filled with the green brush and outlined in black, with two hands from
// the box's centre.
struct ClockFace {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    Point hourHand;    // straight up
    Point minuteHand;  // to the right
    Point centre() const { return {(left + right) / 2, (top + bottom) / 2}; }
};
struct LayoutDecor {
    std::optional<ClockFace> clock;
    std::vector<Rect> bars;  // filled green
};
LayoutDecor layoutDecor(uint8_t layout);

}  // namespace kvx::preview
