#include "multiviewer/state_json.h"

#include <cmath>

#include "multiviewer/state_fields.h"
#include "protocol/utf8_text.h"

namespace kvx {

namespace {

using Kind = StateField::Kind;

std::optional<uint8_t> wholeNumber(const Json& value, int largest) {
    const double* number = value.asNumber();
    if (!number || std::trunc(*number) != *number || *number < 0 || *number > largest) return std::nullopt;
    return static_cast<uint8_t>(*number);
}

std::optional<std::u16string> umdText(const Json& value) {
    const std::string* text = value.asString();
    if (!text) return std::nullopt;
    std::optional<std::u16string> units = fromUtf8(*text);
    if (!units || units->size() > kUmdNameMaxUnits) return std::nullopt;
    return units;
}

// The 16 elements of an array field; none when it is no array of 16.
const Json::Array* sixteen(const Json& value) {
    const Json::Array* array = value.asArray();
    return array && array->size() == kWindowCount ? array : nullptr;
}

// Reads one restored field into the state; false when it is missing or does not fit.
bool readField(const Json& fields, const StateField& field, MultiviewerState& state) {
    const Json* value = fields.member(field.name);
    if (!value) return false;
    if (field.kind == Kind::Byte) {
        const std::optional<uint8_t> number = wholeNumber(*value, field.largest);
        if (number) state.*field.byte = *number;
        return number.has_value();
    }
    const Json::Array* elements = sixteen(*value);
    if (!elements) return false;
    for (size_t k = 0; k < kWindowCount; ++k) {
        if (field.kind == Kind::Bytes) {
            const std::optional<uint8_t> number = wholeNumber((*elements)[k], field.largest);
            if (!number) return false;
            (state.*field.bytes)[k] = *number;
        } else {
            std::optional<std::u16string> text = umdText((*elements)[k]);
            if (!text) return false;
            (state.*field.texts)[k] = std::move(*text);
        }
    }
    return true;
}

std::string expected(const StateField& field) {
    const std::string range = "from 0 to " + std::to_string(field.largest);
    switch (field.kind) {
        case Kind::Byte:
            return "a whole number " + range;
        case Kind::Bytes:
            return "16 whole numbers " + range;
        default:
            return "16 texts of at most 16 UTF-16 code units";
    }
}

}  // namespace

Json multiviewerStateJson(const MultiviewerState& state) {
    Json object{Json::Object{}};
    for (const StateField& field : stateFields()) object.add(field.name, fieldJson(state, field));
    return object;
}

Json stateFileJson(const MultiviewerState& state) {
    return Json(Json::Object{{"format", kStateFileFormat},
                             {"version", kStateFileVersion},
                             {"state", multiviewerStateJson(state)}});
}

std::optional<MultiviewerState> readStateFile(std::string_view text, std::string& error) {
    const std::optional<Json> file = parseJson(text, error);
    if (!file) return std::nullopt;
    const Json* format = file->member("format");
    if (!format || !format->asString() || *format->asString() != kStateFileFormat) {
        error = std::string("not a multiviewer state file (\"format\" is not \"") + kStateFileFormat + "\")";
        return std::nullopt;
    }
    const Json* version = file->member("version");
    if (!version || !version->asNumber() || *version->asNumber() != kStateFileVersion) {
        error = "a state file of another version (this program reads version " +
                std::to_string(kStateFileVersion) + ")";
        return std::nullopt;
    }
    const Json* fields = file->member("state");
    if (!fields || !fields->asObject()) {
        error = "the state file has no \"state\" object";
        return std::nullopt;
    }
    MultiviewerState state;
    for (const StateField& field : stateFields()) {
        if (field.restored && !readField(*fields, field, state)) {
            error = std::string("\"") + field.name + "\" must be " + expected(field);
            return std::nullopt;
        }
    }
    return state;
}

}  // namespace kvx
