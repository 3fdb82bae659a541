#include "multiviewer/status_decode.h"

#include <algorithm>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/status_layout.h"

namespace kvx {
namespace {

using namespace status;

uint8_t byteAt(const StatusBlock& block, size_t frameOffset) {
    return block[at(frameOffset)];
}

uint8_t flag(const StatusBlock& block, size_t frameOffset, int bit) {
    return bitsOf(byteAt(block, frameOffset), bit, 1);
}

// UTF-16LE code units of `bytes`, up to the first zero unit; a trailing odd byte is the low byte of a unit.
std::u16string utf16Text(std::span<const uint8_t> bytes) {
    std::u16string text;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const uint8_t high = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        const auto unit = static_cast<char16_t>(bytes[i] | (high << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

// A name record's length byte may claim more than the record's 34 text bytes: only the record is read.
std::u16string umdNameOf(const StatusBlock& block, int input) {
    const size_t record = at(kUmdNameRecords) + static_cast<size_t>(input) * kUmdNameRecordSize;
    const size_t length = std::min<size_t>(block[record], kUmdNameTextBytes);
    std::u16string text = utf16Text(std::span<const uint8_t>(block).subspan(record + 1, length));
    if (text.size() > kUmdNameMaxUnits) text.resize(kUmdNameMaxUnits);
    return text;
}

const uint8_t* windowRecord(const StatusBlock& block, int window) {
    return &block[at(kWindowRecords) + static_cast<size_t>(window) * kWindowRecordSize];
}

}  // namespace

DecodeResult decodeStatusBlock(MultiviewerState& state) {
    const StatusBlock& block = state.StatusBlock;
    DecodeResult result;

    state.LayoutMode = byteAt(block, kLayoutMode);
    for (size_t k = 0; k < kWindowCount; ++k) {
        state.WindowSource[k] = byteAt(block, kWindowSource + k);
        state.MatrixRoute[k] = byteAt(block, kMatrixRoute + k);
    }
    state.SwitcherMode = flag(block, kFlags, kSwitcherModeBit);
    state.SwitcherModeCopy = state.SwitcherMode;
    state.AllUmdOn = flag(block, kFlags, kAllUmdOnBit);

    for (int k = 0; k < kInputCount; ++k) {
        const uint8_t* record = &block[at(kInputRecords) + static_cast<size_t>(k) * kInputRecordSize];
        const auto i = static_cast<size_t>(k);
        state.UmdOn[i] = bitsOf(record[0], 0, 1);
        state.UmdName[i] = umdNameOf(block, k);
        state.UmdTextColor[i] = bitsOf(record[0], 1, kColorBits);
        state.UmdBackColor[i] = bitsOf(record[1], 0, kBackColorBits);
    }

    state.OutputFormat = bitsOf(byteAt(block, kOutputFormat), 0, 4);

    for (int j = 0; j < kWindowCount; ++j) {
        const uint8_t* record = windowRecord(block, j);
        const auto w = static_cast<size_t>(j);
        state.WindowSignal[w].present = bitsOf(record[1], kSignalPresentBit, 1);
        state.WindowSignal[w].format = bitsOf(record[1], 0, kSignalFormatBits);
        state.FormatTextColor[w] = bitsOf(record[2], 1, kColorBits);
        state.FormatBackColor[w] = bitsOf(record[3], 0, kBackColorBits);
    }

    state.FormatStatusOn = flag(block, kFlags, kFormatStatusOnBit);
    state.AllAudioMeterOn = flag(block, kAudio, kAllAudioMeterBit);

    for (int j = 0; j < kWindowCount; ++j) {
        const uint8_t* record = windowRecord(block, j);
        const auto w = static_cast<size_t>(j);
        state.AudioMeterOn[w] = bitsOf(record[0], 0, 1);
        state.AudioChannelPair[w] = bitsOf(record[0], 1, kChannelPairBits);
    }

    state.TimecodeOn = flag(block, kFlags, kTimecodeOnBit);
    state.AudioSourceWindow = bitsOf(byteAt(block, kAudio), 0, kAudioSourceBits);

    for (int j = 0; j < kWindowCount; ++j) {
        const uint8_t* record = windowRecord(block, j);
        const auto w = static_cast<size_t>(j);
        state.TimecodeBackColor[w] = bitsOf(record[5], 0, kBackColorBits);
        state.TimecodeTextColor[w] = bitsOf(record[4], 1, kColorBits);
        state.WindowRecordByte4Bit0[w] = bitsOf(record[4], 0, 1);
        state.WindowRecordByte6Bit0[w] = bitsOf(record[6], 0, 1);
    }

    state.AudioAlarmOn = flag(block, kFlags, kAudioAlarmOnBit);

    const size_t nameLength = byteAt(block, kDeviceNameLength);
    if (nameLength > kDeviceNameMaxBytes) {
        result.nameBoxText = kCustomNameText;
    } else {
        state.DeviceName = utf16Text(std::span<const uint8_t>(block).subspan(at(kDeviceName), nameLength));
        result.nameBoxText = state.DeviceName.empty() ? std::u16string(kCustomNameText) : state.DeviceName;
    }

    result.lockButtonBitmap = state.PanelLocked ? kLockButtonLockedBitmap : kLockButtonUnlockedBitmap;

    state.BorderOn = flag(block, kFlags, kBorderOnBit);
    state.DeviceDhcpOn = flag(block, kFlags, kDeviceDhcpOnBit);
    state.StatusLoaded = 1;
    return result;
}

bool isLanStatusReply(std::span<const uint8_t> datagram) {
    return datagram.size() >= kMinReplyLength && datagram[frame::kCommandOffset] == mv::kReadStatus &&
           datagram[frame::kTypeOffset] == kTypeMultiviewer;
}

std::optional<StatusBlock> statusBlockOf(std::span<const uint8_t> reply) {
    if (reply.size() <= kBlockLastFrameByte) return std::nullopt;
    StatusBlock block{};
    std::copy_n(reply.begin() + kBlockFirstFrameByte, kStatusBlockSize, block.begin());
    return block;
}

}  // namespace kvx
