#include <gtest/gtest.h>

#include <string>

#include "simulator/serial_frame_splitter.h"

namespace kvx {
namespace simulator_serial_splitter_test {

// The 21-byte panel lock example and the 20-byte request without payload, byte for byte.
const Bytes kLock{0xA5, 0x6C, 0x15, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
                  0x00, 0x00, 0x00, 0x00, 0x00, 0x50, 0x01, 0x1A, 0x02, 0xAE};
const Bytes kPlain{0xA5, 0x6C, 0x14, 0x00, 0xA1, 0x01, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0xD1, 0x01, 0xAE};

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}
Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}
Bytes slice(const Bytes& b, size_t from, size_t to) {
    return Bytes(b.begin() + from, b.begin() + to);
}
SerialMessage frameMessage(const Bytes& b) {
    return {SerialMessage::Kind::Frame, b};
}
SerialMessage textMessage(const std::string& s) {
    return {SerialMessage::Kind::Text, text(s)};
}

struct SplitCase {
    const char* what;
    std::vector<Bytes> chunks;  // fed one after the other
    std::vector<SerialMessage> expected;
    size_t pendingAfter;
};

class SerialSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(SerialSplit, YieldsTheWholeRequestsInOrder) {
    const SplitCase& c = GetParam();
    SerialFrameSplitter splitter;
    std::vector<SerialMessage> got;
    for (const Bytes& chunk : c.chunks) {
        const auto messages = splitter.feed(chunk);
        got.insert(got.end(), messages.begin(), messages.end());
    }
    EXPECT_EQ(got, c.expected) << c.what;
    EXPECT_EQ(splitter.pending(), c.pendingAfter) << c.what;
}

const Bytes kBogusLength{0xA5, 0x6C, 0x05, 0x00};            // shorter than any frame
const Bytes kHugeLength{0xA5, 0x6C, 0xFF, 0x03, 0xA1};       // 1023 bytes announced, never sent
const Bytes kWrongEnd = cat({slice(kLock, 0, 20), {0x00}});  // 0xAE missing at the length's position

INSTANTIATE_TEST_SUITE_P(
    Streams, SerialSplit,
    testing::Values(
        SplitCase{"whole frame", {kLock}, {frameMessage(kLock)}, 0},
        SplitCase{"frame in three pieces",
                  {slice(kLock, 0, 1), slice(kLock, 1, 3), slice(kLock, 3, 21)},
                  {frameMessage(kLock)},
                  0},
        SplitCase{"two frames in one block",
                  {cat({kLock, kPlain})},
                  {frameMessage(kLock), frameMessage(kPlain)},
                  0},
        SplitCase{"frame still arriving", {slice(kPlain, 0, 12)}, {}, 12},
        SplitCase{"garbage before and between",
                  {cat({{0x00, 0xFF, 0xA5, 0x00, 0x13}, kLock, {0xA5, 0xA5}, kPlain})},
                  {frameMessage(kLock), frameMessage(kPlain)},
                  0},
        SplitCase{"length below a frame's", {cat({kBogusLength, kPlain})}, {frameMessage(kPlain)}, 0},
        SplitCase{"wrong end byte", {cat({kWrongEnd, kPlain})}, {frameMessage(kPlain)}, 0},
        SplitCase{"header that never completes", {kHugeLength, kLock}, {frameMessage(kLock)}, 0},
        SplitCase{"routing texts",
                  {text("3V1,2,5.All#."), text("12V9,")},
                  {textMessage("3V1,2,5."), textMessage("All#.")},
                  5},
        SplitCase{"text in pieces", {text("4V2,1"), text("1,16.")}, {textMessage("4V2,11,16.")}, 0},
        SplitCase{"text between frames",
                  {cat({kLock, text("8All."), kPlain})},
                  {frameMessage(kLock), textMessage("8All."), frameMessage(kPlain)},
                  0},
        SplitCase{"text cut by a frame",
                  {cat({text("3V1"), kPlain, text("3All.")})},
                  {frameMessage(kPlain), textMessage("3All.")},
                  0},
        SplitCase{"control bytes before a text",
                  {cat({{0x00, 0x0D, 0x0A}, text("3All.")})},
                  {textMessage("3All.")},
                  0},
        SplitCase{"endless text dropped", {Bytes(70, 'x'), text("1All.")}, {textMessage("1All.")}, 0}));

}  // namespace simulator_serial_splitter_test
}  // namespace kvx
