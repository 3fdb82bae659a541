#pragma once

#include <optional>
#include <string_view>

#include "matrix/matrix_kind.h"
#include "matrix/matrix_replies.h"
#include "protocol/device_link.h"

namespace kvx {

// The matrix switchers' exchanges. Every function here runs on the exchange worker; the panel queues it and
// applies the result on the UI thread.

// The result of a read: whether the request went out at all (not when the serial port is closed, the command
// socket could not be set up, or the link is neither LAN nor serial; the panel then redraws nothing), and the
// reply when a usable one came.
template <class Reply>
struct ReadOutcome {
    bool exchanged = false;
    std::optional<Reply> reply;
};

// Read routing: request 0x53 with the switcher's type and sub code 0x01. Writes "read matrix \n" after every
// read that went out, whether or not a reply came.
ReadOutcome<MatrixRoutingReply> readRouting(DeviceLink& link, const Target& target, const MatrixKind& kind);
// Read backlight: request 0x50 with type 0x03 and sub code 0x01.
ReadOutcome<BacklightReply> readBacklight(DeviceLink& link, const Target& target, const MatrixKind& kind);

// A routing text ("3V1,2,5.", "3All.", "All#.") as raw ASCII, no frame; serial pauses 20 ms after it.
bool sendRoutingText(DeviceLink& link, const Target& target, std::string_view text);
// The value frames carry the selected entry's sub code and go out without the serial pause.
bool sendBacklightTime(DeviceLink& link, const Target& target, uint8_t position);
bool sendBacklightBrightness(DeviceLink& link, const Target& target, uint8_t percent);
// The code of a list position of the 16x16's output format list; nothing is sent for a position outside it.
bool sendOutputFormat(DeviceLink& link, const Target& target, int position);

// The 8x8 panel's line when the brightness trackbar is released: "send data is %d \n".
void writeBrightnessReleased(int percent);

}  // namespace kvx
