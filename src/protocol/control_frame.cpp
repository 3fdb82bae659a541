#include "protocol/control_frame.h"

namespace kvx {

uint16_t checksum(std::span<const uint8_t> bytes) {
    uint32_t sum = 0;
    for (uint8_t b : bytes) sum += b;
    return static_cast<uint16_t>(sum & 0xFFFFu);
}

uint8_t toBcd(int value) { return static_cast<uint8_t>((value / 10) * 16 + value % 10); }

Bytes buildFrame(uint8_t type, uint8_t sub, LinkKind link, uint8_t command, std::span<const uint8_t> payload) {
    const size_t total = frame::kOverhead + payload.size();
    Bytes out(frame::kHeaderSize, 0);
    out[0] = frame::kStart0;
    out[1] = frame::kStart1;
    out[2] = static_cast<uint8_t>(total & 0xFF);
    out[3] = static_cast<uint8_t>((total >> 8) & 0xFF);
    out[frame::kTypeOffset] = type;
    out[frame::kSubOffset] = sub;
    out[frame::kLinkOffset] = link;
    out[frame::kCommandOffset] = command;
    out.insert(out.end(), payload.begin(), payload.end());
    const uint16_t sum = checksum(out);
    out.push_back(static_cast<uint8_t>(sum & 0xFF));
    out.push_back(static_cast<uint8_t>(sum >> 8));
    out.push_back(frame::kEnd);
    return out;
}

Bytes buildDiscoveryProbe(LinkKind link, const LocalDateTime& now) {
    // The day of week follows the day of month.
    return buildFrame(0xFF, 0xFF, link, 0xFF,
                      {toBcd(now.year % 100), toBcd(now.month), toBcd(now.day), toBcd(now.weekday), toBcd(now.hour),
                       toBcd(now.minute), toBcd(now.second)});
}

Bytes buildPanelLock(uint8_t type, uint8_t sub, LinkKind link, bool locked) {
    return buildFrame(type, sub, link, 0x50, {static_cast<uint8_t>(locked ? 1 : 0)});
}

Bytes utf16le(std::u16string_view text) {
    Bytes out;
    out.reserve(text.size() * 2);
    for (char16_t unit : text) {
        out.push_back(static_cast<uint8_t>(unit & 0xFF));
        out.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return out;
}

Bytes buildCustomName(uint8_t type, uint8_t sub, LinkKind link, std::u16string_view name) {
    return buildFrame(type, sub, link, 0x0F, utf16le(name));
}

Bytes buildIndexedText(uint8_t type, uint8_t sub, LinkKind link, uint8_t index, std::u16string_view text) {
    Bytes payload{index, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01};
    const Bytes units = utf16le(text);
    payload.insert(payload.end(), units.begin(), units.end());
    return buildFrame(type, sub, link, 0x1E, payload);
}

Bytes buildNetworkSettings(uint8_t type, uint8_t sub, LinkKind link, const std::array<uint8_t, 12>& addresses,
                           uint8_t dhcpOn) {
    Bytes payload(addresses.begin(), addresses.end());
    payload.push_back(dhcpOn);
    return buildFrame(type, sub, link, 0x05, payload);
}

Bytes buildBacklightTime(uint8_t sub, LinkKind link, uint8_t value) {
    return buildFrame(0x03, sub, link, 0x51, {value});
}

Bytes buildBacklightBrightness(uint8_t sub, LinkKind link, uint8_t value) {
    return buildFrame(0x03, sub, link, 0x52, {value});
}

Bytes buildMatrixOutputFormat(uint8_t sub, LinkKind link, uint8_t code) {
    return buildFrame(kType16x16, sub, link, 0x19, {0x00, code});
}

}  // namespace kvx
