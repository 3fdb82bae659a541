#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace kvx {

// Every message box of the program goes through here, so tests can answer them instead of blocking.
enum class MessageKind { Error, Warning };
// Returns true when the operator chose OK.
using MessageHook = std::function<bool(MessageKind kind, const QString& caption, const QString& text)>;
void setMessageHook(MessageHook hook);

// Caption "Err" (or the given one), an OK button.
void showErrorBox(const QString& text, const QString& caption = QStringLiteral("Err"));
// Caption "Warning", a warning icon, OK and Cancel; true for OK.
bool askWarning(QWidget* parent, const QString& text);

// The answer that the next question gets without a box being shown (scripted runs). A question box that is
// open now is answered at once instead, as if its button had been clicked.
void answerQuestion(bool ok);

}  // namespace kvx
