#pragma once

#include <QObject>
#include <QStringList>

namespace kvx {

class CKORVELUX_16_VIEWDlg;

// Drives the window from the command line, for screenshots and end-to-end tests. Steps, separated by
// commas: search (press search and wait for its result), click:<control id>, select:<list index>,
// wait:<ms>, serial:<port> (the serial link with that port open, as CONNECT does), print (the device list
// items and the status text to standard output), screenshot:<file.png>, quit.
class AutoScript : public QObject {
    Q_OBJECT
public:
    AutoScript(CKORVELUX_16_VIEWDlg& window, const QString& steps);
    // Checks every step before anything runs; the error text is empty when the script is valid.
    static QString validate(const QString& steps);
    void start();

private:
    void next();

    CKORVELUX_16_VIEWDlg& window_;
    QStringList steps_;
    int position_ = 0;
};

}  // namespace kvx
