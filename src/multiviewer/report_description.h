#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "protocol/control_frame.h"
#include "protocol/json_text.h"

namespace kvx {

// What one report of the multiviewer says, told in the model's terms (korvelux-ctl watch and --confirm).
struct ReportDescription {
    enum class Kind {
        Field,       // one field (or one element of an array field) has a new value
        WholeState,  // the state changed as a whole: read it back
        Ignored,     // a known code with data out of range or missing, which the window ignores
        Unknown,     // a code that no report has
    };
    uint8_t code = 0;
    std::string name;  // the code's name: "SetLayout", "StateChanged", ...; "unknown"
    Kind kind = Kind::Unknown;
    std::string field;  // Field: the model field, such as "LayoutMode" or "UmdTextColor"
    int index = -1;     // Field: the element counting from 1, 0 for all of them; -1 for a field of one value
    Json value;         // Field: its new value (WindowSignal: {"present": P, "format": F})
    Bytes data;         // the data bytes from byte 18 (up to the checksum), as they came
};

// Reads a report. A source report (0x34) sets MatrixRoute in switcher mode and WindowSource otherwise.
ReportDescription describeReport(std::span<const uint8_t> report, bool switcherMode);

// One line of text, without the newline:
//   0x33 SetLayout LayoutMode=90          0x3B SetUmdTextColor UmdTextColor[all]=6
//   0x38 StateChanged                     0x36 SetUmdOn ignored: 00 01          0x77 unknown: 05
std::string reportText(const ReportDescription& report);

// One JSON object: {"code": 51, "name": "SetLayout", "field": "LayoutMode", "value": 90}, with "index"
// for an array field; {"code": 56, "name": "StateChanged"}; "ignored": true or the unknown code's name,
// each with "data": [the data bytes].
Json reportJson(const ReportDescription& report);

}  // namespace kvx
