#include "app/panel_factory.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "multiviewer/ui/multiviewer_panel.h"

namespace kvx {

namespace {

// Stands in for a device panel whose pages are still to come: it names the device it would control.
QWidget* placeholderPanel(const QString& text, QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("placeholderPanel"));
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(58, 58, 58));
    palette.setColor(QPalette::WindowText, QColor(60, 180, 255));
    panel->setPalette(palette);
    auto* label = new QLabel(text, panel);
    QFont font = label->font();
    font.setPointSize(18);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(label);
    return panel;
}

}  // namespace

bool hasDevicePanel(uint8_t deviceType) { return deviceType == 0x82 || deviceType == 0x83 || deviceType == 0xA1; }

QWidget* createDevicePanel(uint8_t deviceType, PanelContext& context, QWidget* parent) {
    (void)context;
    switch (deviceType) {
        case 0x82:
            return placeholderPanel(QStringLiteral("8x8 HD matrix switcher (type 0x82)"), parent);
        case 0x83:
            return placeholderPanel(QStringLiteral("16x16 HD matrix switcher (type 0x83)"), parent);
        case 0xA1:
            return new CClass_child_main_dlg(context, dynamic_cast<CKORVELUX_16_VIEWDlg&>(context).multiviewer(),
                                             parent);
        default:
            return nullptr;
    }
}

}  // namespace kvx
