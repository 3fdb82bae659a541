#include <gtest/gtest.h>

#include "protocol/discovery.h"
#include "simulator/device_dispatch.h"
#include "simulator/generic_device.h"
#include "simulator/simulated_device.h"

namespace kvx {
namespace simulator_device_test {

const LocalDateTime kWednesday{2019, 8, 21, 3, 14, 5, 9};

// Counts what reaches onFrame, and answers each such frame with a one-byte frame of its own.
class CountingDevice : public SimulatedDevice {
public:
    using SimulatedDevice::SimulatedDevice;
    int onFrameCalls = 0;

protected:
    void onFrame(std::span<const uint8_t>, const Reply& reply) override {
        ++onFrameCalls;
        reply(deviceFrame(0x53, Bytes{0x07}));
    }
};

struct ReplyCase {
    SimulatedDevice::Identity identity;
    LinkKind link;
    Bytes expected;
};

class DiscoveryReplyBytes : public testing::TestWithParam<ReplyCase> {};

TEST_P(DiscoveryReplyBytes, CarryNamePatternAndIdAsTheSearchReadsThem) {
    const ReplyCase& c = GetParam();
    SimulatedDevice device(c.identity);
    EXPECT_EQ(device.discoveryReply(c.link), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, DiscoveryReplyBytes,
    testing::Values(
        // Name "AB", '-', '0', '-', id; the id also in bytes 10 to 13; sum 0x03D3.
        ReplyCase{{0x82, 0x01, "AB", {0x01, 0x02, 0x03, 0x04}},
                  kLinkLan,
                  {0xA5, 0x6C, 0x1E, 0x00, 0x82, 0x01, 0x01, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x00,
                   0x00, 0xFF, 0x00, 0x41, 0x42, 0x2D, 0x30, 0x2D, 0x01, 0x02, 0x03, 0x04, 0xD3, 0x03, 0xAE}},
        ReplyCase{{0xA1, 0x05, "TQL2408P", {0xDE, 0xAD, 0xBE, 0xEF}},
                  kLinkSerial,
                  {0xA5, 0x6C, 0x24, 0x00, 0xA1, 0x05, 0x00, 0x00, 0x00, 0x00, 0xDE, 0xAD,
                   0xBE, 0xEF, 0x00, 0x00, 0xFF, 0x00, 0x54, 0x51, 0x4C, 0x32, 0x34, 0x30,
                   0x38, 0x50, 0x2D, 0x30, 0x2D, 0xDE, 0xAD, 0xBE, 0xEF, 0xE3, 0x0B, 0xAE}}));

struct FoundCase {
    std::string name;
    uint8_t modelFlag;
};

class DiscoveryReplyFound : public testing::TestWithParam<FoundCase> {};

TEST_P(DiscoveryReplyFound, ByBothSearchReadersWithOneEntry) {
    const FoundCase& c = GetParam();
    SimulatedDevice device({0x83, 0x02, c.name, {0x11, 0x22, 0x33, 0x44}});

    FoundDevices found;
    ASSERT_EQ(readLanReply(device.discoveryReply(kLinkLan), "10.0.0.7", found), LanReplyVerdict::Scanned);
    ASSERT_EQ(found.entries.size(), 1u);
    EXPECT_EQ(found.items[0], c.name + "_10.0.0.7");
    EXPECT_EQ(found.entries[0].deviceType, 0x83);
    EXPECT_EQ(found.entries[0].subCode, 0x02);
    EXPECT_EQ(found.entries[0].deviceId, (std::array<uint8_t, 4>{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(found.entries[0].modelFlag, c.modelFlag);

    const SerialParse serial = parseSerialReply(device.discoveryReply(kLinkSerial));
    EXPECT_EQ(serial.result, 1);
    ASSERT_TRUE(serial.name.has_value());
    EXPECT_EQ(*serial.name, c.name);
    ASSERT_TRUE(serial.entry.has_value());
    EXPECT_EQ(serial.entry->modelFlag, c.modelFlag);
}

INSTANTIATE_TEST_SUITE_P(Names, DiscoveryReplyFound,
                         testing::Values(FoundCase{"TQL2408P", 1}, FoundCase{"tql2408p", 0},
                                         FoundCase{"KVX_MX1616", 0}, FoundCase{"", 0}));

TEST(SimulatedDevice, AnswersTheProbeAndPassesOtherFramesOn) {
    CountingDevice device({0xA1, 0x01, "MV", {1, 2, 3, 4}});
    std::vector<Bytes> answers;
    const SimulatedDevice::Reply reply = [&](const Bytes& answer) { answers.push_back(answer); };

    const Bytes probe = buildDiscoveryProbe(kLinkSerial, kWednesday);
    const Bytes request = buildFrame(0xA1, 0x01, kLinkLan, 0x0A);
    device.handleFrame(probe, reply);
    device.handleFrame(request, reply);

    EXPECT_EQ(device.onFrameCalls, 1);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0], device.discoveryReply(kLinkSerial));
    // deviceFrame: the device's type and sub code, its id in bytes 10 to 13, the data from byte 18.
    const Bytes& own = answers[1];
    ASSERT_EQ(own.size(), 22u);
    EXPECT_EQ(own[4], 0xA1);
    EXPECT_EQ(own[16], 0x53);
    EXPECT_EQ(Bytes(own.begin() + 10, own.begin() + 14), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(own[18], 0x07);
    EXPECT_EQ(checksum(std::span<const uint8_t>(own.data(), own.size() - 3)), own[19] | (own[20] << 8));
    EXPECT_EQ(device.receivedFrames(), (std::vector<Bytes>{probe, request}));
}

TEST(SimulatedDevice, IgnoresWhatCannotBeAFrame) {
    CountingDevice device({0x82, 0x01, "MX", {}});
    int answers = 0;
    const SimulatedDevice::Reply reply = [&](const Bytes&) { ++answers; };
    const Bytes probe = buildDiscoveryProbe(kLinkLan, kWednesday);
    const std::vector<Bytes> inputs{
        {}, {0xA5}, Bytes(probe.begin(), probe.begin() + 17), {0x00, 0x6C, 0x1B, 0x00, 0xFF, 0xFF, 0x01,
                                                               0,    0,    0,    0,    0,    0,    0,
                                                               0,    0,    0xFF, 0,    0,    0}};
    for (const Bytes& input : inputs) device.handleFrame(input, reply);
    EXPECT_EQ(answers, 0);
    EXPECT_EQ(device.onFrameCalls, 0);
    EXPECT_TRUE(device.receivedFrames().empty());
}

struct AddressCase {
    uint8_t deviceType;
    uint8_t frameType;
    bool addressed;
};

class Addressing : public testing::TestWithParam<AddressCase> {};

TEST_P(Addressing, ByTypeAndByTheMatrixPanelCode) {
    const AddressCase& c = GetParam();
    const SimulatedDevice device({c.deviceType, 0x01, "D", {}});
    EXPECT_EQ(device.isAddressedBy(buildFrame(c.frameType, 0x01, kLinkLan, 0x50)), c.addressed);
}

INSTANTIATE_TEST_SUITE_P(Types, Addressing,
                         testing::Values(AddressCase{0x82, 0x82, true}, AddressCase{0x82, 0x83, false},
                                         AddressCase{0x82, 0x03, true}, AddressCase{0x83, 0x03, true},
                                         AddressCase{0xA1, 0x03, false}, AddressCase{0xA1, 0xA1, true},
                                         AddressCase{0x60, 0xA1, false}));

TEST(DeliverRequest, ProbeToAllFramesToTheirDeviceTextsToAll) {
    CountingDevice mv({0xA1, 0x01, "MV", {1, 0, 0, 0}});
    CountingDevice mx({0x82, 0x01, "MX", {2, 0, 0, 0}});
    const DeviceList devices{&mv, &mx};
    std::vector<Bytes> answers;
    const SimulatedDevice::Reply reply = [&](const Bytes& answer) { answers.push_back(answer); };

    deliverRequest(devices, buildDiscoveryProbe(kLinkLan, kWednesday), reply);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0], mv.discoveryReply(kLinkLan));
    EXPECT_EQ(answers[1], mx.discoveryReply(kLinkLan));

    deliverRequest(devices, buildFrame(0x82, 0x01, kLinkLan, 0x53), reply);
    EXPECT_EQ(mv.onFrameCalls, 0);
    EXPECT_EQ(mx.onFrameCalls, 1);

    const std::string text = "3V1,2,5.";
    deliverRequest(
        devices, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()), reply);
    EXPECT_EQ(mv.receivedTexts(), std::vector<std::string>{text});
    EXPECT_EQ(mx.receivedTexts(), std::vector<std::string>{text});
}

TEST(GenericDevice, KeepsPanelLockAndCustomName) {
    GenericDevice device({0x60, 0x01, "EXT", {}});
    const SimulatedDevice::Reply none = [](const Bytes&) { FAIL() << "no answer expected"; };
    device.handleFrame(buildPanelLock(0x60, 0x01, kLinkLan, true), none);
    device.handleFrame(buildCustomName(0x60, 0x01, kLinkLan, u"Stage Ä"), none);
    EXPECT_TRUE(device.panelLocked());
    EXPECT_EQ(device.customName(), u"Stage Ä");

    device.handleFrame(buildPanelLock(0x60, 0x01, kLinkLan, false), none);
    device.handleFrame(buildCustomName(0x60, 0x01, kLinkLan, u""), none);
    EXPECT_FALSE(device.panelLocked());
    EXPECT_EQ(device.customName(), u"");
}

}  // namespace simulator_device_test
}  // namespace kvx
