#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "multiviewer/status_encode.h"
#include "multiviewer/status_readback.h"
#include "unit/support/pc_links.h"

namespace kvx {
namespace multiviewer_status_readback_test {

StatusBlock sampleBlock(uint8_t layout) {
    MultiviewerState device;
    device.LayoutMode = layout;
    device.UmdName[0] = u"CAM 1";
    device.DeviceName = u"MV-16";
    return encodeStatusBlock(device);
}

// A status reply of `length` bytes: the header, byte 17 unread, the block from byte 18, then padding.
Bytes statusReply(const StatusBlock& block, size_t length, uint8_t type = 0xA1, uint8_t code = 0x0A) {
    Bytes payload{0x00};
    payload.insert(payload.end(), block.begin(), block.end());
    Bytes reply = buildFrame(type, 0x01, kLinkLan, code, payload);  // 810 bytes
    reply.resize(length, 0);
    return reply;
}

class StatusReadbackTest : public ::testing::Test, protected test::PcLinks, protected test::AnsweringDevice {
protected:
    StatusReadbackTest() : AnsweringDevice(static_cast<PcLinks&>(*this)) {
        entry.setAddress("10.0.0.2");
        entry.deviceType = kTypeMultiviewer;
        entry.subCode = 0x01;
    }

    Target lan() const { return Target{kLinkLan, entry}; }
    Target overSerial() {
        EXPECT_TRUE(serial.open(test::kSerialName, 115200));
        return Target{kLinkSerial, entry};
    }

    DeviceEntry entry;
};

TEST_F(StatusReadbackTest, LanReplyOf809BytesIsTaken) {
    lanAnswers = {statusReply(sampleBlock(90), 809)};
    const StatusReadback result = readStatusBlock(link, lan());
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], buildFrame(0xA1, 0x01, kLinkLan, 0x0A));
    EXPECT_EQ(result.outcome, ReadbackOutcome::Block);
    ASSERT_TRUE(result.block);
    EXPECT_EQ(*result.block, sampleBlock(90));
    EXPECT_FALSE(udp.commandSocketOpen());
}

TEST_F(StatusReadbackTest, LanSkipsShortOtherCodeAndOtherTypeReplies) {
    lanAnswers = {statusReply(sampleBlock(1), 808), statusReply(sampleBlock(2), 810, 0xA1, 0x33),
                  statusReply(sampleBlock(3), 810, 0x83, 0x0A), statusReply(sampleBlock(40), 810),
                  statusReply(sampleBlock(60), 810)};
    const StatusReadback result = readStatusBlock(link, lan());
    EXPECT_EQ(result.outcome, ReadbackOutcome::Block);
    ASSERT_TRUE(result.block);
    EXPECT_EQ(*result.block, sampleBlock(40));  // the first accepted reply ends the wait
}

TEST_F(StatusReadbackTest, LanWithoutReplyWaitsOutTheWindow) {
    lanAnswers = {statusReply(sampleBlock(1), 808)};
    const int64_t start = clock.steadyMs();
    const StatusReadback result = readStatusBlock(link, lan());
    EXPECT_EQ(result.outcome, ReadbackOutcome::NoReply);
    EXPECT_FALSE(result.block);
    EXPECT_GT(clock.steadyMs() - start, kStatusReplyWindowMs);
    EXPECT_FALSE(udp.commandSocketOpen());
}

TEST_F(StatusReadbackTest, LanWithoutADeviceSendsNothing) {
    const StatusReadback result = readStatusBlock(link, Target{kLinkLan, std::nullopt});
    EXPECT_EQ(result.outcome, ReadbackOutcome::NoLink);
    EXPECT_EQ(errors.shown, std::vector<std::string>{"Please choose a device"});
    EXPECT_TRUE(requests.empty());
}

TEST_F(StatusReadbackTest, SerialPortClosedSendsNothing) {
    const StatusReadback result = readStatusBlock(link, Target{kLinkSerial, entry});
    EXPECT_EQ(result.outcome, ReadbackOutcome::NoLink);
    EXPECT_TRUE(requests.empty());
}

TEST_F(StatusReadbackTest, AnyOtherLinkSendsNothing) {
    const StatusReadback result = readStatusBlock(link, Target{2, entry});
    EXPECT_EQ(result.outcome, ReadbackOutcome::NoLink);
    EXPECT_TRUE(requests.empty());
}

struct SerialCase {
    const char* name;
    int delayMs;    // -1: no answer
    size_t length;  // bytes the device writes
    bool expectBlock;
};

class SerialReadback : public StatusReadbackTest, public ::testing::WithParamInterface<SerialCase> {};

TEST_P(SerialReadback, TakesTheFirst809BytesAsTheyCome) {
    const SerialCase& c = GetParam();
    const Target target = overSerial();
    line->deviceWrite(Bytes(40, 0x55));  // stale bytes: drained before the request
    if (c.delayMs >= 0) serialAnswers = {statusReply(sampleBlock(161), c.length, 0x00, 0x00)};
    serialDelayMs = c.delayMs;
    const StatusReadback result = readStatusBlock(link, target);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], buildFrame(0xA1, 0x01, kLinkSerial, 0x0A));
    EXPECT_EQ(result.outcome, c.expectBlock ? ReadbackOutcome::Block : ReadbackOutcome::NoReply);
    if (c.expectBlock) {
        ASSERT_TRUE(result.block);
        EXPECT_EQ(*result.block, sampleBlock(161));  // header and code are not checked on this link
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, SerialReadback,
                         ::testing::Values(SerialCase{"AtOnce", 0, 809, true},
                                           SerialCase{"Late", 700, 810, true},
                                           SerialCase{"Short", 0, 808, false},
                                           SerialCase{"TooLate", 2500, 809, false},
                                           SerialCase{"Nothing", -1, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ApplyReadback, ANewBlockIsStoredAndDecoded) {
    MultiviewerState state;
    const auto shown = applyReadback({ReadbackOutcome::Block, sampleBlock(90)}, state);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->nameBoxText, u"MV-16");
    EXPECT_EQ(state.StatusBlock, sampleBlock(90));
    EXPECT_EQ(state.LayoutMode, 90);
    EXPECT_EQ(state.UmdName[0], u"CAM 1");
    EXPECT_EQ(state.StatusLoaded, 1);
}

TEST(ApplyReadback, WithoutReplyThePreviousBlockIsDecodedAgain) {
    MultiviewerState state;
    state.StatusBlock = sampleBlock(60);
    state.LayoutMode = 4;
    const auto shown = applyReadback({ReadbackOutcome::NoReply, std::nullopt}, state);
    ASSERT_TRUE(shown);
    EXPECT_EQ(state.LayoutMode, 60);
    EXPECT_EQ(state.StatusLoaded, 1);
}

TEST(ApplyReadback, WithoutALinkNothingIsDecoded) {
    MultiviewerState state;
    state.StatusBlock = sampleBlock(60);
    state.LayoutMode = 4;
    EXPECT_FALSE(applyReadback({ReadbackOutcome::NoLink, std::nullopt}, state));
    EXPECT_EQ(state.LayoutMode, 4);
    EXPECT_EQ(state.StatusLoaded, 0);
}

}  // namespace multiviewer_status_readback_test
}  // namespace kvx
