#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "multiviewer/multiviewer_state.h"
#include "protocol/json_text.h"

namespace kvx {

inline constexpr const char* kStateFileFormat = "korvelux-multiviewer-state";
inline constexpr int kStateFileVersion = 1;
inline constexpr size_t kUmdNameMaxUnits = 16;  // UTF-16 code units that a UMD name record holds

// The device fields of a model as one JSON object: the names and the order of the status print, numbers as
// numbers, texts as strings, arrays of 16 (input, window or output 1 first), and WindowSignal elements as
// {"present": P, "format": F}.
Json multiviewerStateJson(const MultiviewerState& state);

// A state file: {"format": "korvelux-multiviewer-state", "version": 1, "state": {the device fields}}.
Json stateFileJson(const MultiviewerState& state);

// The settings that a restore sends (the restored fields of stateFields()), read from the text of a state
// file; the other fields of the result keep the model's start-up values. Every restored field must be there,
// of its type and within what the device can hold; none is returned otherwise, with the reason in `error`.
std::optional<MultiviewerState> readStateFile(std::string_view text, std::string& error);

}  // namespace kvx
