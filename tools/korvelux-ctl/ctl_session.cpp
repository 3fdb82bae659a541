#include "ctl_session.h"

#include <charconv>
#include <cstdio>

#include "ctl_command.h"

namespace kvx {

namespace {
std::unique_ptr<DemoWorld> makeDemo(bool demo, Clock& clock) {
    return demo ? std::make_unique<DemoWorld>(clock) : nullptr;
}

const std::string& valueOf(const std::vector<std::string>& args, size_t& i) {
    if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
    return args[++i];
}
}  // namespace

bool takeLinkOption(const std::vector<std::string>& args, size_t& i, LinkOptions& options) {
    const std::string& arg = args[i];
    if (arg == "--demo") {
        options.demo = true;
    } else if (arg == "--serial") {
        options.serialPort = valueOf(args, i);
    } else if (arg == "--baud") {
        const std::string& text = valueOf(args, i);
        int baud = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), baud);
        if (ec != std::errc() || end != text.data() + text.size() || baud <= 0) {
            throw UsageError("bad baud rate '" + text + "'");
        }
        options.baud = baud;
    } else {
        return false;
    }
    return true;
}

void StderrErrorSink::showError(const std::string& text, const std::string&) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

CtlSession::CtlSession(const LinkOptions& options)
    : options_(options),
      demo_(makeDemo(options.demo, clock_)),
      demoNetwork_(demo_ ? demo_->pcNetwork() : nullptr),
      udp_(demoNetwork_ ? *demoNetwork_ : static_cast<Network&>(posixNetwork_), errors_),
      serial_(demo_ ? demo_->pcSerialPorts() : static_cast<SerialPorts&>(termiosPorts_)) {
    udp_.startNetworking("korvelux-ctl");
}

CtlSession::~CtlSession() = default;

SearchResult CtlSession::search() {
    return exchange<SearchResult>([this] {
        if (options_.link() == kLinkLan) return lanSearch(udp_, clock_, kLinkLan, errors_);
        return serialSearch(serial_, clock_, kLinkSerial, errors_);
    });
}

}  // namespace kvx
