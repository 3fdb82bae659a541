#include "simulator/matrix_switcher_device.h"

#include <stdexcept>

#include "matrix/matrix_replies.h"
#include "simulator/main_window_requests.h"

namespace kvx {
namespace {

constexpr uint8_t kBacklightTime = 0x51;
constexpr uint8_t kBrightness = 0x52;
constexpr uint8_t kOutputFormat = 0x19;
constexpr size_t kNetworkPayload = 13;  // 12 address bytes, then DHCP on
constexpr uint8_t kLastBacklightTime = 4;
constexpr uint8_t kMaxBrightness = 100;

MatrixKind kindOf(uint8_t type) {
    if (type == kType8x8) return kMatrix8x8;
    if (type == kType16x16) return kMatrix16x16;
    throw std::invalid_argument("a matrix switcher is of type 0x82 or 0x83");
}

std::u16string nameFrom(std::span<const uint8_t> utf16le, size_t maxBytes) {
    std::u16string name;
    const size_t bytes = std::min(utf16le.size(), maxBytes);
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        name.push_back(static_cast<char16_t>(utf16le[i] | (utf16le[i + 1] << 8)));
    }
    return name;
}

}  // namespace

MatrixSwitcherDevice::MatrixSwitcherDevice(Identity identity)
    : SimulatedDevice(identity), kind_(kindOf(identity.type)) {
    for (int k = 1; k <= kind_.ports; ++k)
        state_.routes[static_cast<size_t>(k - 1)] = static_cast<uint8_t>(k);
}

MatrixSwitcherDevice::State MatrixSwitcherDevice::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void MatrixSwitcherDevice::setState(const State& state) {
    std::lock_guard lock(mutex_);
    state_ = state;
    state_.name.resize(std::min(state_.name.size(), kMaxMatrixNameBytes / 2));
}

void MatrixSwitcherDevice::handleText(std::string_view text) {
    SimulatedDevice::handleText(text);
    const std::optional<RoutingText> routing = parseRoutingText(text);
    if (!routing) return;
    std::lock_guard lock(mutex_);
    for (int k = 1; k <= kind_.ports; ++k) {
        const size_t i = static_cast<size_t>(k - 1);
        if (routing->input == 0) {
            state_.routes[i] = static_cast<uint8_t>(k);
        } else if (routing->outputs[i]) {
            state_.routes[i] = static_cast<uint8_t>(routing->input);
        }
    }
}

// "All#.", "<input>All." or "<input>V<output>,<output>,...,<output>." with decimal numbers from 1 to the
// number of outputs and no leading zeros; anything else is malformed.
std::optional<MatrixSwitcherDevice::RoutingText> MatrixSwitcherDevice::parseRoutingText(
    std::string_view text) const {
    RoutingText routing;
    if (text == "All#.") return routing;
    if (text.empty() || text.back() != '.') return std::nullopt;
    text.remove_suffix(1);

    constexpr std::string_view kAll = "All";
    if (text.ends_with(kAll)) {
        const std::optional<int> input = parsePort(text.substr(0, text.size() - kAll.size()));
        if (!input) return std::nullopt;
        routing.input = *input;
        routing.outputs.fill(true);
        return routing;
    }

    const size_t v = text.find('V');
    if (v == std::string_view::npos) return std::nullopt;
    const std::optional<int> input = parsePort(text.substr(0, v));
    if (!input) return std::nullopt;
    routing.input = *input;
    std::string_view list = text.substr(v + 1);
    while (true) {
        const size_t comma = list.find(',');
        const std::optional<int> output = parsePort(list.substr(0, comma));
        if (!output) return std::nullopt;
        routing.outputs[static_cast<size_t>(*output - 1)] = true;
        if (comma == std::string_view::npos) return routing;
        list.remove_prefix(comma + 1);
    }
}

std::optional<int> MatrixSwitcherDevice::parsePort(std::string_view digits) const {
    if (digits.empty() || digits.size() > 2 || digits.front() == '0') return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > kind_.ports) return std::nullopt;
    return value;
}

void MatrixSwitcherDevice::onFrame(std::span<const uint8_t> frame, const Reply& reply) {
    if (frame.size() < frame::kOverhead) return;
    const uint8_t type = frame[frame::kTypeOffset];
    const uint8_t command = frame[frame::kCommandOffset];
    const LinkKind link = frame[frame::kLinkOffset];
    const auto payload = frame.subspan(frame::kPayloadOffset, frame.size() - frame::kOverhead);
    std::lock_guard lock(mutex_);
    if (type == identity().type) {
        onOwnFrame(command, payload, link, reply);
    } else if (type == kBacklightType) {
        onBacklightFrame(command, payload, link, reply);
    }
}

void MatrixSwitcherDevice::onOwnFrame(uint8_t command, std::span<const uint8_t> payload, LinkKind link,
                                      const Reply& reply) {
    switch (command) {
        case kReadRoutingCommand:
            if (payload.empty() && reply) reply(routingReply(link));
            break;
        case windowreq::kPanelLock:
            if (payload.size() == 1 && payload[0] <= 1) state_.panelLocked = payload[0];
            break;
        case windowreq::kCustomName:
            state_.name = nameFrom(payload, kMaxMatrixNameBytes);
            break;
        case windowreq::kNetworkSettings:
            if (payload.size() == kNetworkPayload && payload.back() <= 1) state_.dhcpOn = payload.back();
            break;
        case kOutputFormat:
            if (kind_.hasOutputFormat && payload.size() == 2 && payload[0] == 0x00) {
                state_.outputFormatCode = payload[1];
            }
            break;
        default:
            break;
    }
}

void MatrixSwitcherDevice::onBacklightFrame(uint8_t command, std::span<const uint8_t> payload, LinkKind link,
                                            const Reply& reply) {
    if (command == kReadBacklightCommand && payload.empty()) {
        if (reply) reply(backlightReply(link));
    } else if (command == kBacklightTime && payload.size() == 1 && payload[0] <= kLastBacklightTime) {
        state_.backlightTime = payload[0];
    } else if (command == kBrightness && payload.size() == 1 && payload[0] <= kMaxBrightness) {
        state_.backlightBrightness = payload[0];
    }
}

// Data from byte 18: the routes, lock, DHCP, (the 16x16's output format code), the name length in bytes and
// a 32-byte name area.
Bytes MatrixSwitcherDevice::routingReply(LinkKind link) const {
    std::lock_guard lock(mutex_);
    Bytes data(state_.routes.begin(), state_.routes.begin() + kind_.ports);
    data.push_back(state_.panelLocked);
    data.push_back(state_.dhcpOn);
    if (kind_.hasOutputFormat) data.push_back(state_.outputFormatCode);
    const Bytes name = utf16le(state_.name);
    data.push_back(static_cast<uint8_t>(name.size()));
    data.insert(data.end(), name.begin(), name.end());
    data.resize(data.size() + kMaxMatrixNameBytes - name.size(), 0);
    return deviceFrame(kReadRoutingCommand, data, link);
}

Bytes MatrixSwitcherDevice::backlightReply(LinkKind link) const {
    std::lock_guard lock(mutex_);
    const uint8_t data[] = {state_.backlightTime, state_.backlightBrightness};
    return deviceFrame(kReadBacklightCommand, data, link);
}

}  // namespace kvx
