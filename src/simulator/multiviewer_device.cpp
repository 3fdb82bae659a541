#include "simulator/multiviewer_device.h"

#include <algorithm>
#include <utility>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/status_encode.h"
#include "multiviewer/status_layout.h"

namespace kvx {

namespace {
constexpr uint8_t kSignalFormatLast = (1u << status::kSignalFormatBits) - 1;  // 63
constexpr size_t kSerialNameBytes = status::kDeviceNameMaxBytes - 2;          // 15 characters

std::u16string nameOf(const std::string& singleByte) {
    std::u16string name;
    for (char c : singleByte) name.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    name.resize(std::min(name.size(), status::kDeviceNameMaxBytes / 2));
    return name;
}

bool isColourCode(uint8_t code) {
    switch (code) {
        case mv::kSetUmdTextColor:
        case mv::kSetUmdBackColor:
        case mv::kSetFormatTextColor:
        case mv::kSetFormatBackColor:
        case mv::kSetTimecodeTextColor:
        case mv::kSetTimecodeBackColor:
            return true;
        default:
            return false;
    }
}
}  // namespace

MultiviewerDevice::MultiviewerDevice(Identity identity)
    : SimulatedDevice(std::move(identity)), state_(newMultiviewerDeviceState()) {
    state_.model.DeviceName = nameOf(this->identity().name);
}

MultiviewerDeviceState MultiviewerDevice::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void MultiviewerDevice::setModel(const MultiviewerState& model) {
    std::lock_guard lock(mutex_);
    state_.model = model;
}

Bytes MultiviewerDevice::statusReply(LinkKind link) const {
    StatusBlock block;
    {
        std::lock_guard lock(mutex_);
        block = encodeStatusBlock(state_.model);
    }
    if (link != kLinkSerial) return deviceFrame(mv::kReadStatus, block, link);
    uint8_t& nameLength = block[status::at(status::kDeviceNameLength)];
    if (nameLength > kSerialNameBytes) {
        nameLength = static_cast<uint8_t>(kSerialNameBytes);
        std::fill(block.begin() + status::at(status::kDeviceName) + kSerialNameBytes, block.end(), 0);
    }
    return deviceFrame(mv::kReadStatus, std::span<const uint8_t>(block).first(block.size() - 1), link);
}

void MultiviewerDevice::onFrame(std::span<const uint8_t> frame, const Reply& reply) {
    if (!isAddressedBy(frame)) return;
    const uint8_t code = frame[frame::kCommandOffset];
    // The payload lies between byte 17 and the checksum; the length field is not trusted.
    const auto payload = frame.subspan(frame::kPayloadOffset, frame.size() - frame::kOverhead);
    if (code == mv::kReadStatus) {
        if (payload.empty() && reply) reply(statusReply(frame[frame::kLinkOffset]));
        return;
    }
    act(code, payload);
}

bool MultiviewerDevice::act(uint8_t code, std::span<const uint8_t> payload) {
    RequestOutcome outcome;
    {
        std::lock_guard lock(mutex_);
        outcome = applyMultiviewerRequest(state_, code, payload);
    }
    send(outcome.report);
    return outcome.applied;
}

void MultiviewerDevice::send(const std::optional<DeviceReport>& r) {
    if (r) report(deviceFrame(r->code, r->data));
}

bool MultiviewerDevice::changeLayout(uint8_t code) {
    const uint8_t payload[] = {code};
    return act(mv::kSetLayout, payload);
}

bool MultiviewerDevice::changeSource(uint8_t window, uint8_t input) {
    const uint8_t payload[] = {input, window};
    return act(mv::kSetSource, payload);
}

bool MultiviewerDevice::switchUmd(uint8_t input, uint8_t on) {
    if (input == 0) {
        const uint8_t payload[] = {on};
        return act(mv::kSetAllUmd, payload);
    }
    const uint8_t payload[] = {input, on};
    return act(mv::kSetUmdOn, payload);
}

bool MultiviewerDevice::changeColour(uint8_t code, uint8_t index, uint8_t colour) {
    if (!isColourCode(code)) return false;
    const uint8_t payload[] = {index, colour};
    return act(code, payload);
}

bool MultiviewerDevice::setSignal(uint8_t window, uint8_t present, uint8_t format) {
    if (window >= kWindowCount || present > 1 || format > kSignalFormatLast) return false;
    {
        std::lock_guard lock(mutex_);
        state_.model.WindowSignal[window] = {present, format};
    }
    // The one report that counts windows from 0.
    send(DeviceReport{mv::kWindowSignal, {window, present, format}});
    return true;
}

void MultiviewerDevice::loadDefaults() {
    const uint8_t payload[] = {0x00};
    act(mv::kLoadDefault, payload);
}

bool MultiviewerDevice::frontPanelChange(uint8_t code, std::span<const uint8_t> payload) {
    if (code == mv::kWindowSignal)
        return payload.size() == 3 && setSignal(payload[0], payload[1], payload[2]);
    if (code == mv::kReadStatus) return false;  // a question of the PC, not a change
    return act(code, payload);
}

}  // namespace kvx
