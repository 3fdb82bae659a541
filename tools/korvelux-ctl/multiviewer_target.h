#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ctl_session.h"
#include "multiviewer/multiviewer_state.h"
#include "protocol/device_link.h"

namespace kvx {

// The options of the multiviewer commands: the link options and the device to address.
struct MultiviewerOptions {
    LinkOptions link;
    std::optional<std::string> device;  // dotted IPv4 address
};
inline constexpr const char* kDeviceOptionHelp =
    "  --device ADDRESS  the multiviewer at ADDRESS (type 0xA1, sub code 0x01), without a search; by\n"
    "                  default the first multiviewer that the search on the chosen link finds\n";

// Takes a link option or --device ADDRESS at args[i] (as takeLinkOption does). UsageError for a bad address.
bool takeDeviceOption(const std::vector<std::string>& args, size_t& i, LinkOptions& link,
                      std::optional<std::string>& device);
inline bool takeMultiviewerOption(const std::vector<std::string>& args, size_t& i,
                                  MultiviewerOptions& options) {
    return takeDeviceOption(args, i, options.link, options.device);
}

// The device a command talks to: the types a search may pick, the type (with sub code 0x01) that a
// --device address is taken to be, and what the device is called when none is found.
struct WantedDevice {
    const char* name;
    std::vector<uint8_t> searchTypes;
    uint8_t addressedType;
};

// Opens the serial port when one is chosen, then sets the target of the requests: the --device address, or
// the first wanted device that the search (on the chosen link) finds. Returns kExitOk, or (after saying why
// on stderr) kExitNotFound when no wanted device answered and kExitError when the search or port failed.
int findDevice(CtlSession& session, const std::optional<std::string>& device, const WantedDevice& wanted,
               Target& target);
inline int findMultiviewer(CtlSession& session, const std::optional<std::string>& device, Target& target) {
    return findDevice(session, device, {"multiviewer", {kTypeMultiviewer}, kTypeMultiviewer}, target);
}

// Reads the multiviewer's whole state (ReadStatus) on the exchange worker into `state`, with its window
// format texts. Returns kExitOk; kExitError when the request could not go out; kExitNotFound, after saying so
// on stderr, when no status reply came.
int readMultiviewerState(CtlSession& session, const Target& target, MultiviewerState& state);

// The link steps of the exchange worker, over the session's links.
inline DeviceLink deviceLinkOf(CtlSession& session) {
    return DeviceLink(session.udp(), session.serial(), session.clock());
}

}  // namespace kvx
