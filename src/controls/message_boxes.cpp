#include "controls/message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <optional>
#include <utility>

namespace kvx {

namespace {
MessageHook& hook() {
    static MessageHook h;
    return h;
}
std::optional<bool>& nextAnswer() {
    static std::optional<bool> answer;
    return answer;
}
}  // namespace

void setMessageHook(MessageHook h) {
    hook() = std::move(h);
}

void showErrorBox(const QString& text, const QString& caption) {
    if (hook()) {
        hook()(MessageKind::Error, caption, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    box.exec();
}

bool askWarning(QWidget* parent, const QString& text) {
    if (const std::optional<bool> answer = std::exchange(nextAnswer(), std::nullopt)) return *answer;
    if (hook()) return hook()(MessageKind::Warning, QStringLiteral("Warning"), text);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    return box.exec() == QMessageBox::Ok;
}

void answerQuestion(bool ok) {
    if (auto* open = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        if (QAbstractButton* button = open->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)) {
            button->click();
            return;
        }
    }
    nextAnswer() = ok;
}

}  // namespace kvx
