#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/manual_clock.h"
#include "platform/sim_serial.h"

namespace kvx {
namespace platform_sim_serial_test {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

class SimSerialLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        pc = line->openPcEnd();
        ASSERT_TRUE(pc);
    }

    Bytes readAll() {
        Bytes buffer(256);
        buffer.resize(pc->read(buffer.data(), buffer.size()));
        return buffer;
    }

    ManualClock clock{1000};
    std::shared_ptr<SimSerialLine> line = std::make_shared<SimSerialLine>(clock);
    std::unique_ptr<SerialDevice> pc;
};

TEST_F(SimSerialLineTest, DelayedPiecesArriveWhenTheirTimeHasPassed) {
    line->deviceWrite(Bytes{0xA5, 0x6C, 0x14});
    line->deviceWrite(Bytes{0x00, 0xA1}, 50);
    line->deviceWrite(Bytes{0xAE}, 120);

    EXPECT_EQ(pc->inputCount(), 3u);
    EXPECT_EQ(readAll(), (Bytes{0xA5, 0x6C, 0x14}));
    // Nothing more has come yet, and the read does not wait for it.
    EXPECT_EQ(readAll(), Bytes{});
    clock.advance(49);
    EXPECT_EQ(pc->inputCount(), 0u);
    clock.advance(1);
    EXPECT_EQ(pc->inputCount(), 2u);
    clock.advance(100);
    EXPECT_EQ(pc->inputCount(), 3u);
    EXPECT_EQ(readAll(), (Bytes{0x00, 0xA1, 0xAE}));
}

TEST_F(SimSerialLineTest, AShorterDelayNeverOvertakesAnEarlierPiece) {
    line->deviceWrite(Bytes{1}, 100);
    line->deviceWrite(Bytes{2}, 0);
    EXPECT_EQ(pc->inputCount(), 0u);
    clock.advance(100);
    EXPECT_EQ(readAll(), (Bytes{1, 2}));
}

TEST_F(SimSerialLineTest, ReadTakesNoMoreThanAsked) {
    line->deviceWrite(Bytes{1, 2, 3, 4});
    uint8_t two[2];
    ASSERT_EQ(pc->read(two, 2), 2u);
    EXPECT_EQ(two[0], 1);
    EXPECT_EQ(two[1], 2);
    EXPECT_EQ(readAll(), (Bytes{3, 4}));
}

TEST_F(SimSerialLineTest, WriteHandsTheBlockToTheDeviceWhoseAnswerIsWaitingAtOnce) {
    std::vector<Bytes> seen;
    line->setDeviceHandler([&](std::span<const uint8_t> block) {
        seen.emplace_back(block.begin(), block.end());
        line->deviceWrite(Bytes{0xAA, static_cast<uint8_t>(block.size())});
    });
    const Bytes request{0xA5, 0x6C, 0x14, 0x00, 0xAE};
    EXPECT_EQ(pc->write(request.data(), request.size()), request.size());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], request);
    EXPECT_EQ(line->writtenBlocks(), std::vector<Bytes>{request});
    EXPECT_EQ(readAll(), (Bytes{0xAA, 5}));

    line->clearWritten();
    EXPECT_TRUE(line->writtenBlocks().empty());
}

TEST_F(SimSerialLineTest, PurgeDropsWaitingBytesButNotThoseStillOnTheirWay) {
    line->deviceWrite(Bytes{1, 2});
    line->deviceWrite(Bytes{3}, 10);
    EXPECT_TRUE(pc->purge());
    EXPECT_EQ(pc->inputCount(), 0u);
    clock.advance(10);
    EXPECT_EQ(readAll(), Bytes{3});
}

TEST_F(SimSerialLineTest, ConfigureRecordsTheBaudRate) {
    EXPECT_EQ(line->lastBaud(), 0);
    EXPECT_TRUE(pc->configure(9600));
    EXPECT_EQ(line->lastBaud(), 9600);
    EXPECT_TRUE(pc->configure(115200));
    EXPECT_EQ(line->lastBaud(), 115200);
}

TEST_F(SimSerialLineTest, OnlyOnePcEndAtATime) {
    EXPECT_EQ(line->openPcEnd(), nullptr);
    pc->close();
    auto again = line->openPcEnd();
    ASSERT_TRUE(again);
    // The old end stays closed even though the line is open again.
    line->deviceWrite(Bytes{7});
    EXPECT_EQ(pc->inputCount(), std::nullopt);
    EXPECT_EQ(again->inputCount(), 1u);
}

TEST_F(SimSerialLineTest, ClosedEndRefusesIoAndTheLineDropsWhatTheDeviceSends) {
    pc->close();
    const uint8_t byte = 1;
    EXPECT_EQ(pc->write(&byte, 1), std::nullopt);
    EXPECT_EQ(pc->inputCount(), std::nullopt);
    EXPECT_FALSE(pc->configure(9600));
    line->deviceWrite(Bytes{1, 2});
    pc = line->openPcEnd();
    EXPECT_EQ(pc->inputCount(), 0u);
}

TEST_F(SimSerialLineTest, WaitForEventReportsWaitingBytes) {
    EXPECT_FALSE(pc->waitForEvent(0));
    line->deviceWrite(Bytes{1});
    EXPECT_TRUE(pc->waitForEvent(0));
}

TEST_F(SimSerialLineTest, WaitForEventWakesWhenTheDeviceWrites) {
    auto waiting = std::async(std::launch::async, [this] { return pc->waitForEvent(60000); });
    line->deviceWrite(Bytes{1});
    ASSERT_EQ(waiting.wait_for(20s), std::future_status::ready);
    EXPECT_TRUE(waiting.get());
}

TEST_F(SimSerialLineTest, WaitForEventSeesADelayedPieceOnceTheClockMovesOn) {
    line->deviceWrite(Bytes{1}, 500);
    auto waiting = std::async(std::launch::async, [this] { return pc->waitForEvent(60000); });
    clock.advance(500);
    ASSERT_EQ(waiting.wait_for(20s), std::future_status::ready);
    EXPECT_TRUE(waiting.get());
}

TEST_F(SimSerialLineTest, CancelWaitEndsTheWaitWithoutAnEvent) {
    auto waiting = std::async(std::launch::async, [this] { return pc->waitForEvent(60000); });
    pc->cancelWait();
    ASSERT_EQ(waiting.wait_for(20s), std::future_status::ready);
    EXPECT_FALSE(waiting.get());
}

class FixedPorts : public SerialPorts {
public:
    std::unique_ptr<SerialDevice> open(const std::string& name) override {
        opened.push_back(name);
        return nullptr;
    }
    std::vector<std::string> list() override { return {"/dev/ttyUSB0", "/dev/ttyS0"}; }
    std::vector<std::string> opened;
};

TEST(SimSerialPorts, NamedLinesComeFirstThenTheFallback) {
    ManualClock clock;
    auto line = std::make_shared<SimSerialLine>(clock);
    FixedPorts machine;
    SimSerialPorts ports(&machine);
    ports.add("SIM1", line);

    EXPECT_TRUE(ports.open("SIM1"));
    EXPECT_TRUE(machine.opened.empty());
    EXPECT_EQ(ports.open("/dev/ttyS0"), nullptr);
    EXPECT_EQ(machine.opened, std::vector<std::string>{"/dev/ttyS0"});
    EXPECT_EQ(ports.list(), (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0", "SIM1"}));
}

TEST(SimSerialPorts, WithoutFallbackOnlyTheNamedLinesExist) {
    ManualClock clock;
    SimSerialPorts ports;
    ports.add("SIM2", std::make_shared<SimSerialLine>(clock));
    ports.add("SIM1", std::make_shared<SimSerialLine>(clock));
    EXPECT_EQ(ports.list(), (std::vector<std::string>{"SIM1", "SIM2"}));
    EXPECT_EQ(ports.open("/dev/ttyS0"), nullptr);
}

}  // namespace platform_sim_serial_test
}  // namespace kvx
