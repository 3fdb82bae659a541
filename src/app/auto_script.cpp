#include "app/auto_script.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "app/settings_dialog.h"

namespace kvx {

namespace {
constexpr int kSettleMs = 50;  // lets queued results reach the window between two steps
}

AutoScript::AutoScript(CKORVELUX_16_VIEWDlg& window, const QString& steps)
    : QObject(&window), window_(window), steps_(steps.split(QLatin1Char(','), Qt::SkipEmptyParts)) {}

QString AutoScript::validate(const QString& steps) {
    for (const QString& step : steps.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString verb = step.section(QLatin1Char(':'), 0, 0);
        const QString arg = step.section(QLatin1Char(':'), 1);
        bool number = false;
        arg.toInt(&number);
        const bool ok = ((verb == "search" || verb == "print" || verb == "quit") && arg.isEmpty()) ||
                        ((verb == "click" || verb == "select" || verb == "wait") && number) ||
                        ((verb == "screenshot" || verb == "serial") && !arg.isEmpty());
        if (!ok) return QStringLiteral("unknown step: ") + step;
    }
    return {};
}

void AutoScript::start() { QTimer::singleShot(kSettleMs, this, &AutoScript::next); }

void AutoScript::next() {
    if (position_ >= steps_.size()) return;
    const QString step = steps_[position_++];
    const QString verb = step.section(QLatin1Char(':'), 0, 0);
    const QString arg = step.section(QLatin1Char(':'), 1);
    int delay = kSettleMs;
    if (verb == "search") {
        connect(&window_, &CKORVELUX_16_VIEWDlg::searchFinished, this,
                [this] { QTimer::singleShot(kSettleMs, this, &AutoScript::next); },
                Qt::SingleShotConnection);
        window_.search();
        return;
    }
    if (verb == "serial") {
        // As CONNECT in the settings dialog: the serial link, with the port open at 9600 baud.
        window_.setLinkChoice(kLinkSerial);
        CnComm& port = window_.serialPort();
        window_.worker().request<bool>(
            [&port, name = arg.toStdString()] { return port.open(name, 9600); },
            [this, arg](bool opened) {
                if (opened) window_.portOpenFlag = 1;
                else std::fprintf(stderr, "cannot open %s\n", qPrintable(arg));
                QTimer::singleShot(kSettleMs, this, &AutoScript::next);
            },
            dispatchTo(this));
        return;
    }
    if (verb == "click") {
        if (auto* button = window_.findChild<QAbstractButton*>(arg)) button->click();
        else std::fprintf(stderr, "no button %s\n", qPrintable(arg));
    } else if (verb == "select") {
        const int index = arg.toInt();
        window_.deviceList()->setCurrentIndex(index);
        window_.chooseDevice(index);
    } else if (verb == "wait") {
        delay = arg.toInt();
    } else if (verb == "print") {
        for (int i = 0; i < window_.deviceList()->count(); ++i)
            std::printf("item\t%s\n", window_.deviceList()->itemText(i).toLocal8Bit().constData());
        std::printf("status\t%s\n", window_.statusLabel()->text().toLocal8Bit().constData());
        std::fflush(stdout);
    } else if (verb == "screenshot") {
        // The settings pop-up is a window of its own: it is drawn where it stands over the main window.
        QPixmap shot = window_.grab();
        if (QWidget* dialog = window_.settingsDialog(); dialog && dialog->isVisible()) {
            QPainter painter(&shot);
            painter.drawPixmap(dialog->pos() - window_.pos(), dialog->grab());
        }
        if (!shot.save(arg)) std::fprintf(stderr, "cannot write %s\n", qPrintable(arg));
    } else if (verb == "quit") {
        window_.closeProgram();
        QApplication::quit();
        return;
    }
    QTimer::singleShot(delay, this, &AutoScript::next);
}

}  // namespace kvx
