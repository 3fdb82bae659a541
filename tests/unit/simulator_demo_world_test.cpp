#include <gtest/gtest.h>

#include <set>

#include "platform/manual_clock.h"
#include "protocol/discovery.h"
#include "protocol/udp_link.h"
#include "simulator/demo_world.h"

namespace kvx {
namespace simulator_demo_world_test {

struct FailingSink : ErrorSink {
    void showError(const std::string& text, const std::string&) override { ADD_FAILURE() << text; }
};

TEST(DemoWorld, EveryDeviceAnswersTheLanSearch) {
    ManualClock clock(5000);
    DemoWorld world(clock);
    auto pc = world.pcNetwork();
    FailingSink errors;
    UdpLink udp(*pc, errors);

    const SearchResult result = lanSearch(udp, clock, kLinkLan, errors);
    ASSERT_TRUE(result.ran);
    EXPECT_EQ(result.statusText, "Connected - 4");
    EXPECT_EQ(result.items, (std::vector<std::string>{"KVX_MV16_192.168.1.101", "KVX_MX0808_192.168.1.102",
                                                      "TQL2408P_192.168.1.103", "KVX_EXT60_192.168.1.104"}));
    const auto& entries = result.found.entries;
    ASSERT_EQ(entries.size(), 4u);
    const uint8_t types[] = {0xA1, 0x82, 0x83, 0x60};
    std::set<std::array<uint8_t, 4>> ids;
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].deviceType, types[i]);
        EXPECT_EQ(entries[i].subCode, 0x01);
        EXPECT_EQ(entries[i].modelFlag, i == 2 ? 1 : 0);
        EXPECT_EQ(entries[i].deviceId, world.devices()[i]->identity().id);
        ids.insert(entries[i].deviceId);
    }
    EXPECT_EQ(ids.size(), 4u) << "DeviceIds differ";
    for (const auto& device : world.devices()) EXPECT_EQ(device->receivedFrames().size(), 1u);
}

struct ReadCase {
    size_t device;
    uint8_t type;  // byte 4 of the request
    uint8_t command;
    size_t replySize;  // what the panels' serial readers wait for
};

class DemoMatrixReads : public testing::TestWithParam<ReadCase> {};

TEST_P(DemoMatrixReads, MatrixSwitchersAnswerTheirReadBacks) {
    const ReadCase& c = GetParam();
    ManualClock clock;
    DemoWorld world(clock);
    auto pc = world.pcNetwork();
    auto socket = pc->createUdpSocket();
    ASSERT_TRUE(socket->bind({kAnyAddress, kControlPort}));
    ASSERT_TRUE(socket->setNonBlocking());

    ASSERT_GT(
        socket->sendTo(buildFrame(c.type, 0x01, kLinkLan, c.command), {world.deviceAddress(c.device), 7000}),
        0);
    uint8_t reply[256];
    Ipv4Endpoint from{};
    const int n = socket->receiveFrom(reply, from);
    ASSERT_EQ(n, static_cast<int>(c.replySize));
    EXPECT_EQ(from.address, world.deviceAddress(c.device));
    EXPECT_EQ(reply[16], c.command);
    EXPECT_LE(socket->receiveFrom(reply, from), 0) << "one answer only";
}

INSTANTIATE_TEST_SUITE_P(Reads, DemoMatrixReads,
                         testing::Values(ReadCase{1, 0x82, 0x53, 64}, ReadCase{2, 0x83, 0x53, 73},
                                         ReadCase{1, 0x03, 0x50, 23}, ReadCase{2, 0x03, 0x50, 23}));

TEST(DemoWorld, ChangedIdentitiesAreWhatTheSearchFinds) {
    auto set = demoIdentities();
    set.resize(2);
    set[1].name = "Studio B";
    set[1].sub = 0x07;
    set[1].id = {0xCA, 0xFE, 0x00, 0x01};
    ManualClock clock;
    DemoWorld world(clock, set);
    auto pc = world.pcNetwork();
    FailingSink errors;
    UdpLink udp(*pc, errors);

    const SearchResult result = lanSearch(udp, clock, kLinkLan, errors);
    ASSERT_EQ(result.found.entries.size(), 2u);
    EXPECT_EQ(result.items[1], "Studio B_192.168.1.102");
    EXPECT_EQ(result.found.entries[1].subCode, 0x07);
    EXPECT_EQ(result.found.entries[1].deviceId, (std::array<uint8_t, 4>{0xCA, 0xFE, 0x00, 0x01}));
}

TEST(DemoWorld, FirstDeviceAnswersOnTheSerialPort) {
    ManualClock clock(5000);
    DemoWorld world(clock, demoIdentities(), {3, 50});
    CnComm serial(world.pcSerialPorts());
    ASSERT_TRUE(serial.open(DemoWorld::kSerialPortName, 9600));
    FailingSink errors;

    const SearchResult result = serialSearch(serial, clock, kLinkSerial, errors);
    serial.close();
    EXPECT_EQ(result.statusText, "Connected - 1");
    EXPECT_EQ(result.items, std::vector<std::string>{"KVX_MV16"});
    ASSERT_EQ(result.found.entries.size(), 1u);
    EXPECT_EQ(result.found.entries[0].deviceType, 0xA1);
}

}  // namespace simulator_demo_world_test
}  // namespace kvx
