#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ctl_command.h"
#include "ctl_session.h"
#include "multiviewer/report_description.h"
#include "multiviewer/state_fields.h"
#include "report_listener.h"

namespace kvx {

inline constexpr int kConfirmWindowMs = 1000;

// For the requests that the device does not report: the field that the state read back must show, with the
// value sent (from the model the senders stored into) and the value found.
using ReadBackCheck = FieldDifference (*)(const MultiviewerState& sent, const MultiviewerState& device,
                                          const std::vector<std::string>& words);

struct Confirmation {
    bool confirmed = false;
    std::optional<ReportDescription> report;  // the report that confirmed the change or said otherwise
    std::optional<FieldDifference> readBack;  // the field read back
    std::string failure;                      // why it is not confirmed
};

// Whether the device reports the change of this request.
bool isReported(const Bytes& frame);

// Waits up to 1000 ms for the report of the frame's change: the same code (a format status or time code
// switch may come as 0x3A or 0x53) with the request's payload as its data. The first report of that code
// decides; reports of other codes are passed over.
Confirmation confirmByReport(ReportListener& reports, const Bytes& frame, bool switcherMode);

// Reads the state back and checks the field.
Confirmation confirmByReadBack(CtlSession& session, const Target& target, ReadBackCheck check,
                               const MultiviewerState& sent, const std::vector<std::string>& words);

// The confirmation's line ("confirmed ..."), or its members in the request's JSON document.
void printConfirmation(const Confirmation& confirmation);
void addConfirmation(const Confirmation& confirmation, Json& document);

}  // namespace kvx
