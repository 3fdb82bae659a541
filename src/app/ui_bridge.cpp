#include "app/ui_bridge.h"

#include <QThread>

#include "controls/message_boxes.h"

namespace kvx {

ResultDispatch dispatchTo(QObject* context) {
    QPointer<QObject> guard(context);
    return [guard](std::function<void()> fn) {
        if (!guard) return;
        QMetaObject::invokeMethod(
            guard.data(),
            [guard, fn = std::move(fn)]() {
                if (guard) fn();
            },
            Qt::QueuedConnection);
    };
}

void UiErrorSink::showError(const std::string& text, const std::string& caption) {
    const QString t = QString::fromStdString(text);
    const QString c = QString::fromStdString(caption);
    if (context_ && QThread::currentThread() == context_->thread()) {
        showErrorBox(t, c);
        return;
    }
    dispatchTo(context_.data())([t, c] { showErrorBox(t, c); });
}

}  // namespace kvx
