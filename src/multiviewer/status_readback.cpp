#include "multiviewer/status_readback.h"

#include <array>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/status_layout.h"

namespace kvx {
namespace {

// Polls the command socket until a status reply comes or the window has passed. When nothing is waiting it
// sleeps 1 ms instead of retrying at once, so the wait does not keep a core busy.
std::optional<StatusBlock> awaitLanReply(DeviceLink& link, int64_t start) {
    std::array<uint8_t, kStatusReceiveBufferSize> buffer{};
    while (link.clock().steadyMs() - start <= kStatusReplyWindowMs) {
        const int length = link.udp().receive(buffer);
        if (length <= 0) {
            link.clock().sleepMs(1);
            continue;
        }
        const std::span<const uint8_t> datagram(buffer.data(), static_cast<size_t>(length));
        if (isLanStatusReply(datagram)) return statusBlockOf(datagram);
    }
    return std::nullopt;
}

// Whether bytes can begin a status reply: the start bytes and a length of at least 809, as far as they go.
// Type and code are taken as they come on this link.
bool couldBeginReply(std::span<const uint8_t> bytes) {
    if (!bytes.empty() && bytes[0] != frame::kStart0) return false;
    if (bytes.size() > 1 && bytes[1] != frame::kStart1) return false;
    return bytes.size() < 4 || static_cast<size_t>(bytes[2] | bytes[3] << 8) >= status::kSerialReplySize;
}

// Drops the bytes before the first place where a reply can begin: the tail of a reply that came too late
// for an earlier read-back, whose head that read-back's successor drained.
void skipToReplyStart(Bytes& got) {
    size_t at = 0;
    while (at < got.size() && !couldBeginReply(std::span(got).subspan(at))) ++at;
    got.erase(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(at));
}

// Polls the serial input every 10 ms and takes the first 809 bytes of a reply as they come; a reply is never
// made of the end of one and the beginning of another.
std::optional<StatusBlock> awaitSerialReply(DeviceLink& link, int64_t start) {
    Bytes got;  // read so far, from where a reply can begin
    while (link.clock().steadyMs() - start <= kStatusReplyWindowMs) {
        const std::optional<size_t> waiting = link.serial().inputCount();
        link.clock().sleepMs(10);
        if (!waiting || got.size() + *waiting < status::kSerialReplySize) continue;
        const size_t wanted = status::kSerialReplySize - got.size();
        Bytes more(wanted);
        // A short read (the port failed under us) is not taken for a reply.
        if (link.serial().read(more.data(), wanted) != wanted) {
            got.clear();
            continue;
        }
        got.insert(got.end(), more.begin(), more.end());
        skipToReplyStart(got);
        if (got.size() == status::kSerialReplySize) return statusBlockOf(got);
    }
    return std::nullopt;
}

StatusReadback outcomeOf(std::optional<StatusBlock> block) {
    if (!block) return {ReadbackOutcome::NoReply, std::nullopt};
    return {ReadbackOutcome::Block, block};
}

}  // namespace

Bytes readStatusFrame(const Target& target) {
    return buildFrame(target.type(), target.sub(), target.link, mv::kReadStatus);
}

StatusReadback readStatusBlock(DeviceLink& link, const Target& target) {
    const Bytes frame = readStatusFrame(target);
    const int64_t start = link.clock().steadyMs();
    if (target.link == kLinkLan) {
        if (!link.sendAndKeepOpen(target, frame)) return {};  // it has closed the socket
        StatusReadback result = outcomeOf(awaitLanReply(link, start));
        link.udp().closeCommandSocket();
        return result;
    }
    if (target.link == kLinkSerial) {
        CnComm& serial = link.serial();
        if (!serial.isOpen()) return {};
        serial.drain();
        serial.write(frame.data(), frame.size());
        link.clock().sleepMs(20);
        return outcomeOf(awaitSerialReply(link, start));
    }
    return {};
}

std::optional<DecodeResult> applyReadback(const StatusReadback& readback, MultiviewerState& state) {
    switch (readback.outcome) {
        case ReadbackOutcome::NoLink:
            return std::nullopt;
        case ReadbackOutcome::Block:
            if (readback.block) state.StatusBlock = *readback.block;
            break;
        case ReadbackOutcome::NoReply:
            break;
    }
    return decodeStatusBlock(state);
}

}  // namespace kvx
