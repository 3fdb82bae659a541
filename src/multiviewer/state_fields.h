#pragma once

#include <string>
#include <vector>

#include "multiviewer/multiviewer_state.h"
#include "protocol/json_text.h"

namespace kvx {

// One device field of the model as korvelux-ctl shows, saves and restores it.
struct StateField {
    enum class Kind {
        Byte,     // one number
        Bytes,    // 16 numbers, input (or window, or output) 1 first
        Text,     // one text
        Texts,    // 16 texts
        Signals,  // WindowSignal: 16 pairs of present flag and format code
    };
    const char* name;
    Kind kind;
    bool restored;  // a setting that a restore sends; the others are the device's name, its DHCP choice and
                    // what its inputs carry
    int largest;    // Byte and Bytes: the largest value the status block can hold
    uint8_t MultiviewerState::*byte = nullptr;
    PerWindow<uint8_t> MultiviewerState::*bytes = nullptr;
    std::u16string MultiviewerState::*text = nullptr;
    PerWindow<std::u16string> MultiviewerState::*texts = nullptr;
};

// The device fields in the order of the status print.
const std::vector<StateField>& stateFields();

// The value of a field (Json number, text, or for an array an Json array of them).
Json fieldJson(const MultiviewerState& state, const StateField& field);

// A field, or one element of an array field ("UmdTextColor[3]", counting from 1), whose values differ.
struct FieldDifference {
    std::string field;
    Json wanted;
    Json found;
};
// Every restored setting in which `found` differs from `wanted`, element by element, in field order.
std::vector<FieldDifference> restoredDifferences(const MultiviewerState& wanted,
                                                 const MultiviewerState& found);

}  // namespace kvx
