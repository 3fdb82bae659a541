#pragma once

class QKeyEvent;

namespace kvx {

// Every window swallows Enter and Escape, so neither closes a window. True (and the press accepted) when
// the key was one of them; the window then does nothing more with it.
bool swallowEnterAndEscape(QKeyEvent* event);

}  // namespace kvx
