#pragma once

#include <optional>

#include "multiviewer/status_decode.h"
#include "protocol/device_link.h"

namespace kvx {

inline constexpr int kStatusReplyWindowMs = 2000;
inline constexpr size_t kStatusReceiveBufferSize = 1024;

enum class ReadbackOutcome {
    NoLink,   // the command socket could not be made, the serial port is closed, or the link is neither
    NoReply,  // the request went out and no valid reply came within 2000 ms
    Block,    // a reply was accepted
};

struct StatusReadback {
    ReadbackOutcome outcome = ReadbackOutcome::NoLink;
    std::optional<StatusBlock> block;  // set for Block
};

// The 20-byte ReadStatus request for a target.
Bytes readStatusFrame(const Target& target);

// Sends ReadStatus and waits up to 2000 ms for the 789-byte status block. Runs on the exchange worker.
StatusReadback readStatusBlock(DeviceLink& link, const Target& target);

// The UI thread's half: a new block replaces StatusBlock and is decoded; without a reply the previous block
// is decoded again; without a link nothing is decoded (none returned) and the model stays as it is.
std::optional<DecodeResult> applyReadback(const StatusReadback& readback, MultiviewerState& state);

}  // namespace kvx
