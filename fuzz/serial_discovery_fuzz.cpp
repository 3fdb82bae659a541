// The serial search's reader: the port's stream cut into pieces of at most 256 bytes (as many reads), each
// appended to the gathering buffer with the reply parser run after it, until the parser finds a reply.
#include <algorithm>

#include "protocol/discovery.h"
#include "support/fuzz_input.h"

namespace {

using namespace kvx;

constexpr size_t kSerialReadLimit = 256;

// Whether `needle` occurs in `haystack`.
bool contains(std::span<const uint8_t> haystack, std::span<const uint8_t> needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

void checkReply(const SerialParse& parse, std::span<const uint8_t> gathered) {
    if (parse.statusBlock) KVX_FUZZ_CHECK(contains(gathered, *parse.statusBlock));
    KVX_FUZZ_CHECK(parse.entry.has_value() == parse.name.has_value());
    if (!parse.entry) return;
    KVX_FUZZ_CHECK(parse.result == 1);
    const std::string& name = *parse.name;
    // The name lies in one frame of the gathered bytes, from its byte 18 up to '-', one byte, '-'.
    KVX_FUZZ_CHECK(name.size() + frame::kOverhead <= gathered.size());
    const std::span<const uint8_t> nameBytes(reinterpret_cast<const uint8_t*>(name.data()), name.size());
    KVX_FUZZ_CHECK(contains(gathered, nameBytes));
    KVX_FUZZ_CHECK(parse.entry->deviceType == parse.replyType && parse.entry->subCode == parse.replySub);
    KVX_FUZZ_CHECK(parse.entry->modelFlag == (name == kModelFlagName ? 1 : 0));
    KVX_FUZZ_CHECK(parse.entry->address().empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SerialGathering gathering;
    bool found = false;
    fuzz::forEachMessage({data, size}, [&](std::span<const uint8_t> piece) {
        if (found) return;  // the search has left its loop
        const size_t before = gathering.bytes().size();
        const SerialParse parse = gathering.add(piece.first(std::min(piece.size(), kSerialReadLimit)));
        KVX_FUZZ_CHECK(gathering.bytes().size() <= kGatherBufferSize);
        KVX_FUZZ_CHECK(gathering.bytes().size() == std::min(kGatherBufferSize, before + piece.size()));
        KVX_FUZZ_CHECK(parse.result == 0 || parse.result == 1);
        checkReply(parse, gathering.bytes());
        found = parse.result == 1;
    });
    return 0;
}
