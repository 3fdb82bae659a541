// The status read-back's reader: one reply, taken as a LAN datagram into the 1024-byte receive buffer and as
// the 809 bytes the serial read-back takes at once, accepted or not, decoded into a model with the derived
// data the panel builds from it.
#include "multiviewer/derived_data.h"
#include "multiviewer/status_encode.h"
#include "multiviewer/status_readback.h"
#include "support/model_invariants.h"

namespace {

using namespace kvx;

bool isBit(uint8_t value) {
    return value <= 1;
}
template <class Array>
bool allAtMost(const Array& values, unsigned last) {
    return std::all_of(values.begin(), values.end(), [&](uint8_t v) { return v <= last; });
}
bool noZeroUnit(const std::u16string& text) {
    return text.find(u'\0') == std::u16string::npos;
}

// The ranges the decode guarantees: every field is a bit field of the block.
void checkDecodedRanges(const MultiviewerState& s, const DecodeResult& result) {
    using namespace status;
    for (uint8_t flag : {s.SwitcherMode, s.AllUmdOn, s.FormatStatusOn, s.AllAudioMeterOn, s.TimecodeOn,
                         s.AudioAlarmOn, s.BorderOn, s.DeviceDhcpOn})
        KVX_FUZZ_CHECK(isBit(flag));
    KVX_FUZZ_CHECK(s.SwitcherModeCopy == s.SwitcherMode && s.StatusLoaded == 1);
    KVX_FUZZ_CHECK(allAtMost(s.UmdOn, 1) && allAtMost(s.AudioMeterOn, 1));
    KVX_FUZZ_CHECK(allAtMost(s.WindowRecordByte4Bit0, 1) && allAtMost(s.WindowRecordByte6Bit0, 1));
    const unsigned lastText = (1u << kColorBits) - 1, lastBack = (1u << kBackColorBits) - 1;
    KVX_FUZZ_CHECK(allAtMost(s.UmdTextColor, lastText) && allAtMost(s.FormatTextColor, lastText) &&
                   allAtMost(s.TimecodeTextColor, lastText));
    KVX_FUZZ_CHECK(allAtMost(s.UmdBackColor, lastBack) && allAtMost(s.FormatBackColor, lastBack) &&
                   allAtMost(s.TimecodeBackColor, lastBack));
    KVX_FUZZ_CHECK(allAtMost(s.AudioChannelPair, (1u << kChannelPairBits) - 1));
    KVX_FUZZ_CHECK(s.OutputFormat <= 15 && s.AudioSourceWindow <= (1u << kAudioSourceBits) - 1);
    for (const WindowSignal& signal : s.WindowSignal)
        KVX_FUZZ_CHECK(isBit(signal.present) && signal.format < (1u << kSignalFormatBits));
    for (const auto& name : s.UmdName) KVX_FUZZ_CHECK(noZeroUnit(name));
    KVX_FUZZ_CHECK(noZeroUnit(s.DeviceName));
    KVX_FUZZ_CHECK(result.nameBoxText == s.DeviceName || result.nameBoxText == kCustomNameText);
    KVX_FUZZ_CHECK(result.lockButtonBitmap == kLockButtonUnlockedBitmap);  // the model starts unlocked
}

// Decodes a reply as the panel does after a read-back: the block, the switcher grid, the geometry, the
// colours.
void decodeAndCheck(const StatusReadback& readback) {
    MultiviewerState state;
    const std::optional<DecodeResult> result = applyReadback(readback, state);
    KVX_FUZZ_CHECK(result.has_value());
    buildSwitcherGeometry(state);
    recomputeLayoutGeometry(state);
    recomputeAllColours(state);
    checkDecodedRanges(state, *result);
    fuzz::checkModelShape(state);
    // Encoding the decoded model and decoding that again changes nothing: no field is lost or widened.
    MultiviewerState again;
    again.StatusBlock = encodeStatusBlock(state);
    decodeStatusBlock(again);
    KVX_FUZZ_CHECK(encodeStatusBlock(again) == again.StatusBlock);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    const auto datagram = input.first(std::min(size, kStatusReceiveBufferSize));
    if (!datagram.empty() && isLanStatusReply(datagram)) {
        const auto block = statusBlockOf(datagram);
        KVX_FUZZ_CHECK(block.has_value());
        decodeAndCheck({ReadbackOutcome::Block, block});
    } else {
        decodeAndCheck({ReadbackOutcome::NoReply, std::nullopt});  // the previous (here the start-up) block
    }
    if (size >= status::kSerialReplySize) {
        const auto block = statusBlockOf(input.first(status::kSerialReplySize));
        KVX_FUZZ_CHECK(block.has_value());
        decodeAndCheck({ReadbackOutcome::Block, block});
    }
    return 0;
}
