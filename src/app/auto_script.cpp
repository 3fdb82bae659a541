#include "app/auto_script.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#include "app/control_listing.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "controls/message_boxes.h"
#include "multiviewer/state_print.h"
#include "multiviewer/ui/multiviewer_panel.h"

namespace kvx {

const char* const kAutoStepsHelp =
    "      search             press SEARCH and wait for its result\n"
    "      select:N           choose entry N of the device list\n"
    "      wait:MS            wait MS milliseconds\n"
    "      serial:PORT        the serial link, with PORT open (as CONNECT does)\n"
    "      click:ID           click the picture or push button with control id ID\n"
    "      choose:ID:POS      the list ID chooses position POS (0 first) as the operator would\n"
    "      open:ID            open the list ID, as a click on it does (it shows on screenshots)\n"
    "      type:ID:TEXT       the edit ID takes the focus and TEXT replaces its text as if typed (no "
    "commas)\n"
    "      key:NAME           Enter, Escape or Tab pressed in the control that has the focus\n"
    "      answer:ok|cancel   the answer to the question box that is open, or else to the next one\n"
    "      print              the device list items and the status text\n"
    "      model              the multiviewer model, one field per line, as korvelux-ctl status prints it\n"
    "      controls           one line per control of the panel and of the page shown:\n"
    "                         ID, KIND, shown|hidden, enabled|disabled, VALUE, tab-separated\n"
    "      screenshot:FILE    save the window as a PNG\n"
    "      quit               close the window and end\n";

namespace {

constexpr int kSettleMs = 50;  // lets queued results reach the window between two steps

bool isNumber(const QString& text) {
    bool number = false;
    text.toInt(&number);
    return number;
}

void warn(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

AutoScript::AutoScript(CKORVELUX_16_VIEWDlg& window, const QString& steps)
    : QObject(&window), window_(window), steps_(steps.split(QLatin1Char(','), Qt::SkipEmptyParts)) {}

QString AutoScript::validate(const QString& steps) {
    for (const QString& step : steps.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString verb = step.section(QLatin1Char(':'), 0, 0);
        const QString arg = step.section(QLatin1Char(':'), 1);
        const QString first = arg.section(QLatin1Char(':'), 0, 0);
        const QString rest = arg.section(QLatin1Char(':'), 1);
        const bool bare = arg.isEmpty() && step.indexOf(QLatin1Char(':')) < 0;
        const bool ok = ((verb == "search" || verb == "print" || verb == "quit" || verb == "model" ||
                          verb == "controls") &&
                         bare) ||
                        ((verb == "click" || verb == "open" || verb == "select" || verb == "wait") && isNumber(arg)) ||
                        ((verb == "screenshot" || verb == "serial") && !arg.isEmpty()) ||
                        (verb == "choose" && isNumber(first) && isNumber(rest)) ||
                        (verb == "type" && isNumber(first) && arg.contains(QLatin1Char(':'))) ||
                        (verb == "key" && (arg == "Enter" || arg == "Escape" || arg == "Tab")) ||
                        (verb == "answer" && (arg == "ok" || arg == "cancel"));
        if (!ok) return QStringLiteral("unknown step: ") + step;
    }
    return {};
}

void AutoScript::start() {
    schedule(kSettleMs);
}

void AutoScript::schedule(int delayMs) {
    QTimer::singleShot(delayMs, this, &AutoScript::next);
}

void AutoScript::next() {
    if (position_ >= steps_.size()) return;
    const QString step = steps_[position_++];
    const QString verb = step.section(QLatin1Char(':'), 0, 0);
    const QString arg = step.section(QLatin1Char(':'), 1);
    if (verb == "search") {
        connect(
            &window_, &CKORVELUX_16_VIEWDlg::searchFinished, this, [this] { schedule(kSettleMs); },
            Qt::SingleShotConnection);
        window_.search();
        return;
    }
    if (verb == "serial") {
        // As CONNECT in the settings dialog: the serial link, with the port open at 9600 baud.
        window_.setLinkChoice(kLinkSerial);
        CnComm& port = window_.serialPort();
        window_.worker().request<bool>([&port, name = arg.toStdString()] { return port.open(name, 9600); },
                                       [this, arg](bool opened) {
                                           if (opened)
                                               window_.portOpenFlag = 1;
                                           else
                                               warn(QStringLiteral("cannot open ") + arg);
                                           schedule(kSettleMs);
                                       },
                                       dispatchTo(this));
        return;
    }
    if (verb == "quit") {
        window_.closeProgram();
        QApplication::quit();
        return;
    }
    schedule(verb == "wait" ? arg.toInt() : kSettleMs);
    run(verb, arg);
}

void AutoScript::run(const QString& verb, const QString& arg) {
    if (verb == "click") {
        if (auto* button = usableControl<QAbstractButton>(arg)) button->click();
    } else if (verb == "open") {
        if (auto* list = usableControl<QComboBox>(arg)) list->showPopup();
    } else if (verb == "choose") {
        const QString id = arg.section(QLatin1Char(':'), 0, 0);
        const int position = arg.section(QLatin1Char(':'), 1).toInt();
        if (auto* list = usableControl<QComboBox>(id)) {
            if (position < 0 || position >= list->count()) {
                warn(QStringLiteral("list %1 has no position %2").arg(id).arg(position));
                return;
            }
            list->setCurrentIndex(position);
            emit list->activated(position);
        }
    } else if (verb == "type") {
        typeText(arg.section(QLatin1Char(':'), 0, 0), arg.section(QLatin1Char(':'), 1));
    } else if (verb == "key") {
        pressKey(arg);
    } else if (verb == "answer") {
        answerQuestion(arg == "ok");
    } else if (verb == "select") {
        const int index = arg.toInt();
        window_.deviceList()->setCurrentIndex(index);
        window_.chooseDevice(index);
    } else if (verb == "print") {
        for (int i = 0; i < window_.deviceList()->count(); ++i)
            std::printf("item\t%s\n", window_.deviceList()->itemText(i).toLocal8Bit().constData());
        std::printf("status\t%s\n", window_.statusLabel()->text().toLocal8Bit().constData());
    } else if (verb == "model") {
        printMultiviewerState(window_.multiviewer(), stdout);
    } else if (verb == "controls") {
        printControls();
    } else if (verb == "screenshot") {
        screenshot(arg);
    }
    std::fflush(stdout);
}

template <class Control>
Control* AutoScript::usableControl(const QString& id) const {
    Control* found = nullptr;
    if (auto* panel = qobject_cast<CClass_child_main_dlg*>(window_.currentPanel())) {
        if (MultiviewerPage* page = panel->currentPage())
            found = page->findChild<Control*>(id, Qt::FindDirectChildrenOnly);
    }
    if (!found && window_.currentPanel())
        found = window_.currentPanel()->template findChild<Control*>(id, Qt::FindDirectChildrenOnly);
    if (!found) found = window_.findChild<Control*>(id);
    if (!found) {
        warn(QStringLiteral("no control %1").arg(id));
    } else if (!found->isVisible() || !found->isEnabled()) {
        warn(QStringLiteral("control %1 is %2").arg(id, found->isVisible() ? "disabled" : "hidden"));
        return nullptr;
    }
    return found;
}

void AutoScript::typeText(const QString& id, const QString& text) {
    auto* edit = usableControl<QLineEdit>(id);
    if (!edit) return;
    window_.activateWindow();
    edit->setFocus(Qt::OtherFocusReason);
    // Typed key by key, so the edit's own filter and length limit apply; the first key replaces it all.
    edit->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(edit, &erase);
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

void AutoScript::pressKey(const QString& name) {
    const int key = name == "Enter" ? Qt::Key_Return : name == "Escape" ? Qt::Key_Escape : Qt::Key_Tab;
    QWidget* target = QApplication::focusWidget();
    if (!target) target = &window_;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (QWidget* still = QApplication::focusWidget()) QApplication::sendEvent(still, &release);
}

void AutoScript::printControls() const {
    QWidget* panel = window_.currentPanel();
    if (!panel) return;
    QStringList lines = describeControls(panel);
    if (auto* multiviewer = qobject_cast<CClass_child_main_dlg*>(panel);
        multiviewer && multiviewer->currentPage())
        lines += describeControls(multiviewer->currentPage());
    for (const QString& line : lines) std::printf("%s\n", line.toUtf8().constData());
}

void AutoScript::screenshot(const QString& file) const {
    // The settings pop-up is a window of its own: it is drawn where it stands over the main window.
    QPixmap shot = window_.grab();
    if (QWidget* dialog = window_.settingsDialog(); dialog && dialog->isVisible()) {
        QPainter painter(&shot);
        painter.drawPixmap(dialog->pos() - window_.pos(), dialog->grab());
    }
    // So is an open drop-down list.
    if (QWidget* list = QApplication::activePopupWidget()) {
        QPainter painter(&shot);
        painter.drawPixmap(list->pos() - window_.pos(), list->grab());
    }
    if (!shot.save(file)) warn(QStringLiteral("cannot write ") + file);
}

}  // namespace kvx
