#pragma once

class QLabel;
class QWidget;

namespace kvx {

// Edits, lists and the trackbar of the matrix panels: RGB(60, 180, 255) on RGB(58, 58, 58).
void colourMatrixField(QWidget* field);
// The 16x16 panel's static labels: RGB(110, 187, 105) on RGB(58, 58, 58); greyed while disabled.
void colourMatrixLabel(QLabel* label);

}  // namespace kvx
