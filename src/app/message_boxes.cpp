#include "app/message_boxes.h"

#include <QMessageBox>

namespace kvx {

namespace {
MessageHook& hook() {
    static MessageHook h;
    return h;
}
}  // namespace

void setMessageHook(MessageHook h) { hook() = std::move(h); }

void showErrorBox(const QString& text, const QString& caption) {
    if (hook()) {
        hook()(MessageKind::Error, caption, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    box.exec();
}

bool askWarning(QWidget* parent, const QString& text) {
    if (hook()) return hook()(MessageKind::Warning, QStringLiteral("Warning"), text);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace kvx
