#include "app/ui_bridge.h"

#include <QThread>

#include "controls/message_boxes.h"

namespace kvx {

void UiErrorSink::showError(const std::string& text, const std::string& caption) {
    const QString t = QString::fromStdString(text);
    const QString c = QString::fromStdString(caption);
    if (context_ && QThread::currentThread() == context_->thread()) {
        showErrorBox(t, c);
        return;
    }
    dispatch_([t, c] { showErrorBox(t, c); });
}

}  // namespace kvx
