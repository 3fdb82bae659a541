// The matrix switchers' read-back replies: one datagram (at most the 256 bytes a read takes) parsed as a
// routing reply of each switcher and as a backlight reply, and used as the panels use them.
#include "matrix/matrix_replies.h"
#include "matrix/routing.h"
#include "support/fuzz_input.h"

namespace {

using namespace kvx;

constexpr size_t kDatagramBuffer = 256;

void checkRouting(std::span<const uint8_t> bytes, const MatrixKind& kind) {
    const auto reply = parseRoutingReply(bytes, kind);
    const RoutingReplyOffsets at = routingReplyOffsets(kind);
    if (!reply) return;
    KVX_FUZZ_CHECK(bytes.size() > at.nameLength && bytes[frame::kCommandOffset] == kReadRoutingCommand);
    for (int k = 0; k < kind.ports; ++k)
        KVX_FUZZ_CHECK(reply->routes[static_cast<size_t>(k)] ==
                       bytes[frame::kDataOffset + static_cast<size_t>(k)]);
    for (size_t k = static_cast<size_t>(kind.ports); k < kMaxMatrixPorts; ++k)
        KVX_FUZZ_CHECK(reply->routes[k] == 0);
    KVX_FUZZ_CHECK(reply->outputFormatPosition < kMatrixOutputFormats.size());
    if (!kind.hasOutputFormat)
        KVX_FUZZ_CHECK(reply->outputFormatCode == 0 && reply->outputFormatPosition == 0);
    if (reply->name) {
        // Whole code units of the name that arrived, never more than the 32-byte name field.
        KVX_FUZZ_CHECK(reply->name->size() * 2 <= kMaxMatrixNameBytes);
        KVX_FUZZ_CHECK(at.name + reply->name->size() * 2 <= bytes.size());
    }

    MatrixRouting routing(kind);
    routing.useRoutingReply(*reply);
    for (int k = 1; k <= kind.ports; ++k) {
        if (const auto input = routing.statusInput(k)) KVX_FUZZ_CHECK(*input >= 1 && *input <= kind.ports);
    }
    KVX_FUZZ_CHECK(!routing.statusInput(0) && !routing.statusInput(kind.ports + 1));
    KVX_FUZZ_CHECK(routing.MatrixOutputFormat < kMatrixOutputFormats.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, std::min(size, kDatagramBuffer));
    checkRouting(bytes, kMatrix8x8);
    checkRouting(bytes, kMatrix16x16);
    if (const auto backlight = parseBacklightReply(bytes)) {
        KVX_FUZZ_CHECK(bytes.size() >= frame::kDataOffset + 2);
        MatrixRouting routing(kMatrix16x16);
        routing.useBacklightReply(*backlight);
        KVX_FUZZ_CHECK(routing.BacklightTime == bytes[frame::kDataOffset] &&
                       routing.BacklightBrightness == bytes[frame::kDataOffset + 1]);
    }
    return 0;
}
