#include "matrix_target.h"

#include <cstdio>

#include "multiviewer_target.h"

namespace kvx {

namespace {

MatrixKind kindOfType(uint8_t type) {
    return type == kType8x8 ? kMatrix8x8 : kMatrix16x16;
}

uint8_t switcherType(const std::string& text) {
    if (text == "82" || text == "0x82") return kType8x8;
    if (text == "83" || text == "0x83") return kType16x16;
    throw UsageError("bad matrix switcher type '" + text + "' (82 or 83)");
}

}  // namespace

bool parseMatrixArguments(const std::vector<std::string>& args, const CtlCommand& command,
                          MatrixOptions& options, std::vector<std::string>& words) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") {
            printCommandHelp(command);
            return false;
        }
        if (args[i] == "--type") {
            if (i + 1 >= args.size()) throw UsageError("--type needs a value");
            options.type = switcherType(args[++i]);
        } else if (args[i].starts_with("--")) {
            if (!takeDeviceOption(args, i, options.link, options.device))
                throw UsageError("unknown option '" + args[i] + "' for " + command.name);
        } else {
            words.push_back(args[i]);
        }
    }
    if (options.type && !options.device) throw UsageError("--type goes with --device");
    return true;
}

MatrixKind kindBeforeSearch(const MatrixOptions& options) {
    return kindOfType(options.type.value_or(kType16x16));
}

int findMatrix(CtlSession& session, const MatrixOptions& options, MatrixTarget& found) {
    const uint8_t addressedType = options.type.value_or(kType16x16);
    const WantedDevice wanted{"matrix switcher", {kType8x8, kType16x16}, addressedType};
    if (const int result = findDevice(session, options.device, wanted, found.target); result != kExitOk)
        return result;
    found.kind = kindOfType(found.target.type());
    return kExitOk;
}

int sendOnWorker(CtlSession& session, const std::function<bool(DeviceLink&)>& send) {
    const bool sent = session.exchange<bool>([&session, &send] {
        DeviceLink link = deviceLinkOf(session);
        return send(link);
    });
    if (!sent) {
        std::fprintf(stderr, "korvelux-ctl: the request could not be sent\n");
        return kExitError;
    }
    return kExitOk;
}

void printSent(const OutputOptions& output, const Json::Object& sent) {
    if (output.json) {
        printJson(Json(Json::Object{{"sent", sent}}));
        return;
    }
    for (const auto& [name, value] : sent) {
        const std::string text =
            value.asString() ? *value.asString() : std::to_string(int(*value.asNumber()));
        if (name == kRoutingTextField) {
            std::printf("sent %s\n", text.c_str());
        } else {
            std::printf("sent %s=%s\n", name.c_str(), text.c_str());
        }
    }
    std::fflush(stdout);
}

}  // namespace kvx
