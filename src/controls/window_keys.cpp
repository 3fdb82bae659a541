#include "controls/window_keys.h"

#include <QKeyEvent>

namespace kvx {

bool swallowEnterAndEscape(QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) return false;
    event->accept();
    return true;
}

}  // namespace kvx
