#include "multiviewer/ui/umd_page.h"

namespace kvx {

CClass_16_view_umd::CClass_16_view_umd(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {}

}  // namespace kvx
