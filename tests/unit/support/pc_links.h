#pragma once
// The PC's side of the links for unit tests: both links on an in-memory network and serial line, on a
// manual clock, with the errors recorded instead of shown.
#include <memory>
#include <string>
#include <vector>

#include "platform/manual_clock.h"
#include "platform/sim_network.h"
#include "platform/sim_serial.h"
#include "protocol/device_link.h"

namespace kvx::test {

inline constexpr uint32_t kPcAddress = 0x0A000001;      // 10.0.0.1 on the in-memory network
inline constexpr uint32_t kDeviceAddress = 0x0A000002;  // 10.0.0.2
inline constexpr const char* kSerialName = "ttySIM0";

class RecordingErrors : public ErrorSink {
public:
    void showError(const std::string& text, const std::string& caption) override {
        shown.push_back(text);
        captions.push_back(caption);
    }
    std::vector<std::string> shown;
    std::vector<std::string> captions;
};

struct PcLinks {
    PcLinks() { ports.add(kSerialName, line); }
    ~PcLinks() { serial.close(); }

    ManualClock clock;
    SimNetwork net;
    std::shared_ptr<Network> pc = net.host(kPcAddress);
    RecordingErrors errors;
    UdpLink udp{*pc, errors};
    std::shared_ptr<SimSerialLine> line = std::make_shared<SimSerialLine>(clock);
    SimSerialPorts ports;
    CnComm serial{ports};
    DeviceLink link{udp, serial, clock};
};

// A device at 10.0.0.2 (port 7000) and on the serial line that records every request and answers it with
// what the test has queued.
struct AnsweringDevice {
    explicit AnsweringDevice(PcLinks& links) {
        links.net.listen(kDeviceAddress, kControlPort, [this, &links](std::span<const uint8_t> d, Ipv4Endpoint from) {
            requests.emplace_back(d.begin(), d.end());
            for (const Bytes& answer : lanAnswers) links.net.sendFrom({kDeviceAddress, kControlPort}, answer, from);
        });
        links.line->setDeviceHandler([this, &links](std::span<const uint8_t> block) {
            requests.emplace_back(block.begin(), block.end());
            for (const Bytes& answer : serialAnswers) links.line->deviceWrite(answer, serialDelayMs);
        });
    }

    std::vector<Bytes> lanAnswers;
    std::vector<Bytes> serialAnswers;
    int serialDelayMs = 0;
    std::vector<Bytes> requests;
};

}  // namespace kvx::test
