#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "multiviewer/report_fold.h"
#include "multiviewer/report_handler.h"
#include "protocol/control_frame.h"

namespace kvx {

// Applies the device's reports one at a time, in the order they arrive, as a receiver that handles one
// report at a time would. A whole-state report starts a re-read of the device's state (the owner reads it,
// waits the fixed 3000 ms and finishes with afterWholeStateWait); the reports that arrive until the re-read
// has finished wait for it, so the re-read cannot undo them. Whole-state reports among the waiting ones fold
// into one re-read, placed where the last of them arrived: the reports before it are applied first and the
// one re-read then shows the state after all of them, so a device that sends many never queues minutes of
// re-reads. Among the waiting reports, a later one for the same field (the same code and index) takes the
// place of an earlier one, at the end, as the last value wins: what waits stays bounded by the number of
// fields however many reports a device sends. A preset reload of the owner holds the reports back the same
// way, and takes its turn after a re-read that is under way. Runs on the UI thread.
class ReportSequencer {
public:
    struct Steps {
        // Folds one report that is not a whole-state report into the model and the page shown.
        std::function<void(const Bytes& datagram)> apply;
        // Starts a re-read; the owner calls finish() once it has finished.
        std::function<void(bool resetSelections)> reread;
    };

    ReportSequencer(const DeviceId& device, Steps steps);

    // A datagram from the report port. Those of other devices are dropped at once.
    void arrive(Bytes datagram);
    // A report of the device that has waited elsewhere already (in the receiver's mailbox), as it waited.
    void arrive(PendingReport report);
    // Holds the reports back while another long exchange runs (a preset reload); finish() releases them.
    void hold();
    // A long exchange of the owner (a preset reload) that must not overlap a re-read: start runs at once
    // when nothing is under way, else in its turn after what is under way and the reports that arrived
    // before it. The reports that arrive meanwhile wait; the owner calls finish() once it has finished.
    void queueExchange(std::function<void()> start);
    // The re-read (or the hold) has finished: the waiting reports are applied in order, up to the next
    // whole-state report, which starts the next re-read.
    void finish();

    bool busy() const { return busy_; }
    size_t waiting() const { return waiting_.size(); }

private:
    void start(const PendingReport& report);

    DeviceId device_;
    Steps steps_;
    bool busy_ = false;
    ReportFold waiting_;  // in the order they are to be applied
};

}  // namespace kvx
