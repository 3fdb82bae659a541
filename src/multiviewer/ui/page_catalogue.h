#pragma once

#include <array>
#include <cstdint>

class QWidget;

namespace kvx {

class MultiviewerPage;
struct PageContext;

// One page of the multiviewer panel and the page button that shows it.
struct PageEntry {
    uint8_t page;        // the CurrentPage value
    int buttonId;        // control id of its page button
    int buttonX;         // design x of the button; every page button stands at y = 15
    int normalBitmap;    // the button's bitmaps; their sizes are the buttons' (unscaled) sizes
    int selectedBitmap;  // marks the page shown
    MultiviewerPage* (*create)(const PageContext& context, QWidget* parent);
};

// The six pages in the order of their buttons, left to right: layout, switcher, UMD, audio, colours,
// settings. Adding a page is adding its class and a row here.
const std::array<PageEntry, 6>& pageCatalogue();
// The entry of a CurrentPage value; nullptr for 0 or any other value.
const PageEntry* findPage(int page);

}  // namespace kvx
