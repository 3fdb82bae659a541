#include "multiviewer/status_encode.h"

#include <algorithm>

#include "multiviewer/status_layout.h"

namespace kvx {
namespace {

using namespace status;

uint8_t& byteAt(StatusBlock& block, size_t frameOffset) {
    return block[at(frameOffset)];
}

void setFlag(StatusBlock& block, size_t frameOffset, int bit, uint8_t on) {
    byteAt(block, frameOffset) = withBits(byteAt(block, frameOffset), bit, 1, on ? 1 : 0);
}

// Writes a length byte and up to maxUnits code units of UTF-16LE text.
void putText(StatusBlock& block, size_t lengthIndex, size_t textIndex, const std::u16string& text,
             size_t maxUnits) {
    const size_t units = std::min(text.size(), maxUnits);
    block[lengthIndex] = static_cast<uint8_t>(units * 2);
    for (size_t u = 0; u < units; ++u) {
        block[textIndex + 2 * u] = static_cast<uint8_t>(text[u] & 0xFF);
        block[textIndex + 2 * u + 1] = static_cast<uint8_t>(text[u] >> 8);
    }
}

}  // namespace

StatusBlock encodeStatusBlock(const MultiviewerState& state) {
    StatusBlock block{};
    byteAt(block, kLayoutMode) = state.LayoutMode;
    byteAt(block, kOutputFormat) = bitsOf(state.OutputFormat, 0, 4);
    byteAt(block, kAudio) = withBits(bitsOf(state.AudioSourceWindow, 0, kAudioSourceBits), kAllAudioMeterBit,
                                     1, state.AllAudioMeterOn ? 1 : 0);
    setFlag(block, kFlags, kAllUmdOnBit, state.AllUmdOn);
    setFlag(block, kFlags, kFormatStatusOnBit, state.FormatStatusOn);
    setFlag(block, kFlags, kTimecodeOnBit, state.TimecodeOn);
    setFlag(block, kFlags, kAudioAlarmOnBit, state.AudioAlarmOn);
    setFlag(block, kFlags, kBorderOnBit, state.BorderOn);
    setFlag(block, kFlags, kDeviceDhcpOnBit, state.DeviceDhcpOn);
    setFlag(block, kFlags, kSwitcherModeBit, state.SwitcherMode);

    for (size_t k = 0; k < kWindowCount; ++k) {
        byteAt(block, kWindowSource + k) = state.WindowSource[k];
        byteAt(block, kMatrixRoute + k) = state.MatrixRoute[k];
    }

    for (size_t i = 0; i < kInputCount; ++i) {
        uint8_t* record = &block[at(kInputRecords) + i * kInputRecordSize];
        record[0] = withBits(state.UmdOn[i] ? 1 : 0, 1, kColorBits, state.UmdTextColor[i]);
        record[1] = bitsOf(state.UmdBackColor[i], 0, kBackColorBits);
        const size_t name = at(kUmdNameRecords) + i * kUmdNameRecordSize;
        putText(block, name, name + 1, state.UmdName[i], kUmdNameMaxUnits);
    }

    for (size_t w = 0; w < kWindowCount; ++w) {
        uint8_t* record = &block[at(kWindowRecords) + w * kWindowRecordSize];
        record[0] = withBits(state.AudioMeterOn[w] ? 1 : 0, 1, kChannelPairBits, state.AudioChannelPair[w]);
        record[1] = withBits(bitsOf(state.WindowSignal[w].format, 0, kSignalFormatBits), kSignalPresentBit, 1,
                             state.WindowSignal[w].present ? 1 : 0);
        record[2] = withBits(0, 1, kColorBits, state.FormatTextColor[w]);
        record[3] = bitsOf(state.FormatBackColor[w], 0, kBackColorBits);
        record[4] =
            withBits(state.WindowRecordByte4Bit0[w] ? 1 : 0, 1, kColorBits, state.TimecodeTextColor[w]);
        record[5] = bitsOf(state.TimecodeBackColor[w], 0, kBackColorBits);
        record[6] = state.WindowRecordByte6Bit0[w] ? 1 : 0;
    }

    putText(block, at(kDeviceNameLength), at(kDeviceName), state.DeviceName, kDeviceNameMaxBytes / 2);
    return block;
}

}  // namespace kvx
