#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ctl_command.h"
#include "ctl_session.h"
#include "matrix/matrix_kind.h"
#include "protocol/device_link.h"

namespace kvx {

// The options of the matrix switcher commands: the link options and the switcher to address.
struct MatrixOptions {
    LinkOptions link;
    std::optional<std::string> device;  // dotted IPv4 address
    std::optional<uint8_t> type;        // what the --device address is: 0x82 or 0x83
};
inline constexpr const char* kMatrixOptionsHelp =
    "  --device ADDRESS  the matrix switcher at ADDRESS (sub code 0x01), without a search; by default the\n"
    "                  first matrix switcher (type 0x82 or 0x83) that the search on the chosen link finds\n"
    "  --type 82|83    with --device: an 8x8 (82) or a 16x16 (83) switcher (default 83)\n"
    "  --help          show this text\n";

// The words of a command and its options. False when --help was given (the help has been printed);
// UsageError for an unknown or bad option.
bool parseMatrixArguments(const std::vector<std::string>& args, const CtlCommand& command,
                          MatrixOptions& options, std::vector<std::string>& words);

// The switcher as far as the options tell before any search: that of --type with --device, otherwise the
// 16x16, which allows every word that any switcher may take. Words are checked against it before a search,
// and against the switcher found after it.
MatrixKind kindBeforeSearch(const MatrixOptions& options);

// The switcher that the requests go to.
struct MatrixTarget {
    Target target;
    MatrixKind kind = kMatrix16x16;
};

// Opens the serial port when one is chosen and finds the switcher as findDevice does; the same exit codes.
int findMatrix(CtlSession& session, const MatrixOptions& options, MatrixTarget& found);

// Runs one send on the exchange worker. Returns kExitOk when it went out; otherwise says so on stderr and
// returns kExitError.
int sendOnWorker(CtlSession& session, const std::function<bool(DeviceLink&)>& send);

// What went out: one line "sent NAME=VALUE" per member ("sent TEXT" for the routingText), or with --json
// {"sent": {the members}}.
void printSent(const OutputOptions& output, const Json::Object& sent);
inline constexpr const char* kRoutingTextField = "routingText";

}  // namespace kvx
