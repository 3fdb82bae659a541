#include "protocol/discovery.h"

#include <algorithm>

#include "protocol/control_frame.h"

namespace kvx {

namespace {

constexpr size_t kLanReceiveSize = 128;
constexpr size_t kSerialReadLimit = 256;
constexpr int kSerialPollMs = 50;
constexpr int kSerialRetryMs = 20;
constexpr int kIdlePollMs = 1;  // an empty socket is polled again after 1 ms rather than in a busy loop
constexpr uint8_t kDiscoveryCommand = 0xFF;
constexpr uint8_t kStatusCommand = 0x32;

std::string bytesAsText(std::span<const uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

// The name pattern '-', one byte, '-' at p, looked for in [from, end) with p + 2 inside it.
bool namePatternAt(std::span<const uint8_t> d, size_t p) { return d[p] == '-' && d[p + 2] == '-'; }

}  // namespace

bool isAcceptedDeviceType(uint8_t type) {
    switch (type) {
        case 0x60: case 0x81: case 0x82: case 0x83: case 0x90: case 0xA1: case 0xA3: case 0xA4: case 0xA5:
            return true;
        default:
            return false;
    }
}

LanReplyVerdict readLanReply(std::span<const uint8_t> d, const std::string& senderAddress, FoundDevices& found) {
    const size_t n = d.size();
    if (n <= frame::kTypeOffset + 1 || d[0] != frame::kStart0 || d[1] != frame::kStart1 || d[n - 1] != frame::kEnd)
        return LanReplyVerdict::NotAFrame;
    if (!isAcceptedDeviceType(d[frame::kTypeOffset])) return LanReplyVerdict::UnknownType;
    const size_t m = n - 3;
    if (m <= frame::kDataOffset) return LanReplyVerdict::TooShort;
    // p + 2 <= n - 2, so the pattern never reaches past the datagram.
    for (size_t p = frame::kDataOffset; p < m && !found.full(); ++p) {
        if (!namePatternAt(d, p)) continue;
        DeviceEntry entry;
        entry.setAddress(senderAddress);
        entry.deviceType = d[frame::kTypeOffset];
        entry.subCode = d[frame::kSubOffset];
        const std::string name = bytesAsText(d.subspan(frame::kDataOffset, p - frame::kDataOffset));
        entry.modelFlag = name == kModelFlagName ? 1 : 0;
        for (size_t i = 0; i < entry.deviceId.size(); ++i) {
            const size_t at = p + 3 + i;
            entry.deviceId[i] = at < n ? d[at] : 0;
        }
        found.entries.push_back(entry);
        found.items.push_back(name + "_" + senderAddress);
    }
    return LanReplyVerdict::Scanned;
}

SerialParse parseSerialReply(std::span<const uint8_t> d) {
    SerialParse out;
    const size_t n = d.size();
    size_t pos = 0;
    while (pos < n) {
        if (d[pos] != frame::kStart0) {
            ++pos;
            continue;
        }
        const size_t start = pos;
        if (start + 1 >= n) return out;
        if (d[start + 1] != frame::kStart1) {
            pos = start + 1;
            continue;
        }
        if (start + frame::kSubOffset >= n) return out;
        const size_t length = d[start + 2] | (d[start + 3] << 8);
        out.replyType = d[start + frame::kTypeOffset];
        out.replySub = d[start + frame::kSubOffset];
        // A length below the smallest frame cannot be trusted to hold a command byte.
        if (length < frame::kOverhead || start + length > n || d[start + length - 1] != frame::kEnd) {
            pos = start + frame::kLinkOffset;
            continue;
        }
        const auto body = d.subspan(start, length);
        const uint8_t command = body[frame::kCommandOffset];
        if (command == kDiscoveryCommand) {
            out.result = 1;
            for (size_t p = frame::kDataOffset; p + 2 < length; ++p) {
                if (!namePatternAt(body, p)) continue;
                const std::string name = bytesAsText(body.subspan(frame::kDataOffset, p - frame::kDataOffset));
                DeviceEntry entry;
                entry.deviceType = out.replyType;
                entry.subCode = out.replySub;
                entry.modelFlag = name == kModelFlagName ? 1 : 0;
                out.entry = entry;
                out.name = name;
                break;
            }
            return out;
        }
        if (command == kStatusCommand) {
            if (length - frame::kOverhead < kStatusBlockSize) return out;
            StatusBlock block;
            std::copy_n(body.begin() + frame::kDataOffset, kStatusBlockSize, block.begin());
            out.statusBlock = block;
            out.result = 1;
            return out;
        }
        pos = start + frame::kCommandOffset + 1;
    }
    return out;
}

SerialParse SerialGathering::add(std::span<const uint8_t> piece) {
    const size_t take = std::min(piece.size(), room());
    bytes_.insert(bytes_.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(take));
    return parseSerialReply(bytes_);
}

std::string connectedStatusText(size_t count) { return "Connected - " + std::to_string(count); }

SearchResult finishSearch(FoundDevices found) {
    SearchResult result;
    result.ran = true;
    if (!found.entries.empty()) {
        result.selectedIndex = 0;
        result.statusText = connectedStatusText(found.entries.size());
        result.items = found.items;
    } else {
        result.items = {kNoDeviceFound};
        result.statusText = kNoDeviceConnected;
    }
    result.found = std::move(found);
    return result;
}

SearchResult lanSearch(UdpLink& udp, Clock& clock, LinkKind link, ErrorSink& errors) {
    udp.closeCommandSocket();
    const int64_t start = clock.steadyMs();
    const Bytes probe = buildDiscoveryProbe(link, clock.localNow());
    if (!udp.openDiscoverySocket()) {
        udp.closeCommandSocket();
        errors.showError("Create socket err", "Err");
        return SearchResult{};
    }
    udp.sendToPeer(probe);
    FoundDevices found;
    uint8_t buffer[kLanReceiveSize];
    while (clock.steadyMs() - start <= kLanSearchWindowMs) {
        const int n = udp.receive(buffer);
        if (n <= 0) {
            clock.sleepMs(kIdlePollMs);
            continue;
        }
        // Replies are taken back to back: pausing after each would leave all but a hundred unread.
        readLanReply(std::span<const uint8_t>(buffer, static_cast<size_t>(n)), formatIpv4(udp.peer().address),
                     found);
    }
    SearchResult result = finishSearch(std::move(found));
    udp.closeCommandSocket();
    return result;
}

SearchResult serialSearch(CnComm& serial, Clock& clock, LinkKind link, ErrorSink& errors) {
    if (!serial.isOpen()) {
        errors.showError("Please open the serial port first!", "Err");
        return SearchResult{};
    }
    const int64_t start = clock.steadyMs();
    SerialGathering gathering;
    const Bytes probe = buildDiscoveryProbe(link, clock.localNow());
    serial.drain();
    serial.write(probe.data(), probe.size());
    SerialParse parse;
    while (clock.steadyMs() - start <= kSerialSearchWindowMs) {
        const size_t waiting = serial.inputCount().value_or(0);
        clock.sleepMs(kSerialPollMs);
        const size_t take = std::min({waiting, kSerialReadLimit, gathering.room()});
        uint8_t chunk[kSerialReadLimit];
        const size_t got = take > 0 ? serial.read(chunk, take) : 0;
        parse = gathering.add(std::span<const uint8_t>(chunk, got));
        if (parse.result == 1) break;
        clock.sleepMs(kSerialRetryMs);
    }
    SearchResult result;
    result.ran = true;
    if (parse.result != 1) {
        // Nothing answered: nothing is selected, as after a LAN search that found nothing.
        result.items = {kNoDeviceFound};
        result.statusText = kNoDeviceConnected;
        return result;
    }
    result.selectedIndex = 0;
    result.statusText = connectedStatusText(1);
    result.statusBlock = parse.statusBlock;
    if (parse.entry) {
        result.found.entries.push_back(*parse.entry);
        result.found.items.push_back(*parse.name);
        result.items = result.found.items;
    }
    return result;
}

}  // namespace kvx
