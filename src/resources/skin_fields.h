#pragma once

#include <QColor>

class QWidget;

namespace kvx::skin {

// The one look of the edits, drop-down lists and trackbars of every window: the window's text colour on
// the field colour, and, while disabled, grey text on the window face, so a field that cannot be used
// (even an empty one) shows it. A drop-down list's open list has the same colours as the closed list.
void styleField(QWidget* field, const QColor& text);

}  // namespace kvx::skin
