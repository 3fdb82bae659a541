// korvelux-ctl discover: the device search of the window's search button, over the LAN or a serial port.
#include <cstdio>

#include "ctl_command.h"
#include "ctl_session.h"
#include "protocol/discovery.h"

namespace kvx {

namespace {

void printEntry(const std::string& item, const DeviceEntry& entry) {
    std::printf("%s\ttype=0x%02X\tsub=0x%02X\tid=%02X%02X%02X%02X\tmodel=%d\n", item.c_str(),
                entry.deviceType, entry.subCode, entry.deviceId[0], entry.deviceId[1], entry.deviceId[2],
                entry.deviceId[3], entry.modelFlag);
}

Json entryJson(const std::string& item, const DeviceEntry& entry) {
    return Json(Json::Object{{"item", item},
                             {"addressText", entry.address()},
                             {"deviceType", entry.deviceType},
                             {"subCode", entry.subCode},
                             {"deviceId", Json::Array(entry.deviceId.begin(), entry.deviceId.end())},
                             {"modelFlag", entry.modelFlag}});
}

void printSearchJson(const SearchResult& result) {
    Json::Array devices;
    for (size_t i = 0; i < result.found.entries.size(); ++i)
        devices.push_back(entryJson(result.found.items[i], result.found.entries[i]));
    printJson(Json(Json::Object{{"devices", std::move(devices)}, {"statusText", result.statusText}}));
}

int runDiscover(const std::vector<std::string>& args, const OutputOptions& output) {
    LinkOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") {
            printCommandHelp(discoverCommand());
            return kExitOk;
        }
        if (!takeLinkOption(args, i, options))
            throw UsageError("unknown option '" + args[i] + "' for discover");
    }
    CtlSession session(options);
    // A port that does not open leaves the serial port closed, and the search says so.
    if (options.serialPort) session.serial().open(*options.serialPort, options.baud);
    const SearchResult result = session.search();
    if (!result.ran) return kExitError;
    if (output.json) {
        printSearchJson(result);
    } else {
        for (size_t i = 0; i < result.found.entries.size(); ++i)
            printEntry(result.found.items[i], result.found.entries[i]);
        std::printf("%s\n", result.statusText.c_str());
        std::fflush(stdout);
    }
    return result.selectedIndex >= 0 ? kExitOk : kExitNotFound;
}

}  // namespace

CtlCommand discoverCommand() {
    return {
        "discover", "search for devices as the window's search button does",
        "usage: korvelux-ctl discover [--serial PATH [--baud N]] [--demo]\n"
        "Broadcasts the discovery probe and collects answers for 2000 ms, or writes it to the serial port\n"
        "and waits up to 3000 ms for one answer. Prints one line per device found, in list order:\n"
        "  ITEM<TAB>type=0xTT<TAB>sub=0xSS<TAB>id=IIIIIIII<TAB>model=0|1\n"
        "(ITEM is NAME_ADDRESS on the LAN, NAME on a serial port), then the status text. With --json:\n"
        "  {\"devices\": [{\"item\": ITEM, \"addressText\": ADDRESS, \"deviceType\": T, \"subCode\": S,\n"
        "  \"deviceId\": [4 numbers], \"modelFlag\": 0|1}, ...], \"statusText\": TEXT}\n"
        "Exit status: 0 a device was found, 1 none answered, 2 usage error, port or socket error.\n"
        "Options:\n"
        "  --help          show this text\n",
        runDiscover};
}

}  // namespace kvx
