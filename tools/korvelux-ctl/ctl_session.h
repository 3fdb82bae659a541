#pragma once

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/system_platform.h"
#include "protocol/cn_comm.h"
#include "protocol/discovery.h"
#include "protocol/exchange_worker.h"
#include "protocol/udp_link.h"
#include "simulator/demo_world.h"

namespace kvx {

// The options that choose the link, shared by every command.
struct LinkOptions {
    bool demo = false;                      // in-process simulated devices, no network
    std::optional<std::string> serialPort;  // the serial link when given, else the LAN
    int baud = 9600;

    LinkKind link() const { return serialPort ? kLinkSerial : kLinkLan; }
};
inline constexpr const char* kLinkOptionsHelp =
    "  --serial PATH   use the serial port PATH instead of the LAN (with --demo: COM1)\n"
    "  --baud N        baud rate of the serial port (default 9600)\n"
    "  --demo          talk to simulated devices inside this program: 192.168.1.101 to .104 for a PC\n"
    "                  at 192.168.1.10, the first of them also on the serial port COM1\n";

// Takes the link option at args[i] and its value, moving i onto the last word it used. False when args[i]
// is no link option; UsageError when its value is missing or bad.
bool takeLinkOption(const std::vector<std::string>& args, size_t& i, LinkOptions& options);

// Errors that the operator must see, one line each on stderr.
class StderrErrorSink : public ErrorSink {
public:
    void showError(const std::string& text, const std::string& caption) override;
};

// What a command talks through: the clock, the network and serial ports (real or the demo's), the UDP link
// and serial port object, and the exchange worker that alone uses them, as in the window.
class CtlSession {
public:
    explicit CtlSession(const LinkOptions& options);
    ~CtlSession();

    const LinkOptions& options() const { return options_; }
    Clock& clock() { return clock_; }
    ErrorSink& errors() { return errors_; }
    UdpLink& udp() { return udp_; }
    CnComm& serial() { return serial_; }
    DemoWorld* demo() { return demo_.get(); }  // the simulated devices of --demo, else nullptr

    // Runs the job on the exchange worker and waits for its result.
    template <class Result>
    Result exchange(std::function<Result()> job) {
        std::promise<Result> promise;
        std::future<Result> future = promise.get_future();
        worker_.request<Result>(
            std::move(job), [&promise](Result result) { promise.set_value(std::move(result)); },
            [](std::function<void()> deliver) { deliver(); });
        return future.get();
    }

    // The device search on the session's link, run on the exchange worker; on a serial link the port must
    // already have been opened (a closed port makes the search say so).
    SearchResult search();

private:
    LinkOptions options_;
    SystemClock clock_;
    StderrErrorSink errors_;
    PosixNetwork posixNetwork_;
    TermiosSerialPorts termiosPorts_;
    std::unique_ptr<DemoWorld> demo_;
    std::shared_ptr<Network> demoNetwork_;
    UdpLink udp_;
    CnComm serial_;
    ExchangeWorker worker_;  // last: it stops before the links it uses go away
};

}  // namespace kvx
