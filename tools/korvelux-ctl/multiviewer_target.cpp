#include "multiviewer_target.h"

#include <algorithm>
#include <cstdio>

#include "ctl_command.h"
#include "multiviewer/derived_data.h"
#include "multiviewer/status_readback.h"
#include "platform/ipv4.h"
#include "protocol/discovery.h"

namespace kvx {

namespace {
constexpr uint8_t kAssumedSubCode = 0x01;
}  // namespace

bool takeDeviceOption(const std::vector<std::string>& args, size_t& i, LinkOptions& link,
                      std::optional<std::string>& device) {
    if (args[i] != "--device") return takeLinkOption(args, i, link);
    if (i + 1 >= args.size()) throw UsageError("--device needs a value");
    const std::string& address = args[++i];
    if (!parseIpv4(address)) throw UsageError("bad device address '" + address + "'");
    device = address;
    return true;
}

int findDevice(CtlSession& session, const std::optional<std::string>& device, const WantedDevice& wanted,
               Target& target) {
    const LinkOptions& options = session.options();
    if (options.serialPort && !session.serial().open(*options.serialPort, options.baud)) {
        std::fprintf(stderr, "korvelux-ctl: cannot open the serial port %s\n", options.serialPort->c_str());
        return kExitError;
    }
    target = Target{options.link(), std::nullopt};
    if (device) {
        DeviceEntry entry;
        entry.setAddress(*device);
        entry.deviceType = wanted.addressedType;
        entry.subCode = kAssumedSubCode;
        target.entry = entry;
        return kExitOk;
    }
    const SearchResult result = session.search();
    if (!result.ran) return kExitError;  // the search has said why
    for (const DeviceEntry& entry : result.found.entries) {
        if (std::ranges::find(wanted.searchTypes, entry.deviceType) != wanted.searchTypes.end()) {
            target.entry = entry;
            return kExitOk;
        }
    }
    std::fprintf(stderr, "korvelux-ctl: no %s found\n", wanted.name);
    return kExitNotFound;
}

int readMultiviewerState(CtlSession& session, const Target& target, MultiviewerState& state) {
    const StatusReadback readback = session.exchange<StatusReadback>([&session, &target] {
        DeviceLink link = deviceLinkOf(session);
        return readStatusBlock(link, target);
    });
    if (readback.outcome == ReadbackOutcome::NoLink) return kExitError;
    if (readback.outcome == ReadbackOutcome::NoReply) {
        std::fprintf(stderr, "korvelux-ctl: no status reply within %d ms\n", kStatusReplyWindowMs);
        return kExitNotFound;
    }
    applyReadback(readback, state);
    recomputeWindowFormatText(state);
    return kExitOk;
}

}  // namespace kvx
