#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <unordered_map>

#include "protocol/control_frame.h"

namespace kvx {

// A report of the device on its way to the model, or a long exchange of the panel that waits in line with
// the reports.
struct PendingReport {
    Bytes datagram;
    // Set for a whole-state report: whether the re-read it starts resets the selections.
    std::optional<bool> wholeStateReset;
    std::function<void()> exchange;  // set for a long exchange (no datagram then)
};

// Reports that wait, in the order they are to be applied. A later report for the same field (the same code
// and index) takes the place of an earlier one, at the end, as the last value wins; whole-state reports are
// one field, placed where the last of them arrived, and reset the selections when any of them does.
// Exchanges wait in their order and replace nothing. So what waits stays bounded by the number of fields
// however many reports a device sends.
class ReportFold {
public:
    void push(PendingReport item);
    // The first that waits, taken out; none when nothing waits.
    std::optional<PendingReport> pop();
    bool empty() const { return items_.empty(); }
    size_t size() const { return items_.size(); }

private:
    struct Item {
        PendingReport report;
        uint32_t field;
    };
    std::list<Item> items_;
    std::unordered_map<uint32_t, std::list<Item>::iterator> byField_;
};

}  // namespace kvx
