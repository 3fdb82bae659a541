#pragma once

#include <cstdio>

#include "multiviewer/multiviewer_state.h"

namespace kvx {

inline constexpr const char* kStatusPrintHelp =
    "Prints every device field of the model, one per line as Name=value in decimal. Arrays of numbers\n"
    "take one line, their 16 elements comma-separated, input (or window, or output) 1 first; WindowSignal\n"
    "elements are PRESENT/FORMAT. Texts (UTF-8) take one line each, arrays of them one line per element as\n"
    "Name[k]=text, k from 1 to 16.\n";

// The decoded device fields of a model, in the model's order and with its names.
void printMultiviewerState(const MultiviewerState& state, std::FILE* out);

}  // namespace kvx
