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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;  // characters composed by an input method
};

}  // namespace kvx
