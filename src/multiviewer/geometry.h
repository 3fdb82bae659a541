#pragma once

#include <cstdint>

#include "multiviewer/multiviewer_state.h"

namespace kvx {

inline constexpr int kCanvasWidth = 720;
inline constexpr int kCanvasHeight = 480;

// The window records of a layout code on the 720 x 480 canvas; all zero for a code without geometry.
GeometryTable layoutGeometry(uint8_t layoutCode);

// Rebuilds WindowGeometry from LayoutMode (zeroed first), then derives WindowFormatText. The caller asks for
// the repaint.
void recomputeLayoutGeometry(MultiviewerState& state);

// The switcher-mode grid: four rows of four 180 x 120 cells, each numbered with the input routed to it.
void buildSwitcherGeometry(MultiviewerState& state);

// Routes an input to an output (1 to 16) in switcher mode: MatrixRoute and the number of that output's cell.
// Other outputs are ignored.
void setMatrixRoute(MultiviewerState& state, int output, uint8_t input);

}  // namespace kvx
