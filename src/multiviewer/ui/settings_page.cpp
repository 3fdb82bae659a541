#include "multiviewer/ui/settings_page.h"

namespace kvx {

CClass_16_view_set::CClass_16_view_set(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {}

}  // namespace kvx
