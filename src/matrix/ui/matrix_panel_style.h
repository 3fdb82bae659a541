#pragma once

class QLabel;

namespace kvx {

// The 16x16 panel's static labels: RGB(110, 187, 105) on RGB(58, 58, 58); greyed while disabled.
void colourMatrixLabel(QLabel* label);

}  // namespace kvx
