#include "multiviewer/ui/page_catalogue.h"

#include "multiviewer/ui/audio_page.h"
#include "multiviewer/ui/colour_page.h"
#include "multiviewer/ui/layout_mode_page.h"
#include "multiviewer/ui/matrix_page.h"
#include "multiviewer/ui/settings_page.h"
#include "multiviewer/ui/umd_page.h"

namespace kvx {

namespace {

template <class Page>
MultiviewerPage* make(const PageContext& context, QWidget* parent) {
    return new Page(context, parent);
}

constexpr std::array<PageEntry, 6> kPages{{
    {kPageLayout, 1009, 750, 290, 291, make<CClass_16_view_mode>},
    {kPageMatrix, 1015, 820, 292, 293, make<CClass_16_view_matrix>},
    {kPageUmd, 1010, 895, 294, 295, make<CClass_16_view_umd>},
    {kPageAudio, 1016, 995, 284, 285, make<CClass_16_view_audio>},
    {kPageColour, 1011, 1065, 286, 287, make<CClass_16_view_color>},
    {kPageSettings, 1012, 1135, 288, 289, make<CClass_16_view_set>},
}};

}  // namespace

const std::array<PageEntry, 6>& pageCatalogue() {
    return kPages;
}

const PageEntry* findPage(int page) {
    for (const PageEntry& entry : kPages) {
        if (entry.page == page) return &entry;
    }
    return nullptr;
}

}  // namespace kvx
