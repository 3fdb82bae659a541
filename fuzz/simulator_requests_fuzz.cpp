// The simulated devices' readers of the PC's bytes (korvelux-sim puts them on real ports): each message as a
// datagram to the demo set of devices, and all of them as one serial stream, cut into those pieces, to a
// multiviewer and a 16x16 at the end of their lines. Every answer and report must be a well-formed frame,
// the devices' state stays in the ranges they accept, and what they answer reads back as what they hold.
#include <algorithm>

#include "matrix/matrix_replies.h"
#include "multiviewer/status_decode.h"
#include "multiviewer/status_encode.h"
#include "simulator/demo_devices.h"
#include "simulator/device_dispatch.h"
#include "simulator/matrix_switcher_device.h"
#include "simulator/multiviewer_device.h"
#include "simulator/serial_device_host.h"
#include "support/fuzz_input.h"

namespace {

using namespace kvx;

bool isWellFormedFrame(const Bytes& f) {
    if (f.size() < frame::kOverhead || f[0] != frame::kStart0 || f[1] != frame::kStart1 ||
        f.back() != frame::kEnd)
        return false;
    const size_t sumAt = f.size() - 3;
    const uint16_t sum = checksum(std::span<const uint8_t>(f.data(), sumAt));
    return static_cast<size_t>(f[2] | (f[3] << 8)) == f.size() && f[sumAt] == (sum & 0xFF) &&
           f[sumAt + 1] == (sum >> 8);
}

void checkAnswer(const Bytes& answer) {
    KVX_FUZZ_CHECK(isWellFormedFrame(answer));
}

bool allOneTo16(const PerWindow<uint8_t>& values) {
    return std::all_of(values.begin(), values.end(), [](uint8_t v) { return v >= 1 && v <= 16; });
}
bool allAtMost(const PerWindow<uint8_t>& values, uint8_t last) {
    return std::all_of(values.begin(), values.end(), [&](uint8_t v) { return v <= last; });
}

void checkMultiviewer(const MultiviewerDevice& device, LinkKind link) {
    const MultiviewerDeviceState d = device.state();
    const MultiviewerState& s = d.model;
    KVX_FUZZ_CHECK(isLayoutCode(s.LayoutMode));
    KVX_FUZZ_CHECK(allOneTo16(s.WindowSource) && allOneTo16(s.MatrixRoute));
    KVX_FUZZ_CHECK(allAtMost(s.UmdTextColor, 15) && allAtMost(s.FormatTextColor, 15) &&
                   allAtMost(s.TimecodeTextColor, 15));
    KVX_FUZZ_CHECK(allAtMost(s.UmdBackColor, 31) && allAtMost(s.FormatBackColor, 31) &&
                   allAtMost(s.TimecodeBackColor, 31));
    KVX_FUZZ_CHECK(allAtMost(s.UmdOn, 1) && allAtMost(s.AudioMeterOn, 1) && allAtMost(s.AudioChannelPair, 7));
    KVX_FUZZ_CHECK(outputFormatPosition(s.OutputFormat).has_value() && s.AudioSourceWindow <= 16);
    for (uint8_t flag : {s.BorderOn, s.AudioAlarmOn, s.AllAudioMeterOn, s.AllUmdOn, s.FormatStatusOn,
                         s.TimecodeOn, s.SwitcherMode, s.DeviceDhcpOn, d.panelLocked})
        KVX_FUZZ_CHECK(flag <= 1);
    KVX_FUZZ_CHECK(d.umdSize <= 2);
    for (const auto& name : s.UmdName) KVX_FUZZ_CHECK(name.size() <= 16);
    KVX_FUZZ_CHECK(s.DeviceName.size() <= 16);

    // Its status reply on the link it was reached by is a whole frame that the PC accepts and decodes to what
    // the device holds.
    const Bytes reply = device.statusReply(link);
    const size_t size =
        link == kLinkLan ? MultiviewerDevice::kLanStatusReplySize : MultiviewerDevice::kSerialStatusReplySize;
    KVX_FUZZ_CHECK(reply.size() == size && isWellFormedFrame(reply));
    KVX_FUZZ_CHECK(link != kLinkLan || isLanStatusReply(reply));
    const std::optional<StatusBlock> block = statusBlockOf(reply);
    KVX_FUZZ_CHECK(block.has_value());
    MultiviewerState decoded;
    decoded.StatusBlock = *block;
    decodeStatusBlock(decoded);
    KVX_FUZZ_CHECK(encodeStatusBlock(decoded) == encodeStatusBlock(s));
}

void checkMatrix(const MatrixSwitcherDevice& device) {
    const MatrixSwitcherDevice::State s = device.state();
    const MatrixKind kind = device.outputs() == 8 ? kMatrix8x8 : kMatrix16x16;
    for (int k = 0; k < kind.ports; ++k) {
        const uint8_t route = s.routes[static_cast<size_t>(k)];
        KVX_FUZZ_CHECK(route >= 1 && route <= kind.ports);
    }
    KVX_FUZZ_CHECK(s.panelLocked <= 1 && s.dhcpOn <= 1 && s.backlightTime <= 4 &&
                   s.backlightBrightness <= 100);
    KVX_FUZZ_CHECK(s.name.size() * 2 <= kMaxMatrixNameBytes);
    // Its routing reply is as long as a serial read waits for and reads back as what it holds.
    const Bytes reply = device.routingReply(kLinkSerial);
    KVX_FUZZ_CHECK(reply.size() == kind.serialRoutingSize && isWellFormedFrame(reply));
    const auto parsed = parseRoutingReply(reply, kind);
    KVX_FUZZ_CHECK(parsed.has_value());
    KVX_FUZZ_CHECK(std::equal(s.routes.begin(), s.routes.begin() + kind.ports, parsed->routes.begin()));
    KVX_FUZZ_CHECK(parsed->name.value_or(u"") == s.name);
}

void checkDevices(const std::vector<std::unique_ptr<SimulatedDevice>>& devices, LinkKind link) {
    for (const auto& device : devices) {
        if (const auto* mv = dynamic_cast<const MultiviewerDevice*>(device.get()))
            checkMultiviewer(*mv, link);
        if (const auto* matrix = dynamic_cast<const MatrixSwitcherDevice*>(device.get()))
            checkMatrix(*matrix);
    }
}

// Devices of the demo set, each reporting into the check.
std::vector<std::unique_ptr<SimulatedDevice>> demoDevices() {
    auto devices = makeSimulatedDevices(demoIdentities());
    for (const auto& device : devices) device->setReportSink(checkAnswer);
    return devices;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);

    const auto lanDevices = demoDevices();
    DeviceList lanList;
    for (const auto& device : lanDevices) lanList.push_back(device.get());
    fuzz::forEachMessage(
        input, [&](std::span<const uint8_t> datagram) { deliverRequest(lanList, datagram, checkAnswer); });
    checkDevices(lanDevices, kLinkLan);

    const auto serialDevices = demoDevices();
    std::vector<std::unique_ptr<SerialDeviceSession>> lines;
    for (const auto& device : serialDevices) {
        lines.push_back(
            std::make_unique<SerialDeviceSession>(*device, [](const std::vector<Bytes>& pieces, int) {
                Bytes answer;
                for (const Bytes& piece : pieces) answer.insert(answer.end(), piece.begin(), piece.end());
                checkAnswer(answer);
            }));
    }
    fuzz::forEachMessage(input, [&](std::span<const uint8_t> piece) {
        for (const auto& line : lines) line->feed(piece);
    });
    checkDevices(serialDevices, kLinkSerial);
    return 0;
}
