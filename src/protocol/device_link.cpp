#include "protocol/device_link.h"

namespace kvx {

namespace {
constexpr int kLanPauseMs = 10;
constexpr int kSerialPauseMs = 20;
}  // namespace

bool DeviceLink::send(const Target& target, std::span<const uint8_t> frame, SerialPause pause) {
    if (target.link == kLinkLan) {
        if (!sendAndKeepOpen(target, frame)) return false;
        udp_.closeCommandSocket();
        return true;
    }
    if (target.link == kLinkSerial) {
        if (!serial_.isOpen()) return false;
        serial_.drain();
        serial_.write(frame.data(), frame.size());
        if (pause == SerialPause::After20ms) clock_.sleepMs(kSerialPauseMs);
        return true;
    }
    return false;
}

bool DeviceLink::sendAndKeepOpen(const Target& target, std::span<const uint8_t> frame) {
    if (target.link != kLinkLan || !udp_.openCommandSocket(target.entry)) {
        if (target.link == kLinkLan) udp_.closeCommandSocket();
        return false;
    }
    udp_.sendToPeer(frame);
    clock_.sleepMs(kLanPauseMs);
    return true;
}

}  // namespace kvx
