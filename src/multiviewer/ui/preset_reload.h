#pragma once

#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace kvx {

class MultiviewerPanelServices;

// Load Default and Load Custom without freezing the window: the preset command goes out, the device gets its
// 3000 ms on a timer, its whole state is read back on the exchange worker, and then the page's remaining
// steps run, in that order. Meanwhile this overlay covers the page, saying what the device does and how long
// it still takes; the page's controls are disabled under it, the page buttons too, and the device's reports
// wait (MultiviewerPanelServices::runExchange). A reload asked for while the panel re-reads the device's
// state after a report starts once that re-read has finished; the overlay says so from the click on.
class PresetReload : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWaitMs = 3000;

    struct Steps {
        QString title;                 // what the overlay names, e.g. "Load Custom 2"
        std::function<void()> send;    // the preset command
        std::function<void()> finish;  // the page's steps once the state has been read back
    };

    // An overlay of the page, hidden until a reload runs.
    PresetReload(MultiviewerPanelServices& panel, QWidget* page);
    // A reload cut short (the page goes away) ends its exchange, so that the panel's reports flow again.
    ~PresetReload() override;

    void run(Steps steps);
    bool running() const { return phase_ != Phase::Idle; }
    // The overlay's text: what is being done and, while the device reloads, the time left.
    QString statusText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    enum class Phase { Idle, Queued, Waiting, ReadingBack };

    void start();       // the exchange's turn: send, then wait
    void readBack();    // the wait is over
    void finish();      // the state is in the model
    QRect box() const;  // where the text and the progress bar stand, in the middle of the page

    MultiviewerPanelServices& panel_;
    QWidget* page_;
    Steps steps_;
    Phase phase_ = Phase::Idle;
    QTimer wait_;
    QTimer countdown_;  // repaints the time left
    QDeadlineTimer deadline_;
};

}  // namespace kvx
