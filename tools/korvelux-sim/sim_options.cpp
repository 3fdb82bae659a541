#include "sim_options.h"

#include <charconv>

#include "simulator/demo_devices.h"

namespace kvx {

namespace {

template <class T>
std::optional<T> parseNumber(const std::string& text, int base, T min, T max) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> splitColons(const std::string& text) {
    std::vector<std::string> parts{""};
    for (char c : text) {
        if (c == ':') {
            parts.emplace_back();
        } else {
            parts.back().push_back(c);
        }
    }
    return parts;
}

}  // namespace

const char* simUsage() {
    return "usage: korvelux-sim [options]\n"
           "Simulated KORVELUX devices on a UDP socket and/or a pseudo terminal, until SIGINT or SIGTERM.\n"
           "  --bind ADDR           local IPv4 address of the socket (default 0.0.0.0)\n"
           "  --port N              local UDP port of the socket (default 7000)\n"
           "  --device TYPE[:NAME[:SUB[:ID]]]\n"
           "                        add a device (repeatable): TYPE in hex (a1, 82, 83, 60, ...), NAME\n"
           "                        without '-', SUB in hex (default 01), ID as 8 hex digits; without any\n"
           "                        --device the demo set is used: a1, 82, 83 (named TQL2408P) and 60\n"
           "  --serial              also open a pty, print \"pty: PATH\" and serve the first device on it\n"
           "  --serial-pieces N     write each serial answer in N pieces, 50 ms apart (default 1)\n"
           "  --no-udp              open no socket (with --serial: the pty only)\n"
           "  --front-panel-demo    every multiviewer changes something on its front panel every 4 s\n"
           "                        (layout, a source, a UMD switch, a label colour, a signal) and reports "
           "it\n"
           "  --front-panel-interval MS\n"
           "                        with --front-panel-demo: a change every MS milliseconds, 50 to 60000\n"
           "                        (default 4000)\n"
           "  --front-panel-input   read front-panel actions of the first multiviewer from standard input,\n"
           "                        one per line, each applied and reported at once; prints\n"
           "                        \"front-panel: done|refused|unknown LINE\" for each:\n"
           "                        layout CODE | source WINDOW INPUT | umd INPUT ON |\n"
           "                        colour CODE(hex) INDEX COLOUR | signal WINDOW PRESENT FORMAT | defaults |\n"
           "                        request CODE BYTE... (hex: the change that request makes, e.g. 5d 00)\n"
           "  --ignore CODE         the devices take requests with the command code CODE (hex) but do not\n"
           "                        act on them or report them, as a faulty device would (repeatable)\n"
           "  --help                show this text\n"
           "Answers go back to the sender; reports go to port 7001 of the PC that last spoke.\n"
           "Every request received is logged to stderr in hex, one line each.\n";
}

std::optional<SimulatedDevice::Identity> parseDeviceOption(const std::string& option, size_t position,
                                                           std::string& error) {
    const std::vector<std::string> parts = splitColons(option);
    const auto type = parseNumber<unsigned>(parts[0], 16, 0, 0xFF);
    if (parts.size() > 4 || !type) {
        error = "bad device '" + option + "', expected TYPE[:NAME[:SUB[:ID]]]";
        return std::nullopt;
    }
    SimulatedDevice::Identity identity = defaultIdentity(static_cast<uint8_t>(*type), position);
    if (parts.size() > 1 && !parts[1].empty()) {
        // A '-' in the name would make the search see a name pattern inside it.
        if (parts[1].find('-') != std::string::npos) {
            error = "device name '" + parts[1] + "' must not contain '-'";
            return std::nullopt;
        }
        identity.name = parts[1];
    }
    if (parts.size() > 2 && !parts[2].empty()) {
        const auto sub = parseNumber<unsigned>(parts[2], 16, 0, 0xFF);
        if (!sub) {
            error = "bad sub code '" + parts[2] + "'";
            return std::nullopt;
        }
        identity.sub = static_cast<uint8_t>(*sub);
    }
    if (parts.size() > 3) {
        const auto id =
            parts[3].size() == 8 ? parseNumber<uint32_t>(parts[3], 16, 0, 0xFFFFFFFFu) : std::nullopt;
        if (!id) {
            error = "bad device id '" + parts[3] + "', expected 8 hex digits";
            return std::nullopt;
        }
        for (int i = 0; i < 4; ++i) identity.id[i] = static_cast<uint8_t>(*id >> (24 - 8 * i));
    }
    return identity;
}

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help") {
            options.help = true;
        } else if (arg == "--serial") {
            options.serial = true;
        } else if (arg == "--no-udp") {
            options.udp = false;
        } else if (arg == "--front-panel-demo") {
            options.frontPanelDemo = true;
        } else if (arg == "--front-panel-input") {
            options.frontPanelInput = true;
        } else if ((arg == "--bind" || arg == "--port" || arg == "--device" || arg == "--serial-pieces" ||
                    arg == "--front-panel-interval" || arg == "--ignore") &&
                   !hasValue) {
            error = arg + " needs a value";
            return std::nullopt;
        } else if (arg == "--bind") {
            const auto address = parseIpv4(args[++i]);
            if (!address) {
                error = "bad address '" + args[i] + "'";
                return std::nullopt;
            }
            options.bind.address = *address;
        } else if (arg == "--port") {
            const auto port = parseNumber<unsigned>(args[++i], 10, 1, 65535);
            if (!port) {
                error = "bad port '" + args[i] + "'";
                return std::nullopt;
            }
            options.bind.port = static_cast<uint16_t>(*port);
        } else if (arg == "--serial-pieces") {
            const auto pieces = parseNumber<int>(args[++i], 10, 1, 64);
            if (!pieces) {
                error = "bad piece count '" + args[i] + "', expected 1 to 64";
                return std::nullopt;
            }
            options.serialPieces = *pieces;
        } else if (arg == "--front-panel-interval") {
            const auto interval = parseNumber<int>(args[++i], 10, 50, 60000);
            if (!interval) {
                error = "bad interval '" + args[i] + "', expected 50 to 60000";
                return std::nullopt;
            }
            options.frontPanelIntervalMs = *interval;
        } else if (arg == "--ignore") {
            const auto code = parseNumber<unsigned>(args[++i], 16, 0, 0xFF);
            if (!code) {
                error = "bad command code '" + args[i] + "', expected 00 to ff";
                return std::nullopt;
            }
            options.ignoredCommands.push_back(static_cast<uint8_t>(*code));
        } else if (arg == "--device") {
            auto identity = parseDeviceOption(args[++i], options.devices.size(), error);
            if (!identity) return std::nullopt;
            options.devices.push_back(std::move(*identity));
        } else {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
    }
    if (options.devices.empty()) options.devices = demoIdentities();
    if (!options.udp && !options.serial) {
        error = "--no-udp leaves nothing to serve without --serial";
        return std::nullopt;
    }
    return options;
}

}  // namespace kvx
