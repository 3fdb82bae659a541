#include "matrix/matrix_exchange.h"

#include <string>

#include "matrix/output_formats.h"
#include "protocol/error_sink.h"

namespace kvx {
namespace {

constexpr uint8_t kReadSub = 0x01;
constexpr int kPolls = 20;
constexpr int kSettleMs = 20;  // after the request, before the first poll
constexpr int kLanPollMs = 50;
constexpr size_t kDatagramBuffer = 256;

struct ReplyWait {
    uint8_t command;    // byte 16 of the reply to wait for
    size_t serialSize;  // bytes a serial read waits for
    int serialPollMs;
};

// Serial: drain, write, 20 ms, then poll the input count until the whole reply waits.
ReadOutcome<Bytes> serialRequestReply(DeviceLink& link, const Target& target, const Bytes& request,
                                      const ReplyWait& wait) {
    ReadOutcome<Bytes> outcome;
    if (!link.send(target, request)) return outcome;  // port closed
    outcome.exchanged = true;
    for (int poll = 0; poll < kPolls; ++poll) {
        if (link.serial().inputCount().value_or(0) >= wait.serialSize) {
            Bytes bytes(wait.serialSize);
            bytes.resize(link.serial().read(bytes.data(), bytes.size()));
            outcome.reply = std::move(bytes);
            break;
        }
        link.clock().sleepMs(wait.serialPollMs);
    }
    return outcome;
}

// LAN: send on the command socket, keep it open for the replies, close it at the end.
ReadOutcome<Bytes> lanRequestReply(DeviceLink& link, const Target& target, const Bytes& request,
                                   const ReplyWait& wait) {
    ReadOutcome<Bytes> outcome;
    // A read whose command socket could not be set up ends here, with nothing waited for.
    if (!link.sendAndKeepOpen(target, request)) return outcome;
    outcome.exchanged = true;
    link.clock().sleepMs(kSettleMs);
    for (int poll = 0; poll < kPolls; ++poll) {
        Bytes datagram(kDatagramBuffer);
        const int length = link.udp().receive(datagram);
        writeDiagnostic("readLen = " + std::to_string(static_cast<uint8_t>(length)) + " \n");
        if (length > static_cast<int>(frame::kCommandOffset) &&
            datagram[frame::kCommandOffset] == wait.command) {
            datagram.resize(static_cast<size_t>(length));
            outcome.reply = std::move(datagram);
            break;
        }
        link.clock().sleepMs(kLanPollMs);
    }
    link.udp().closeCommandSocket();
    return outcome;
}

// The raw reply bytes come back only from a read that went out; any other link reads nothing.
ReadOutcome<Bytes> requestReply(DeviceLink& link, const Target& target, const Bytes& request,
                                const ReplyWait& wait) {
    if (target.link == kLinkSerial) return serialRequestReply(link, target, request, wait);
    if (target.link == kLinkLan) return lanRequestReply(link, target, request, wait);
    return {};
}

template <class Reply, class Parse>
ReadOutcome<Reply> parsed(const ReadOutcome<Bytes>& raw, Parse parse) {
    ReadOutcome<Reply> outcome{raw.exchanged, std::nullopt};
    if (raw.reply) outcome.reply = parse(*raw.reply);
    return outcome;
}

}  // namespace

ReadOutcome<MatrixRoutingReply> readRouting(DeviceLink& link, const Target& target, const MatrixKind& kind) {
    const Bytes request = buildFrame(kind.type, kReadSub, target.link, kReadRoutingCommand);
    const auto raw =
        requestReply(link, target, request, {kReadRoutingCommand, kind.serialRoutingSize, kind.serialPollMs});
    auto outcome =
        parsed<MatrixRoutingReply>(raw, [&](const Bytes& bytes) { return parseRoutingReply(bytes, kind); });
    if (outcome.exchanged) writeDiagnostic("read matrix \n");
    return outcome;
}

ReadOutcome<BacklightReply> readBacklight(DeviceLink& link, const Target& target, const MatrixKind& kind) {
    const Bytes request = buildFrame(kBacklightType, kReadSub, target.link, kReadBacklightCommand);
    const auto raw =
        requestReply(link, target, request, {kReadBacklightCommand, kBacklightReplySize, kind.serialPollMs});
    return parsed<BacklightReply>(raw, [](const Bytes& bytes) { return parseBacklightReply(bytes); });
}

bool sendRoutingText(DeviceLink& link, const Target& target, std::string_view text) {
    const Bytes ascii(text.begin(), text.end());
    return link.send(target, ascii);
}

bool sendBacklightTime(DeviceLink& link, const Target& target, uint8_t position) {
    return link.send(target, buildBacklightTime(target.sub(), target.link, position), SerialPause::None);
}

bool sendBacklightBrightness(DeviceLink& link, const Target& target, uint8_t percent) {
    return link.send(target, buildBacklightBrightness(target.sub(), target.link, percent), SerialPause::None);
}

bool sendOutputFormat(DeviceLink& link, const Target& target, int position) {
    const std::optional<uint8_t> code = matrixOutputFormatCode(position);
    if (!code) return false;
    return link.send(target, buildMatrixOutputFormat(target.sub(), target.link, *code), SerialPause::None);
}

void writeBrightnessReleased(int percent) {
    writeDiagnostic("send data is " + std::to_string(percent) + " \n");
}

}  // namespace kvx
