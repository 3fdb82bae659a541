#pragma once

#include <QDialog>

namespace kvx {

// The About box: the program's icon, name and version; its OK button closes it, Enter and Escape do not.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kvx
