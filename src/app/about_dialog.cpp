#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "app/skin_icon.h"

namespace kvx {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QStringLiteral("About KORVELUX_16_VIEW"));
    auto* icon = new QLabel(this);
    icon->setPixmap(programIconPixmap());
    auto* text = new QLabel(QStringLiteral("KORVELUX_16_VIEW\n%1\n%2")
                                .arg(QString::fromLatin1(CKORVELUX_16_VIEWDlg::kTitle),
                                     QString::fromLatin1(CKORVELUX_16_VIEWDlg::kVersionText)),
                            this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

}  // namespace kvx
