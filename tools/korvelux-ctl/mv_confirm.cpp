#include "mv_confirm.h"

#include <chrono>
#include <cstdio>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/report_handler.h"
#include "multiviewer_target.h"

namespace kvx {

namespace {

using Steady = std::chrono::steady_clock;

// The other code with which the device may report the same switch.
std::optional<uint8_t> aliasOf(uint8_t code) {
    switch (code) {
        case mv::kSetFormatStatus:
            return mv::kFormatStatusSwitched;
        case mv::kSetTimecode:
            return mv::kTimecodeSwitched;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool isReported(const Bytes& frame) {
    return frame.size() > frame::kCommandOffset && reportDataBytes(frame[frame::kCommandOffset]).has_value();
}

Confirmation confirmByReport(ReportListener& reports, const Bytes& frame, bool switcherMode) {
    const uint8_t code = frame[frame::kCommandOffset];
    const size_t used = reportDataBytes(code).value_or(0);
    // A report carries the request's payload (from byte 17) from byte 18.
    const Bytes wanted(frame.begin() + frame::kPayloadOffset, frame.begin() + frame::kPayloadOffset + used);
    const auto deadline = Steady::now() + std::chrono::milliseconds(kConfirmWindowMs);
    Confirmation result;
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now()).count();
        const std::optional<Bytes> datagram = left > 0 ? reports.next(static_cast<int>(left)) : std::nullopt;
        if (!datagram) {
            result.failure = "no report of the change within " + std::to_string(kConfirmWindowMs) + " ms";
            return result;
        }
        if (datagram->size() <= frame::kCommandOffset) continue;
        const uint8_t got = (*datagram)[frame::kCommandOffset];
        if (got != code && got != aliasOf(code)) continue;
        result.report = describeReport(*datagram, switcherMode);
        result.confirmed = result.report->data == wanted;
        if (!result.confirmed) result.failure = "the device reported " + reportText(*result.report);
        return result;
    }
}

Confirmation confirmByReadBack(CtlSession& session, const Target& target, ReadBackCheck check,
                               const MultiviewerState& sent, const std::vector<std::string>& words) {
    Confirmation result;
    MultiviewerState device;
    if (readMultiviewerState(session, target, device) != kExitOk) {
        result.failure = "the state could not be read back";
        return result;
    }
    result.readBack = check(sent, device, words);
    result.confirmed = result.readBack->wanted == result.readBack->found;
    if (!result.confirmed) {
        result.failure = "the device reads back " + result.readBack->field + "=" +
                         jsonLiteral(result.readBack->found) + ", not " +
                         jsonLiteral(result.readBack->wanted);
    }
    return result;
}

void printConfirmation(const Confirmation& c) {
    if (!c.confirmed) return;
    if (c.report) std::printf("confirmed %s\n", reportText(*c.report).c_str());
    if (c.readBack)
        std::printf("confirmed read-back %s=%s\n", c.readBack->field.c_str(),
                    jsonLiteral(c.readBack->found).c_str());
}

void addConfirmation(const Confirmation& c, Json& document) {
    document.add("confirmed", c.confirmed);
    if (c.report) document.add("report", reportJson(*c.report));
    if (c.readBack) {
        document.add("readBack", Json(Json::Object{{"field", c.readBack->field},
                                                   {"wanted", c.readBack->wanted},
                                                   {"found", c.readBack->found}}));
    }
}

}  // namespace kvx
