#include "app/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "app/skin_icon.h"
#include "controls/window_keys.h"

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
    // Only a click closes the box: OK is no default button, so Enter does not press it.
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

void CAboutDlg::keyPressEvent(QKeyEvent* event) {
    if (!swallowEnterAndEscape(event)) QDialog::keyPressEvent(event);
}

}  // namespace kvx
