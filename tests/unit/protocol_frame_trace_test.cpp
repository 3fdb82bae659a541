// The frame trace: its line format, and the lines the links write while it is on (and only then).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <regex>
#include <string>
#include <thread>

#include "protocol/frame_trace.h"
#include "unit/support/pc_links.h"

namespace kvx {
namespace protocol_frame_trace_test {

TEST(FrameTraceLine, TimeDirectionLinkAndHexBytes) {
    const uint8_t bytes[] = {0xA5, 0x6C, 0x00, 0x0F, 0xAE};
    EXPECT_EQ(frameTraceLine(12.5, TraceDirection::Send, lanTraceLink({0xC0A80165, 7000}), bytes),
              "12.500000 send lan:192.168.1.101:7000 A5 6C 00 0F AE\n");
    EXPECT_EQ(frameTraceLine(0.0000014, TraceDirection::Receive, reportTraceLink({0x0A000001, 7000}), {}),
              "0.000001 recv report:10.0.0.1:7000\n");
    EXPECT_EQ(serialTraceLink("/dev/ttyUSB0"), "serial:/dev/ttyUSB0");
}

// Captures the trace in a temporary file for the length of a test.
class TraceCapture {
public:
    TraceCapture() : file_(std::tmpfile()) { enableFrameTrace(file_); }
    ~TraceCapture() {
        disableFrameTrace();
        std::fclose(file_);
    }
    std::string text() {
        std::fflush(file_);
        std::rewind(file_);
        std::string all;
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file_)) > 0;) all.append(buffer, n);
        return all;
    }

private:
    std::FILE* file_;
};

// The lines without their time stamps; every time stamp must be a number with six decimals.
std::string withoutTimes(const std::string& trace) {
    static const std::regex stamp("^[0-9]+\\.[0-9]{6} ", std::regex::multiline);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'),
              std::distance(std::sregex_iterator(trace.begin(), trace.end(), stamp), std::sregex_iterator()))
        << trace;
    return std::regex_replace(trace, stamp, "");
}

Target deviceTarget(LinkKind link) {
    DeviceEntry entry;
    entry.setAddress("10.0.0.2");
    return Target{link, entry};
}

TEST(FrameTrace, LanSendAndReceiveAreTracedWithThePeer) {
    test::PcLinks links;
    test::AnsweringDevice device(links);
    device.lanAnswers = {{0x01, 0xFF}};
    TraceCapture capture;
    const uint8_t request[] = {0xA5, 0x6C, 0x0A};
    ASSERT_TRUE(links.link.sendAndKeepOpen(deviceTarget(kLinkLan), request));
    uint8_t buffer[16];
    ASSERT_EQ(links.udp.receive(buffer), 2);
    EXPECT_LE(links.udp.receive(buffer), 0);  // nothing waiting: no line
    links.udp.closeCommandSocket();
    EXPECT_EQ(withoutTimes(capture.text()),
              "send lan:10.0.0.2:7000 A5 6C 0A\nrecv lan:10.0.0.2:7000 01 FF\n");
}

TEST(FrameTrace, SerialWritesAndReadsAreTracedWithThePortName) {
    test::PcLinks links;
    test::AnsweringDevice device(links);
    device.serialAnswers = {{0xAE, 0x00}};
    ASSERT_TRUE(links.serial.open(test::kSerialName, 9600));
    TraceCapture capture;
    const uint8_t request[] = {0xA5, 0x6C, 0x14};
    ASSERT_TRUE(links.link.send(deviceTarget(kLinkSerial), request, SerialPause::None));
    uint8_t buffer[8];
    ASSERT_EQ(links.serial.read(buffer, sizeof buffer), 2u);
    EXPECT_EQ(withoutTimes(capture.text()), "send serial:ttySIM0 A5 6C 14\nrecv serial:ttySIM0 AE 00\n");
}

// A fast device's reply can be received, on another thread, before the call that sent the request returns;
// its line must still come after the request's, and the time stamps must not go backwards.
TEST(FrameTrace, AReplyReceivedWhileItsRequestIsStillBeingSentIsTracedAfterIt) {
    TraceCapture capture;
    const uint8_t request[] = {0xA5, 0x0A};
    const uint8_t reply[] = {0x01, 0xFF};
    std::thread receiver;
    const std::optional<size_t> sent =
        tracedSend("lan:10.0.0.2:7000", request, [&]() -> std::optional<size_t> {
            receiver = std::thread([&] { traceFrame(TraceDirection::Receive, "lan:10.0.0.2:7000", reply); });
            // Gives the receiving thread every chance to write its line first.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return sizeof request;
        });
    receiver.join();
    EXPECT_EQ(sent, sizeof request);
    const std::string trace = capture.text();
    EXPECT_EQ(withoutTimes(trace), "send lan:10.0.0.2:7000 A5 0A\nrecv lan:10.0.0.2:7000 01 FF\n");
    const double sendTime = std::stod(trace);
    const double receiveTime = std::stod(trace.substr(trace.find('\n') + 1));
    EXPECT_LE(sendTime, receiveTime);
}

// A failed send is not traced; a partial one traces what went out.
TEST(FrameTrace, OnlyWhatWentOutIsTraced) {
    TraceCapture capture;
    const uint8_t request[] = {0xA5, 0x6C, 0x0A};
    EXPECT_EQ(tracedSend("serial:COM1", request, [] { return std::optional<size_t>(); }), std::nullopt);
    EXPECT_EQ(tracedSend("serial:COM1", request, [] { return std::optional<size_t>(2); }), 2u);
    EXPECT_EQ(withoutTimes(capture.text()), "send serial:COM1 A5 6C\n");
}

TEST(FrameTrace, NothingIsWrittenWhileOff) {
    test::PcLinks links;
    test::AnsweringDevice device(links);
    device.lanAnswers = {{0x01, 0xFF}};
    std::FILE* file = std::tmpfile();
    enableFrameTrace(file);
    disableFrameTrace();
    EXPECT_FALSE(frameTraceOn());
    const uint8_t request[] = {0xA5};
    ASSERT_TRUE(links.link.sendAndKeepOpen(deviceTarget(kLinkLan), request));
    uint8_t buffer[16];
    EXPECT_EQ(links.udp.receive(buffer), 2);
    links.udp.closeCommandSocket();
    EXPECT_EQ(std::ftell(file), 0);
    std::fclose(file);
}

}  // namespace protocol_frame_trace_test
}  // namespace kvx
