#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kvx {

// One line per control of a window, for scripted runs: ID, KIND, shown|hidden, enabled|disabled, VALUE,
// separated by tabs. KIND is one of button (a picture button; VALUE its bitmap number), push (a plain push
// button; its caption), radio (1 checked, 0 not), list (the selected position, -1 for none), edit and static
// (the text). Controls are the direct children whose name is their control id, in the order of their ids.
QStringList describeControls(const QWidget* window);

}  // namespace kvx
