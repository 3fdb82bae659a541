#include "simulator/simulated_device.h"

#include <algorithm>
#include <utility>

namespace kvx {

namespace {
constexpr uint8_t kProbeCode = 0xFF;
// Backlight requests to either matrix switcher carry this code in byte 4 instead of the device's type.
constexpr uint8_t kMatrixPanelType = 0x03;

bool looksLikeFrame(std::span<const uint8_t> frame) {
    return frame.size() >= frame::kOverhead && frame[0] == frame::kStart0 && frame[1] == frame::kStart1;
}
}  // namespace

SimulatedDevice::SimulatedDevice(Identity identity) : identity_(std::move(identity)) {}

SimulatedDevice::~SimulatedDevice() = default;

bool SimulatedDevice::isDiscoveryProbe(std::span<const uint8_t> frame) {
    return looksLikeFrame(frame) && frame[frame::kTypeOffset] == kProbeCode &&
           frame[frame::kSubOffset] == kProbeCode && frame[frame::kCommandOffset] == kProbeCode;
}

bool SimulatedDevice::isAddressedBy(std::span<const uint8_t> frame) const {
    if (!looksLikeFrame(frame)) return false;
    const uint8_t type = frame[frame::kTypeOffset];
    const bool matrix = identity_.type == kType8x8 || identity_.type == kType16x16;
    return type == identity_.type || (matrix && type == kMatrixPanelType);
}

void SimulatedDevice::handleFrame(std::span<const uint8_t> frame, const Reply& reply) {
    // Shorter input cannot hold a header and its end; nothing of it is read.
    if (!looksLikeFrame(frame)) return;
    {
        std::lock_guard lock(mutex_);
        frames_.emplace_back(frame.begin(), frame.end());
        if (std::ranges::find(ignoredCommands_, frame[frame::kCommandOffset]) != ignoredCommands_.end())
            return;
    }
    if (isDiscoveryProbe(frame)) {
        if (reply) reply(discoveryReply(frame[frame::kLinkOffset]));
        return;
    }
    onFrame(frame, reply);
}

void SimulatedDevice::handleText(std::string_view text) {
    std::lock_guard lock(mutex_);
    texts_.emplace_back(text);
}

void SimulatedDevice::setReportSink(ReportSink sink) {
    std::lock_guard lock(mutex_);
    reportSink_ = std::move(sink);
}

void SimulatedDevice::ignoreCommand(uint8_t code) {
    std::lock_guard lock(mutex_);
    ignoredCommands_.push_back(code);
}

std::vector<Bytes> SimulatedDevice::receivedFrames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

std::vector<std::string> SimulatedDevice::receivedTexts() const {
    std::lock_guard lock(mutex_);
    return texts_;
}

Bytes SimulatedDevice::discoveryReply(LinkKind link) const {
    // The search takes the name up to the first '-', x, '-' and the four bytes after it as the DeviceId.
    Bytes data(identity_.name.begin(), identity_.name.end());
    data.insert(data.end(), {'-', '0', '-'});
    data.insert(data.end(), identity_.id.begin(), identity_.id.end());
    return deviceFrame(kProbeCode, data, link);
}

void SimulatedDevice::onFrame(std::span<const uint8_t>, const Reply&) {}

void SimulatedDevice::report(const Bytes& frame) {
    ReportSink sink;
    {
        std::lock_guard lock(mutex_);
        sink = reportSink_;
    }
    if (sink) sink(frame);
}

Bytes SimulatedDevice::deviceFrame(uint8_t command, std::span<const uint8_t> data, LinkKind link) const {
    // Byte 17 is not read by the PC; the data starts at byte 18.
    Bytes payload{0x00};
    payload.insert(payload.end(), data.begin(), data.end());
    Bytes out = buildFrame(identity_.type, identity_.sub, link, command, payload);
    std::copy(identity_.id.begin(), identity_.id.end(), out.begin() + frame::kDeviceIdOffset);
    // The DeviceId changed bytes that the sum covers.
    const size_t sumOffset = out.size() - 3;
    const uint16_t sum = checksum(std::span<const uint8_t>(out.data(), sumOffset));
    out[sumOffset] = static_cast<uint8_t>(sum & 0xFF);
    out[sumOffset + 1] = static_cast<uint8_t>(sum >> 8);
    return out;
}

}  // namespace kvx
