#pragma once

#include <string>

#include "ctl_command.h"
#include "multiviewer_target.h"

namespace kvx {

// mv save FILE: the whole state read back, written as a state file. mv restore FILE: the settings of a
// state file sent, read back and compared. Both return the command's exit status.
int runSave(const std::string& file, const MultiviewerOptions& options, const OutputOptions& output);
int runRestore(const std::string& file, const MultiviewerOptions& options, const OutputOptions& output);

inline constexpr const char* kBackupHelp =
    "  save FILE                          read the whole state back and write it to FILE as JSON:\n"
    "                                     {\"format\": \"korvelux-multiviewer-state\", \"version\": 1,\n"
    "                                     \"state\": {the fields of status --json}}; prints 'saved FILE'\n"
    "  restore FILE                       send the settings of FILE (every field but DeviceName,\n"
    "                                     DeviceDhcpOn, WindowSignal and WindowFormatText), read the state\n"
    "                                     back and print each field that differs as 'differs FIELD: file\n"
    "                                     VALUE, device VALUE', then 'restored: all settings match' or\n"
    "                                     'restored: N settings differ'\n";

}  // namespace kvx
