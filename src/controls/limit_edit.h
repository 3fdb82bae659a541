#pragma once

#include <QLineEdit>

namespace kvx {

// An edit field that refuses, as they are typed, the characters its owner's device cannot store: codes
// above 128 and the backslash. Text that arrives otherwise (pasting, setText) is taken as it is; the
// length limit is the owner's to set.
class CLimitEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CLimitEdit(QWidget* parent = nullptr);

    // Whether a typed character with this code reaches the field.
    static bool acceptsTyped(char16_t code);

    // Typing stops adding characters once the text holds this many (0: no limit). Unlike a maximum length,
    // it leaves longer text that is set or pasted whole: the operator can shorten it but not lengthen it.
    void setTypedLimit(int characters) { typedLimit_ = characters; }
    int typedLimit() const { return typedLimit_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;  // characters composed by an input method

private:
    // The typed characters that fit within the typed limit, once the selection they replace is gone.
    QString fitting(const QString& typed) const;

    int typedLimit_ = 0;
};

}  // namespace kvx
