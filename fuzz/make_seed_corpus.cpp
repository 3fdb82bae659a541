// Writes the fuzz targets' seed corpora from the protocol's own frames: the requests the PC builds, the
// answers and reports of the simulated devices, and the example frames of the protocol's description. Each
// seed is in the form its target reads (messages with a length byte in front, or one whole reply).
//
//     kvx-fuzz-seeds fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "matrix/matrix_replies.h"
#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/multiviewer_commands.h"
#include "protocol/control_frame.h"
#include "simulator/demo_devices.h"
#include "simulator/device_dispatch.h"
#include "simulator/matrix_switcher_device.h"
#include "simulator/multiviewer_device.h"

namespace {

using namespace kvx;
namespace fs = std::filesystem;

const std::array<uint8_t, 4> kConnected{0x11, 0x22, 0x33, 0x44};  // the id the report target connects to
constexpr size_t kMaxMessage = 255;

// Messages with their length byte; a longer one is cut into several (pieces of a stream).
Bytes messages(const std::vector<Bytes>& list) {
    Bytes out;
    for (const Bytes& message : list) {
        for (size_t at = 0; at < message.size(); at += kMaxMessage) {
            const size_t length = std::min(kMaxMessage, message.size() - at);
            out.push_back(static_cast<uint8_t>(length));
            out.insert(out.end(), message.begin() + static_cast<std::ptrdiff_t>(at),
                       message.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
    }
    return out;
}

// The bytes cut into pieces of the given size, as a slow serial line delivers them.
std::vector<Bytes> pieces(const Bytes& bytes, size_t size) {
    std::vector<Bytes> out;
    for (size_t at = 0; at < bytes.size(); at += size)
        out.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                         bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), at + size)));
    return out;
}

Bytes concat(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes text(const std::string& ascii) {
    return Bytes(ascii.begin(), ascii.end());
}

class CorpusWriter {
public:
    explicit CorpusWriter(fs::path root) : root_(std::move(root)) {}
    void write(const std::string& target, const std::string& name, const Bytes& bytes) {
        fs::create_directories(root_ / target);
        std::ofstream(root_ / target / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        ++written_;
    }
    int written() const { return written_; }

private:
    fs::path root_;
    int written_ = 0;
};

std::unique_ptr<MultiviewerDevice> connectedMultiviewer() {
    SimulatedDevice::Identity identity = defaultIdentity(kTypeMultiviewer, 0);
    identity.id = kConnected;
    return std::make_unique<MultiviewerDevice>(identity);
}

// Every request that the multiviewer's senders build, in the order of the command set.
std::vector<Bytes> multiviewerRequests() {
    MultiviewerState state;
    std::vector<Bytes> frames;
    DeviceEntry entry;
    entry.deviceType = kTypeMultiviewer;
    entry.subCode = 0x01;
    MultiviewerCommands commands(
        &state,
        [entry] {
            return Target{kLinkLan, entry};
        },
        [&](Bytes frame, FrameRoute, std::function<void(bool)> afterSend) {
            frames.push_back(std::move(frame));
            afterSend(true);
        });
    state.UmdName[2] = u"Camera 3";
    commands.loadDefault();
    commands.setOutputFormat(11);
    commands.setUmdName(3);
    commands.setLayout(40);
    commands.setSource(5, 2);
    commands.setUmdOn(4, 1);
    commands.setUmdOn(0, 0);
    commands.setAudioMeterOn(3, 1);
    commands.setAudioMeterOn(mv::kAllMetersIndex, 0);
    commands.setAudioSource(6);
    commands.setUmdTextColor(0, 6);
    commands.setUmdBackColor(16, 2);
    commands.setFormatTextColor(1, 7);
    commands.setFormatBackColor(0, 14);
    commands.setBorder(1);
    commands.setAudioChannel(2, 3);
    commands.setTimecodeTextColor(5, 4);
    commands.setTimecodeBackColor(0, 15);
    commands.setAudioAlarm(1);
    commands.setUmdSize(2);
    commands.sendPreset(mv::kSaveCustom, 1);
    commands.sendPreset(mv::kLoadCustom, 1);
    commands.resetMatrix();
    commands.setFormatStatus(0);
    commands.setTimecode(1);
    state.SwitcherMode = 1;
    commands.setWorkMode();
    state.DhcpToggle = 1;
    commands.setDhcp();
    return frames;
}

// The example frames of the protocol's description: the lock request, a request without payload, the probe
// and the network settings.
std::vector<Bytes> exampleFrames() {
    return {
        {0xA5, 0x6C, 0x15, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
         0x00, 0x00, 0x00, 0x00, 0x00, 0x50, 0x01, 0x1A, 0x02, 0xAE},
        {0xA5, 0x6C, 0x14, 0x00, 0xA1, 0x01, 0x00, 0x00, 0x00, 0x00,
         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0xD1, 0x01, 0xAE},
        {0xA5, 0x6C, 0x1B, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
         0x00, 0x00, 0xFF, 0x19, 0x08, 0x21, 0x03, 0x14, 0x05, 0x09, 0x91, 0x04, 0xAE},
        {0xA5, 0x6C, 0x21, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05,
         0xC0, 0xA8, 0x01, 0x64, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA7, 0x03, 0xAE},
    };
}

// The reports a multiviewer sends for each of its front-panel changes and for every request of the PC.
std::vector<Bytes> multiviewerReports() {
    auto device = connectedMultiviewer();
    std::vector<Bytes> reports;
    device->setReportSink([&](const Bytes& report) { reports.push_back(report); });
    device->changeLayout(5);
    device->changeSource(3, 7);
    device->switchUmd(2, 1);
    device->switchUmd(0, 0);
    for (uint8_t code : {mv::kSetUmdTextColor, mv::kSetUmdBackColor, mv::kSetFormatTextColor,
                         mv::kSetFormatBackColor, mv::kSetTimecodeTextColor, mv::kSetTimecodeBackColor}) {
        device->changeColour(code, 0, 6);
        device->changeColour(code, 16, 3);
    }
    device->setSignal(0, 1, 31);
    device->setSignal(15, 0, 0);
    const DeviceList list{device.get()};
    for (const Bytes& request : multiviewerRequests()) deliverRequest(list, request, [](const Bytes&) {});
    device->loadDefaults();
    return reports;
}

void writeDiscoverySeeds(CorpusWriter& out) {
    std::vector<Bytes> replies;
    for (const auto& device : makeSimulatedDevices(demoIdentities()))
        replies.push_back(device->discoveryReply(kLinkLan));
    out.write("lan_discovery_fuzz", "demo-set", messages(replies));
    const Bytes twoNames = buildFrame(kTypeMultiviewer, 0x01, kLinkLan, 0xFF,
                                      {0x00, 'A', '-', '0', '-', 1, 2, 3, 4, 'B', '-', '1', '-', 5, 6, 7, 8});
    out.write("lan_discovery_fuzz", "two-names-in-one-reply", messages({twoNames}));
    out.write("lan_discovery_fuzz", "probe-and-short-reply",
              messages({exampleFrames()[2], exampleFrames()[0]}));

    const auto multiviewer = connectedMultiviewer();
    const Bytes probeReply = multiviewer->discoveryReply(kLinkSerial);
    out.write("serial_discovery_fuzz", "reply-in-pieces", messages(pieces(probeReply, 7)));
    out.write("serial_discovery_fuzz", "reply-after-noise",
              messages({{0x00, 0xA5, 0x13, 0xA5, 0x6C, 0x40}, probeReply}));
    // The status frame the serial search also takes: the block after command 0x32.
    const Bytes lanReply = multiviewer->statusReply(kLinkLan);
    const Bytes block = concat({{0x00}, Bytes(lanReply.begin() + 18, lanReply.end() - 3)});
    const Bytes statusFrame = buildFrame(kTypeMultiviewer, 0x01, kLinkSerial, 0x32, block);
    out.write("serial_discovery_fuzz", "status-frame-in-pieces", messages(pieces(statusFrame, 200)));
}

void writeStatusSeeds(CorpusWriter& out) {
    auto device = connectedMultiviewer();
    out.write("status_readback_fuzz", "lan-factory", device->statusReply(kLinkLan));
    out.write("status_readback_fuzz", "serial-factory", device->statusReply(kLinkSerial));
    device->changeLayout(42);
    device->setSignal(3, 1, 39);
    const DeviceList list{device.get()};
    for (const Bytes& request : multiviewerRequests()) deliverRequest(list, request, [](const Bytes&) {});
    out.write("status_readback_fuzz", "lan-after-requests", device->statusReply(kLinkLan));
}

// The report target's input: the page shown (none, or pages 1 to 6), then the reports.
Bytes onPage(uint8_t page, const std::vector<Bytes>& reports) {
    Bytes input{page};
    const Bytes streamed = messages(reports);
    input.insert(input.end(), streamed.begin(), streamed.end());
    return input;
}

void writeReportSeeds(CorpusWriter& out) {
    const std::vector<Bytes> reports = multiviewerReports();
    for (uint8_t page = kPageNone; page <= kPageAudio; ++page)
        out.write("report_handler_fuzz", "every-report-page-" + std::to_string(page), onPage(page, reports));
    Bytes stranger = reports.front();
    stranger[13] ^= 0xFF;
    out.write("report_handler_fuzz", "another-device-and-short",
              onPage(kPageLayout, {stranger, Bytes(reports[1].begin(), reports[1].begin() + 18)}));
}

void writeMatrixSeeds(CorpusWriter& out) {
    for (uint8_t type : {kType8x8, kType16x16}) {
        MatrixSwitcherDevice device(defaultIdentity(type, 1));
        MatrixSwitcherDevice::State state = device.state();
        state.name = u"Studio A";
        state.routes[0] = 3;
        device.setState(state);
        const std::string name = type == kType8x8 ? "8x8" : "16x16";
        out.write("matrix_replies_fuzz", "routing-" + name, device.routingReply(kLinkLan));
        out.write("matrix_replies_fuzz", "backlight-" + name, device.backlightReply(kLinkSerial));
    }
}

void writeSimulatorSeeds(CorpusWriter& out) {
    std::vector<Bytes> requests = exampleFrames();
    const std::vector<Bytes> multiviewer = multiviewerRequests();
    requests.insert(requests.end(), multiviewer.begin(), multiviewer.end());
    requests.push_back(buildCustomName(kTypeMultiviewer, 0x01, kLinkLan, u"Control room"));
    out.write("simulator_requests_fuzz", "multiviewer-requests", messages(requests));

    const std::vector<Bytes> matrix = {
        text("3V1,2,5."),
        text("3All."),
        text("All#."),
        buildFrame(kType8x8, 0x01, kLinkLan, kReadRoutingCommand),
        buildFrame(kType16x16, 0x01, kLinkSerial, kReadRoutingCommand),
        buildFrame(kBacklightType, 0x01, kLinkLan, kReadBacklightCommand),
        buildBacklightTime(0x01, kLinkLan, 2),
        buildBacklightBrightness(0x01, kLinkLan, 60),
        buildMatrixOutputFormat(0x01, kLinkLan, 23),
        buildPanelLock(kType16x16, 0x01, kLinkLan, true),
        buildCustomName(kType8x8, 0x01, kLinkLan, u"Studio A"),
    };
    out.write("simulator_requests_fuzz", "matrix-requests", messages(matrix));

    // A header that announces the longest frame and never gets it, then bytes that trickle in one at a
    // time, and a whole request at the end: the line must go on at once, without going over what waits
    // again for every byte.
    std::vector<Bytes> trickle{{frame::kStart0, frame::kStart1, 0x00, 0x04}};
    for (int i = 0; i < 1000; ++i) trickle.push_back({0x00});
    trickle.push_back(buildFrame(kTypeMultiviewer, 0x01, kLinkSerial, mv::kReadStatus));
    out.write("simulator_requests_fuzz", "long-header-then-bytes-one-by-one", messages(trickle));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvx-fuzz-seeds CORPUS_DIR\n");
        return 2;
    }
    CorpusWriter out(argv[1]);
    writeDiscoverySeeds(out);
    writeStatusSeeds(out);
    writeReportSeeds(out);
    writeMatrixSeeds(out);
    writeSimulatorSeeds(out);
    std::printf("%d seeds written to %s\n", out.written(), argv[1]);
    return 0;
}
