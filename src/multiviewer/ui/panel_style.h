#pragma once

class QRadioButton;
class QWidget;

namespace kvx {

// Lists and edits of the multiviewer pages: RGB(60, 180, 255) on RGB(58, 58, 58); greyed while disabled.
void colourPageField(QWidget* field);
// The audio page's ON and OFF buttons: a field's colours, and a ring in the text colour that is filled when
// checked, so the choice shows on the dark face.
void colourPageRadio(QRadioButton* radio);
// The UMD page's label edits: white on RGB(58, 58, 58).
void colourLabelEdit(QWidget* edit);

}  // namespace kvx
