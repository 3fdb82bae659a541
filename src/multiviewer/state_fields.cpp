#include "multiviewer/state_fields.h"

#include "protocol/utf8_text.h"

namespace kvx {

namespace {

using Kind = StateField::Kind;
using S = MultiviewerState;

constexpr int kBit = 1;
constexpr int kFourBits = 15;
constexpr int kFiveBits = 31;
constexpr int kByte = 255;

StateField byteField(const char* name, bool restored, int largest, uint8_t S::*member) {
    return {.name = name, .kind = Kind::Byte, .restored = restored, .largest = largest, .byte = member};
}
StateField bytesField(const char* name, int largest, PerWindow<uint8_t> S::*member) {
    return {.name = name, .kind = Kind::Bytes, .restored = true, .largest = largest, .bytes = member};
}
StateField textsField(const char* name, bool restored, PerWindow<std::u16string> S::*member) {
    return {.name = name, .kind = Kind::Texts, .restored = restored, .largest = 0, .texts = member};
}

Json signalJson(const WindowSignal& signal) {
    return Json(Json::Object{{"present", signal.present}, {"format", signal.format}});
}

// Element k (from 0) of an array field; the whole value of any other field.
Json elementJson(const MultiviewerState& s, const StateField& field, size_t k) {
    switch (field.kind) {
        case Kind::Bytes:
            return (s.*field.bytes)[k];
        case Kind::Texts:
            return toUtf8((s.*field.texts)[k]);
        case Kind::Signals:
            return signalJson(s.WindowSignal[k]);
        case Kind::Byte:
            return s.*field.byte;
        case Kind::Text:
            break;
    }
    return toUtf8(s.*field.text);
}

bool isArray(const StateField& field) {
    return field.kind == Kind::Bytes || field.kind == Kind::Texts || field.kind == Kind::Signals;
}

}  // namespace

const std::vector<StateField>& stateFields() {
    static const std::vector<StateField> fields{
        byteField("SwitcherMode", true, kBit, &S::SwitcherMode),
        {.name = "DeviceName", .kind = Kind::Text, .restored = false, .largest = 0, .text = &S::DeviceName},
        byteField("DeviceDhcpOn", false, kBit, &S::DeviceDhcpOn),
        byteField("LayoutMode", true, kByte, &S::LayoutMode),
        bytesField("WindowSource", kByte, &S::WindowSource),
        bytesField("MatrixRoute", kByte, &S::MatrixRoute),
        byteField("OutputFormat", true, kFourBits, &S::OutputFormat),
        textsField("UmdName", true, &S::UmdName),
        bytesField("UmdOn", kBit, &S::UmdOn),
        byteField("AllUmdOn", true, kBit, &S::AllUmdOn),
        bytesField("UmdTextColor", kFourBits, &S::UmdTextColor),
        bytesField("UmdBackColor", kFiveBits, &S::UmdBackColor),
        byteField("FormatStatusOn", true, kBit, &S::FormatStatusOn),
        bytesField("FormatTextColor", kFourBits, &S::FormatTextColor),
        bytesField("FormatBackColor", kFiveBits, &S::FormatBackColor),
        byteField("TimecodeOn", true, kBit, &S::TimecodeOn),
        bytesField("TimecodeTextColor", kFourBits, &S::TimecodeTextColor),
        bytesField("TimecodeBackColor", kFiveBits, &S::TimecodeBackColor),
        byteField("BorderOn", true, kBit, &S::BorderOn),
        byteField("AudioSourceWindow", true, kFiveBits, &S::AudioSourceWindow),
        byteField("AllAudioMeterOn", true, kBit, &S::AllAudioMeterOn),
        bytesField("AudioMeterOn", kBit, &S::AudioMeterOn),
        bytesField("AudioChannelPair", kFourBits, &S::AudioChannelPair),
        byteField("AudioAlarmOn", true, kBit, &S::AudioAlarmOn),
        {.name = "WindowSignal", .kind = Kind::Signals, .restored = false, .largest = 0},
        textsField("WindowFormatText", false, &S::WindowFormatText),
    };
    return fields;
}

Json fieldJson(const MultiviewerState& state, const StateField& field) {
    if (!isArray(field)) return elementJson(state, field, 0);
    Json::Array elements;
    for (size_t k = 0; k < kWindowCount; ++k) elements.push_back(elementJson(state, field, k));
    return elements;
}

std::vector<FieldDifference> restoredDifferences(const MultiviewerState& wanted,
                                                 const MultiviewerState& found) {
    std::vector<FieldDifference> differences;
    for (const StateField& field : stateFields()) {
        if (!field.restored) continue;
        const size_t count = isArray(field) ? kWindowCount : 1;
        for (size_t k = 0; k < count; ++k) {
            Json want = elementJson(wanted, field, k);
            Json got = elementJson(found, field, k);
            if (want == got) continue;
            const std::string name = isArray(field)
                                         ? std::string(field.name) + "[" + std::to_string(k + 1) + "]"
                                         : std::string(field.name);
            differences.push_back({name, std::move(want), std::move(got)});
        }
    }
    return differences;
}

}  // namespace kvx
