#pragma once

#include "multiviewer/multiviewer_state.h"

namespace kvx {

// Derives one WindowRgb array from its colour field. The two UMD arrays take, for window w, the colour of the
// input that w shows; the four others take window w's own colour. An index above 15 (or a window showing no
// valid input) keeps the window's previous triple. The repaint is the caller's.
void recomputeColours(MultiviewerState& state, ColourArray which);
void recomputeAllColours(MultiviewerState& state);

// "No Signal" for a window without signal, else the text of its format code; an unknown code keeps the text.
void recomputeWindowFormatText(MultiviewerState& state);

}  // namespace kvx
