#include "multiviewer/report_description.h"

#include <array>
#include <cstdio>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/multiviewer_state.h"
#include "multiviewer/report_handler.h"

namespace kvx {

namespace {

constexpr int kNoIndex = -1;

// How the data of a code's report reads: the field it sets, the data byte of its index and of its value.
struct CodeMeaning {
    uint8_t code;
    const char* name;
    const char* field;  // nullptr: the state changed as a whole
    int indexByte = kNoIndex;
    int valueByte = 0;
    bool allAtZero = false;  // index 0 means every element
};

constexpr std::array<CodeMeaning, 30> kMeanings{{
    {mv::kLoadDefault, "LoadDefault", nullptr},
    {mv::kStateChanged, "StateChanged", nullptr},
    {mv::kLoadCustom, "LoadCustom", nullptr},
    {mv::kSetOutputFormat, "SetOutputFormat", "OutputFormat", kNoIndex, 1},
    {mv::kSetLayout, "SetLayout", "LayoutMode"},
    {mv::kSetSource, "SetSource", "WindowSource", 1, 0},
    {mv::kSetUmdOn, "SetUmdOn", "UmdOn", 0, 1},
    {mv::kSetAudioMeterOn, "SetAudioMeterOn", "AudioMeterOn", 0, 1},
    {mv::kSetAudioChannel, "SetAudioChannel", "AudioChannelPair", 0, 1},
    {mv::kSetAudioSource, "SetAudioSource", "AudioSourceWindow"},
    {mv::kFormatStatusSwitched, "FormatStatusSwitched", "FormatStatusOn"},
    {mv::kSetFormatStatus, "SetFormatStatus", "FormatStatusOn"},
    {mv::kTimecodeSwitched, "TimecodeSwitched", "TimecodeOn"},
    {mv::kSetTimecode, "SetTimecode", "TimecodeOn"},
    {mv::kSetAudioAlarm, "SetAudioAlarm", "AudioAlarmOn"},
    {mv::kSetAllAudioMeters, "SetAllAudioMeters", "AllAudioMeterOn"},
    {mv::kSetAllUmd, "SetAllUmd", "AllUmdOn"},
    {mv::kSetBorder, "SetBorder", "BorderOn"},
    {mv::kSetUmdTextColor, "SetUmdTextColor", "UmdTextColor", 0, 1, true},
    {mv::kSetUmdBackColor, "SetUmdBackColor", "UmdBackColor", 0, 1, true},
    {mv::kSetFormatTextColor, "SetFormatTextColor", "FormatTextColor", 0, 1, true},
    {mv::kSetFormatBackColor, "SetFormatBackColor", "FormatBackColor", 0, 1, true},
    {mv::kSetTimecodeTextColor, "SetTimecodeTextColor", "TimecodeTextColor", 0, 1, true},
    {mv::kSetTimecodeBackColor, "SetTimecodeBackColor", "TimecodeBackColor", 0, 1, true},
    {mv::kWindowSignal, "WindowSignal", "WindowSignal", 0, 1},
    // Requests that the device does not report; named all the same should a device send them.
    {mv::kSetUmdName, "SetUmdName", nullptr},
    {mv::kSetUmdSize, "SetUmdSize", nullptr},
    {mv::kSaveCustom, "SaveCustom", nullptr},
    {mv::kResetMatrix, "ResetMatrix", nullptr},
    {mv::kSetWorkMode, "SetWorkMode", nullptr},
}};

const CodeMeaning* meaningOf(uint8_t code) {
    for (const CodeMeaning& meaning : kMeanings) {
        if (meaning.code == code) return &meaning;
    }
    return nullptr;
}

bool isWholeState(uint8_t code) {
    return code == mv::kLoadDefault || code == mv::kStateChanged || code == mv::kLoadCustom;
}

std::string hexBytes(const Bytes& bytes) {
    std::string text;
    char hex[4];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, " %02X", b);
        text += hex;
    }
    return text;
}

// The element a report's index names, counting from 1 (0 for all); none when it is out of range.
std::optional<int> elementOf(const CodeMeaning& meaning, uint8_t index) {
    if (meaning.code == mv::kWindowSignal) {  // the one report that counts windows from 0
        if (index >= kWindowCount) return std::nullopt;
        return index + 1;
    }
    if (index == 0 && meaning.allAtZero) return 0;
    if (index < 1 || index > kWindowCount) return std::nullopt;
    return index;
}

}  // namespace

ReportDescription describeReport(std::span<const uint8_t> report, bool switcherMode) {
    ReportDescription out;
    if (report.size() <= frame::kCommandOffset) {
        out.name = "unknown";
        return out;
    }
    out.code = report[frame::kCommandOffset];
    // The data end before the checksum and end byte where the length field says; a length field that does
    // not fit the datagram is not believed.
    const size_t length = report[2] | (report[3] << 8);
    const size_t end = length >= frame::kOverhead && length <= report.size() ? length - 3 : report.size();
    if (end > frame::kDataOffset) out.data.assign(report.begin() + frame::kDataOffset, report.begin() + end);
    const CodeMeaning* meaning = meaningOf(out.code);
    const std::optional<size_t> used = reportDataBytes(out.code);
    if (!meaning || !used) {
        out.name = meaning ? meaning->name : "unknown";
        return out;
    }
    out.name = meaning->name;
    // Only the bytes that the code uses belong to the report; what follows them is padding.
    if (out.data.size() < *used) {
        out.kind = ReportDescription::Kind::Ignored;
        return out;
    }
    out.data.resize(*used);
    if (isWholeState(out.code)) {
        out.kind = ReportDescription::Kind::WholeState;
        return out;
    }
    out.field = meaning->code == mv::kSetSource && switcherMode ? "MatrixRoute" : meaning->field;
    if (meaning->indexByte != kNoIndex) {
        const std::optional<int> element =
            elementOf(*meaning, out.data[static_cast<size_t>(meaning->indexByte)]);
        if (!element) {
            out.kind = ReportDescription::Kind::Ignored;
            out.field.clear();
            return out;
        }
        out.index = *element;
    }
    const uint8_t value = out.data[static_cast<size_t>(meaning->valueByte)];
    out.value = out.code == mv::kWindowSignal
                    ? Json(Json::Object{{"present", value}, {"format", out.data[2]}})
                    : Json(value);
    out.kind = ReportDescription::Kind::Field;
    return out;
}

std::string reportText(const ReportDescription& report) {
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X ", report.code);
    std::string line = code + report.name;
    switch (report.kind) {
        case ReportDescription::Kind::WholeState:
            return line;
        case ReportDescription::Kind::Ignored:
            return line + " ignored:" + hexBytes(report.data);
        case ReportDescription::Kind::Unknown:
            return line + ":" + hexBytes(report.data);
        case ReportDescription::Kind::Field:
            break;
    }
    line += " " + report.field;
    if (report.index == 0) line += "[all]";
    if (report.index > 0) line += "[" + std::to_string(report.index) + "]";
    // A window's signal reads PRESENT/FORMAT, as in the status print.
    if (report.code == mv::kWindowSignal)
        return line + "=" + std::to_string(report.data[1]) + "/" + std::to_string(report.data[2]);
    return line + "=" + std::to_string(static_cast<int>(*report.value.asNumber()));
}

Json reportJson(const ReportDescription& report) {
    Json object(Json::Object{{"code", report.code}, {"name", report.name}});
    if (report.kind == ReportDescription::Kind::Field) {
        object.add("field", report.field);
        if (report.index >= 0) object.add("index", report.index);
        object.add("value", report.value);
        return object;
    }
    if (report.kind == ReportDescription::Kind::Ignored) object.add("ignored", true);
    if (report.kind != ReportDescription::Kind::WholeState) {
        Json::Array data(report.data.begin(), report.data.end());
        object.add("data", Json(std::move(data)));
    }
    return object;
}

}  // namespace kvx
