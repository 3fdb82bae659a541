#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kvx {

// One layout that the layout mode page offers, with the picture button that selects it.
struct LayoutEntry {
    uint8_t code;
    int windows;           // windows drawn, in record order
    int group;             // position of its entry in the PICTURE list
    int button;            // control id of its picture button
    int normalImage;       // bitmap resources of the button
    int highlightedImage;  // shown while the layout is the current one
};
inline constexpr size_t kLayoutCount = 36;
const std::array<LayoutEntry, kLayoutCount>& layoutCatalogue();
// The catalogue entry of a code; nullptr for a code outside the catalogue (0, 110, 120, ...).
const LayoutEntry* findLayout(uint8_t code);
// Windows of a catalogue layout; 0 outside the catalogue.
int layoutWindowCount(uint8_t code);

// The PICTURE list: one entry per window count.
struct LayoutGroup {
    const char* text;
    int windows;
};
inline constexpr std::array<LayoutGroup, 9> kLayoutGroups{{
    {"WIN 1", 1},
    {"WIN 4", 4},
    {"WIN 6", 6},
    {"WIN 8", 8},
    {"WIN 9", 9},
    {"WIN 10", 10},
    {"WIN 11", 11},
    {"WIN 12", 12},
    {"WIN 16", 16},
}};

}  // namespace kvx
