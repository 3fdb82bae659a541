#pragma once

class QWidget;

namespace kvx {

// Lists and edits of the multiviewer pages: RGB(60, 180, 255) on RGB(58, 58, 58); greyed while disabled.
void colourPageField(QWidget* field);
// The UMD page's label edits: white on RGB(58, 58, 58).
void colourLabelEdit(QWidget* edit);

}  // namespace kvx
