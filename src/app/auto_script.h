#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace kvx {

class CKORVELUX_16_VIEWDlg;

// Drives the window from the command line, for screenshots, end-to-end tests and integrators. Steps,
// separated by commas (see kAutoStepsHelp). Each step acts as the operator would: controls that are hidden
// or disabled cannot be clicked, chosen or typed into. The next step is scheduled before a step runs, so
// that a step which opens a question box (a page change) can be answered by the step after it.
class AutoScript : public QObject {
    Q_OBJECT
public:
    AutoScript(CKORVELUX_16_VIEWDlg& window, const QString& steps);
    // Checks every step before anything runs; the error text is empty when the script is valid.
    static QString validate(const QString& steps);
    void start();

private:
    void next();
    void schedule(int delayMs);
    void run(const QString& verb, const QString& arg);
    // The control with this id: on the multiviewer page shown, then on the panel, then anywhere in the
    // window; nullptr when there is none or the operator could not use it (hidden or disabled).
    template <class Control>
    Control* usableControl(const QString& id) const;
    void typeText(const QString& id, const QString& text);
    void pressKey(const QString& name);
    void printControls() const;
    void screenshot(const QString& file) const;

    CKORVELUX_16_VIEWDlg& window_;
    QStringList steps_;
    int position_ = 0;
};

// The steps, as --help describes them.
extern const char* const kAutoStepsHelp;

}  // namespace kvx
