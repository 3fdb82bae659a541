#include "multiviewer/ui/audio_page.h"

namespace kvx {

CClass_16_view_audio::CClass_16_view_audio(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {}

}  // namespace kvx
