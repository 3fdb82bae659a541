#include "controls/limit_edit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>

namespace kvx {

namespace {

constexpr char16_t kBackspace = 8;
constexpr char16_t kBackslash = 92;
constexpr char16_t kHighestAccepted = 128;

QString keptTyped(const QString& typed) {
    QString kept;
    for (const QChar c : typed) {
        if (CLimitEdit::acceptsTyped(c.unicode())) kept += c;
    }
    return kept;
}

}  // namespace

CLimitEdit::CLimitEdit(QWidget* parent) : QLineEdit(parent) {}

bool CLimitEdit::acceptsTyped(char16_t code) {
    if (code == kBackspace) return true;
    return code <= kHighestAccepted && code != kBackslash;
}

QString CLimitEdit::fitting(const QString& typed) const {
    // Only printable text is inserted; Backspace and other control characters do not add to the text.
    if (typedLimit_ <= 0 || typed.isEmpty() || !typed.front().isPrint()) return typed;
    const qsizetype room = typedLimit_ - (text().size() - selectedText().size());
    return typed.left(std::max<qsizetype>(room, 0));
}

void CLimitEdit::keyPressEvent(QKeyEvent* event) {
    const QString kept = fitting(keptTyped(event->text()));
    if (kept.size() == event->text().size()) {
        QLineEdit::keyPressEvent(event);
    } else if (!kept.isEmpty()) {
        QKeyEvent filtered(event->type(), event->key(), event->modifiers(), kept, event->isAutoRepeat());
        QLineEdit::keyPressEvent(&filtered);
    } else {
        event->accept();  // dropped: the field never sees it
    }
}

void CLimitEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString kept = fitting(keptTyped(event->commitString()));
    if (kept.size() == event->commitString().size()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

}  // namespace kvx
