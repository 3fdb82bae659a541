#include "multiviewer/ui/colour_page.h"

namespace kvx {

CClass_16_view_color::CClass_16_view_color(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {}

}  // namespace kvx
