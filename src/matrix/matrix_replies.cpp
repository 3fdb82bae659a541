#include "matrix/matrix_replies.h"

#include <algorithm>

namespace kvx {

std::optional<MatrixRoutingReply> parseRoutingReply(std::span<const uint8_t> bytes, const MatrixKind& kind) {
    const RoutingReplyOffsets at = routingReplyOffsets(kind);
    if (bytes.size() <= at.nameLength || bytes[frame::kCommandOffset] != kReadRoutingCommand) {
        return std::nullopt;
    }

    MatrixRoutingReply reply;
    std::copy_n(bytes.begin() + frame::kDataOffset, kind.ports, reply.routes.begin());
    reply.panelLocked = bytes[at.lock];
    reply.dhcpOn = bytes[at.dhcp];
    if (kind.hasOutputFormat) {
        reply.outputFormatCode = bytes[at.format];
        reply.outputFormatPosition = matrixOutputFormatPosition(reply.outputFormatCode);
    }
    const size_t length = bytes[at.nameLength];
    if (length >= 1 && length <= kMaxMatrixNameBytes) {
        const size_t arrived = std::min(length, bytes.size() - at.name);
        std::u16string name;
        for (size_t i = 0; i + 1 < arrived; i += 2) {
            name.push_back(static_cast<char16_t>(bytes[at.name + i] | (bytes[at.name + i + 1] << 8)));
        }
        reply.name = std::move(name);
    }
    return reply;
}

std::optional<BacklightReply> parseBacklightReply(std::span<const uint8_t> bytes) {
    if (bytes.size() < frame::kDataOffset + 2 || bytes[frame::kCommandOffset] != kReadBacklightCommand) {
        return std::nullopt;
    }
    return BacklightReply{bytes[frame::kDataOffset], bytes[frame::kDataOffset + 1]};
}

}  // namespace kvx
