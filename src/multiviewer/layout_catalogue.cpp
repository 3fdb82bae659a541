#include "multiviewer/layout_catalogue.h"

namespace kvx {
namespace {

constexpr std::array<LayoutEntry, kLayoutCount> makeCatalogue() {
    std::array<LayoutEntry, kLayoutCount> catalogue{};
    size_t n = 0;
    for (int code = 1; code <= 16; ++code) {
        catalogue[n++] = {static_cast<uint8_t>(code), 1, 0, 1082 + code, 215 + 2 * (code - 1),
                          216 + 2 * (code - 1)};
    }
    // Button and image numbers do not follow the layout order everywhere; this list is binding.
    constexpr LayoutEntry multiWindow[] = {
        {40, 4, 1, 1082, 247, 248},   {41, 4, 1, 1099, 249, 250},   {42, 4, 1, 1100, 251, 252},
        {60, 6, 2, 1101, 253, 254},   {61, 6, 2, 1117, 361, 362},   {80, 8, 3, 1102, 255, 256},
        {81, 8, 3, 1103, 257, 258},   {82, 8, 3, 1104, 259, 260},   {83, 8, 3, 1114, 369, 370},
        {90, 9, 4, 1105, 263, 264},   {91, 9, 4, 1106, 261, 262},   {92, 9, 4, 1107, 265, 266},
        {93, 9, 4, 1108, 267, 268},   {100, 10, 5, 1109, 269, 270}, {101, 10, 5, 1110, 271, 272},
        {102, 10, 5, 1115, 383, 384}, {111, 11, 6, 1111, 273, 274}, {121, 12, 7, 1112, 275, 276},
        {160, 16, 8, 1113, 277, 278}, {161, 16, 8, 1116, 391, 392},
    };
    for (const LayoutEntry& entry : multiWindow) catalogue[n++] = entry;
    return catalogue;
}

constexpr std::array<LayoutEntry, kLayoutCount> kCatalogue = makeCatalogue();

}  // namespace

const std::array<LayoutEntry, kLayoutCount>& layoutCatalogue() {
    return kCatalogue;
}

const LayoutEntry* findLayout(uint8_t code) {
    for (const LayoutEntry& entry : kCatalogue) {
        if (entry.code == code) return &entry;
    }
    return nullptr;
}

int layoutWindowCount(uint8_t code) {
    const LayoutEntry* entry = findLayout(code);
    return entry ? entry->windows : 0;
}

}  // namespace kvx
