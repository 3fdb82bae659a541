// The simulated multiviewer's status reply, read with the PC's read-back over the in-memory network and
// serial line.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "multiviewer/status_decode.h"
#include "multiviewer/status_encode.h"
#include "multiviewer/status_readback.h"
#include "simulator/demo_world.h"
#include "simulator/multiviewer_device.h"
#include "simulator/serial_device_host.h"
#include "simulator/sim_network_host.h"
#include "unit/support/pc_links.h"

namespace kvx {
namespace simulator_multiviewer_status_test {

using test::kDeviceAddress;
using test::kPcAddress;
using test::RecordingErrors;
constexpr std::array<uint8_t, 4> kId{0x4B, 0x56, 0x01, 0xA1};

// A state with a value other than the factory's in every field the status block carries.
MultiviewerState sampleState() {
    MultiviewerState s;
    s.LayoutMode = 121;
    s.OutputFormat = 13;
    s.AudioSourceWindow = 16;
    s.AllAudioMeterOn = 1;
    s.AllUmdOn = 1;
    s.FormatStatusOn = 1;
    s.TimecodeOn = 1;
    s.AudioAlarmOn = 1;
    s.BorderOn = 1;
    s.DeviceDhcpOn = 1;
    s.SwitcherMode = 1;
    for (size_t k = 0; k < 16; ++k) {
        const auto v = static_cast<uint8_t>(k);
        s.WindowSource[k] = static_cast<uint8_t>(16 - k);
        s.MatrixRoute[k] = static_cast<uint8_t>((k + 5) % 16 + 1);
        s.UmdOn[k] = k % 2;
        s.UmdTextColor[k] = v;
        s.UmdBackColor[k] = static_cast<uint8_t>(31 - k);
        s.FormatTextColor[k] = static_cast<uint8_t>(15 - k);
        s.FormatBackColor[k] = static_cast<uint8_t>(k + 16);
        s.TimecodeTextColor[k] = static_cast<uint8_t>((k + 3) % 16);
        s.TimecodeBackColor[k] = static_cast<uint8_t>((k + 9) % 32);
        s.AudioMeterOn[k] = (k + 1) % 2;
        s.AudioChannelPair[k] = static_cast<uint8_t>(k % 8);
        s.WindowSignal[k] = {static_cast<uint8_t>(k % 3 != 0), static_cast<uint8_t>(k * 4 % 64)};
    }
    s.UmdName[0] = u"CAM 1";
    s.UmdName[7].clear();
    s.UmdName[15] = u"SIXTEEN_UNITS_OK";   // a full record
    s.UmdName[9] = u"\u7b2c\u4e00\u8def";  // beyond single bytes
    s.DeviceName = u"Studio B";
    return s;
}

// The device fields as the PC decodes them from a block.
MultiviewerState decoded(const StatusBlock& block) {
    MultiviewerState s;
    s.StatusBlock = block;
    decodeStatusBlock(s);
    return s;
}

void expectSameDeviceFields(const MultiviewerState& pc, const MultiviewerState& device) {
    EXPECT_EQ(encodeStatusBlock(pc), encodeStatusBlock(device));
    EXPECT_EQ(pc.LayoutMode, device.LayoutMode);
    EXPECT_EQ(pc.UmdName, device.UmdName);
    EXPECT_EQ(pc.DeviceName, device.DeviceName);
    EXPECT_EQ(pc.WindowSignal, device.WindowSignal);
    EXPECT_EQ(pc.TimecodeBackColor, device.TimecodeBackColor);
    EXPECT_EQ(pc.SwitcherMode, device.SwitcherMode);
}

class MultiviewerStatus : public ::testing::Test, protected test::PcLinks {
protected:
    MultiviewerStatus() {
        entry.setAddress("10.0.0.2");
        entry.deviceType = kTypeMultiviewer;
        entry.subCode = 0x01;
        device.setModel(sampleState());
    }
    Target overSerial() {
        EXPECT_TRUE(serial.open(test::kSerialName, 115200));
        return Target{kLinkSerial, entry};
    }

    MultiviewerDevice device{{kTypeMultiviewer, 0x01, "KVX_MV16", kId}};
    SimNetworkDeviceHost host{net, kDeviceAddress, {&device}};
    DeviceEntry entry;
};

TEST_F(MultiviewerStatus, LanReadbackReturnsTheEncodedBlock) {
    const StatusReadback readback = readStatusBlock(link, {kLinkLan, entry});
    ASSERT_EQ(readback.outcome, ReadbackOutcome::Block);
    ASSERT_TRUE(readback.block.has_value());
    EXPECT_EQ(*readback.block, encodeStatusBlock(device.state().model));
    expectSameDeviceFields(decoded(*readback.block), device.state().model);
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(MultiviewerStatus, LanReadbackKeepsASixteenCharacterName) {
    MultiviewerState s = sampleState();
    s.DeviceName = u"ABCDEFGHIJKLMNOP";
    device.setModel(s);
    const StatusReadback readback = readStatusBlock(link, {kLinkLan, entry});
    ASSERT_TRUE(readback.block.has_value());
    EXPECT_EQ(decoded(*readback.block).DeviceName, u"ABCDEFGHIJKLMNOP");
}

TEST_F(MultiviewerStatus, SerialReadbackGivesTheDeviceStateBack) {
    SimSerialLineHost serialHost(*line, device);
    const StatusReadback readback = readStatusBlock(link, overSerial());
    ASSERT_EQ(readback.outcome, ReadbackOutcome::Block);
    ASSERT_TRUE(readback.block.has_value());
    const StatusBlock encoded = encodeStatusBlock(device.state().model);
    // All but the block's last byte, where the 809-byte reply has its checksum.
    EXPECT_TRUE(std::equal(encoded.begin(), encoded.end() - 1, readback.block->begin()));
    expectSameDeviceFields(decoded(*readback.block), device.state().model);
    // The reader took the whole reply: nothing is left on the line.
    EXPECT_EQ(serial.inputCount(), std::optional<size_t>(0));
}

TEST_F(MultiviewerStatus, SerialReadbackGathersAReplyInPieces) {
    SimSerialLineHost serialHost(*line, device, SerialReplyPacing{4, 50});
    const StatusReadback readback = readStatusBlock(link, overSerial());
    ASSERT_TRUE(readback.block.has_value());
    expectSameDeviceFields(decoded(*readback.block), device.state().model);
}

// The serial reply has no room for the 32nd name byte; the device reports 15 characters there, never a
// character made of its checksum.
TEST_F(MultiviewerStatus, SerialReplyCutsASixteenCharacterNameToFifteen) {
    MultiviewerState s = sampleState();
    s.DeviceName = u"ABCDEFGHIJKLMNOP";
    device.setModel(s);
    SimSerialLineHost serialHost(*line, device);
    const StatusReadback readback = readStatusBlock(link, overSerial());
    ASSERT_TRUE(readback.block.has_value());
    EXPECT_EQ(decoded(*readback.block).DeviceName, u"ABCDEFGHIJKLMNO");
}

struct ReplyShape {
    LinkKind link;
    size_t size;
};

class StatusReplyShape : public ::testing::TestWithParam<ReplyShape> {};

TEST_P(StatusReplyShape, IsAWholeFrameOfTheSizeTheReaderTakes) {
    MultiviewerDevice device({kTypeMultiviewer, 0x05, "MV", kId});
    std::vector<Bytes> replies;
    device.handleFrame(buildFrame(kTypeMultiviewer, 0x01, GetParam().link, 0x0A),
                       [&](const Bytes& reply) { replies.push_back(reply); });
    ASSERT_EQ(replies.size(), 1u);
    const Bytes& reply = replies[0];
    ASSERT_EQ(reply.size(), GetParam().size);
    EXPECT_EQ(reply[0], 0xA5);
    EXPECT_EQ(reply[1], 0x6C);
    EXPECT_EQ(reply[2] | (reply[3] << 8), static_cast<int>(reply.size()));
    EXPECT_EQ(reply[4], kTypeMultiviewer);
    EXPECT_EQ(reply[5], 0x05);
    EXPECT_EQ(Bytes(reply.begin() + 10, reply.begin() + 14), Bytes(kId.begin(), kId.end()));
    EXPECT_EQ(reply[16], 0x0A);
    EXPECT_EQ(reply[17], 0x00);
    EXPECT_EQ(reply[reply.size() - 3] | (reply[reply.size() - 2] << 8),
              checksum(std::span(reply).first(reply.size() - 3)));
    EXPECT_EQ(reply.back(), 0xAE);
    EXPECT_TRUE(isLanStatusReply(reply));
    ASSERT_TRUE(statusBlockOf(reply).has_value());
    EXPECT_EQ(decoded(*statusBlockOf(reply)).LayoutMode, 160);
}

INSTANTIATE_TEST_SUITE_P(Links, StatusReplyShape,
                         ::testing::Values(ReplyShape{kLinkLan, MultiviewerDevice::kLanStatusReplySize},
                                           ReplyShape{kLinkSerial,
                                                      MultiviewerDevice::kSerialStatusReplySize}));

TEST(MultiviewerStatusRequest, WithAPayloadIsNotAnswered) {
    MultiviewerDevice device({kTypeMultiviewer, 0x01, "MV", kId});
    int replies = 0;
    device.handleFrame(buildFrame(kTypeMultiviewer, 0x01, kLinkLan, 0x0A, {0x00}),
                       [&](const Bytes&) { ++replies; });
    device.handleFrame(buildFrame(kType16x16, 0x01, kLinkLan, 0x0A), [&](const Bytes&) { ++replies; });
    EXPECT_EQ(replies, 0);
}

// Requests over the network are reported to port 7001 of the PC that sent them.
TEST_F(MultiviewerStatus, ChangesAreReportedToPort7001OfThePc) {
    std::vector<Bytes> reports;
    std::vector<Ipv4Endpoint> senders;
    ASSERT_TRUE(
        net.listen(kPcAddress, kReportPort, [&](std::span<const uint8_t> datagram, Ipv4Endpoint from) {
            reports.emplace_back(datagram.begin(), datagram.end());
            senders.push_back(from);
        }));
    ASSERT_TRUE(link.send({kLinkLan, entry}, buildFrame(kTypeMultiviewer, 0x01, kLinkLan, 0x33, {90})));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(senders[0].address, kDeviceAddress);
    EXPECT_EQ(reports[0][16], 0x33);
    EXPECT_EQ(reports[0][18], 90);
    EXPECT_EQ(Bytes(reports[0].begin() + 10, reports[0].begin() + 14), Bytes(kId.begin(), kId.end()));
    EXPECT_EQ(device.state().model.LayoutMode, 90);
}

// The demo's first device is the multiviewer, on the network and on its serial line.
TEST(DemoMultiviewer, AnswersTheReadbackOnBothLinks) {
    ManualClock clock;
    DemoWorld world(clock);
    auto* device = dynamic_cast<MultiviewerDevice*>(world.devices().front().get());
    ASSERT_NE(device, nullptr);
    const MultiviewerState expected = device->state().model;

    RecordingErrors errors;
    const auto pc = world.pcNetwork();
    UdpLink udp(*pc, errors);
    CnComm serial(world.pcSerialPorts());
    DeviceLink link(udp, serial, clock);
    DeviceEntry entry;
    entry.setAddress("192.168.1.101");
    entry.deviceType = kTypeMultiviewer;
    entry.subCode = 0x01;

    const StatusReadback lan = readStatusBlock(link, {kLinkLan, entry});
    ASSERT_TRUE(lan.block.has_value());
    expectSameDeviceFields(decoded(*lan.block), expected);

    ASSERT_TRUE(serial.open(DemoWorld::kSerialPortName, 9600));
    const StatusReadback overSerial = readStatusBlock(link, {kLinkSerial, entry});
    serial.close();
    ASSERT_TRUE(overSerial.block.has_value());
    expectSameDeviceFields(decoded(*overSerial.block), expected);
}

}  // namespace simulator_multiviewer_status_test
}  // namespace kvx
