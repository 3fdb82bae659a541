#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/manual_clock.h"
#include "platform/sim_network.h"
#include "platform/sim_serial.h"
#include "protocol/discovery.h"
#include "simulator/generic_device.h"
#include "simulator/serial_device_host.h"
#include "simulator/sim_network_host.h"
#include "simulator/udp_device_host.h"

namespace kvx {
namespace simulator_hosts_test {

constexpr uint32_t kPc = 0x0A000001;      // 10.0.0.1
constexpr uint32_t kDevice = 0x0A000065;  // 10.0.0.101
const LocalDateTime kWednesday{2019, 8, 21, 3, 14, 5, 9};

// A device that sends a report of its own for every frame it is given.
class ReportingDevice : public SimulatedDevice {
public:
    using SimulatedDevice::SimulatedDevice;

protected:
    void onFrame(std::span<const uint8_t> frame, const Reply&) override {
        report(deviceFrame(0x33, Bytes{frame[frame::kCommandOffset]}));
    }
};

std::unique_ptr<UdpSocket> boundSocket(Network& network, uint16_t port) {
    auto socket = network.createUdpSocket();
    EXPECT_TRUE(socket->bind({kAnyAddress, port}));
    EXPECT_TRUE(socket->setNonBlocking());
    EXPECT_TRUE(socket->enableBroadcast());
    return socket;
}

// Waits (bounded) for the next datagram that does not come from the PC itself (a broadcast reaches the
// sender's own host too).
int receiveWithin(UdpSocket& socket, std::span<uint8_t> buffer, Ipv4Endpoint& from) {
    for (int tries = 0; tries < 2000; ++tries) {
        const int n = socket.receiveFrom(buffer, from);
        if (n > 0 && from.address != kPc) return n;
        if (n <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 0;
}

TEST(SimNetworkDeviceHost, AnswersTheSenderAndReportsToItsPort7001) {
    SimNetwork network;
    ReportingDevice device({0xA1, 0x01, "MV", {9, 8, 7, 6}});
    SimNetworkDeviceHost host(network, kDevice, {&device});
    ASSERT_TRUE(host.listening());
    auto pc = network.host(kPc);
    auto control = boundSocket(*pc, 7000);
    auto reports = boundSocket(*pc, 7001);

    ASSERT_EQ(control->sendTo(buildDiscoveryProbe(kLinkLan, kWednesday), {kBroadcastAddress, 7000}), 27);
    uint8_t buffer[128];
    Ipv4Endpoint from{};
    const int n = receiveWithin(*control, buffer, from);
    ASSERT_GT(n, 0);
    EXPECT_EQ(from, (Ipv4Endpoint{kDevice, 7000}));
    EXPECT_EQ(Bytes(buffer, buffer + n), device.discoveryReply(kLinkLan));

    ASSERT_GT(control->sendTo(buildFrame(0xA1, 0x01, kLinkLan, 0x0A), {kDevice, 7000}), 0);
    const int r = receiveWithin(*reports, buffer, from);
    ASSERT_EQ(r, 22);
    EXPECT_EQ(from.address, kDevice);
    EXPECT_EQ(buffer[16], 0x33);
    EXPECT_EQ(buffer[18], 0x0A);
    EXPECT_LE(control->receiveFrom(buffer, from), 0) << "a report goes to port 7001 only";
}

TEST(SimNetworkDeviceHost, SecondHostOnTheSamePortIsNotListening) {
    SimNetwork network;
    GenericDevice a({0x60, 0x01, "A", {1, 0, 0, 0}});
    GenericDevice b({0x60, 0x01, "B", {2, 0, 0, 0}});
    SimNetworkDeviceHost first(network, kDevice, {&a});
    SimNetworkDeviceHost second(network, kDevice, {&b});
    EXPECT_TRUE(first.listening());
    EXPECT_FALSE(second.listening());
}

TEST(UdpDeviceHost, ServesSeveralDevicesOnOneSocketInOrder) {
    SimNetwork network;
    auto deviceSide = network.host(kDevice);
    ReportingDevice mv({0xA1, 0x01, "MV", {1, 1, 1, 1}});
    GenericDevice mx({0x82, 0x01, "MX", {2, 2, 2, 2}});
    std::vector<Bytes> logged;
    std::mutex logMutex;
    UdpDeviceHost host(*deviceSide, {&mv, &mx}, [&](Ipv4Endpoint, std::span<const uint8_t> request) {
        std::lock_guard lock(logMutex);
        logged.emplace_back(request.begin(), request.end());
    });
    ASSERT_TRUE(host.start({kAnyAddress, 7000}));
    auto pc = network.host(kPc);
    auto control = boundSocket(*pc, 7000);
    auto reports = boundSocket(*pc, 7001);

    const Bytes probe = buildDiscoveryProbe(kLinkLan, kWednesday);
    control->sendTo(probe, {kBroadcastAddress, 7000});
    FoundDevices found;
    uint8_t buffer[128];
    for (int i = 0; i < 2; ++i) {
        Ipv4Endpoint from{};
        const int n = receiveWithin(*control, buffer, from);
        ASSERT_GT(n, 0);
        readLanReply(std::span<const uint8_t>(buffer, n), formatIpv4(from.address), found);
    }
    EXPECT_EQ(found.items, (std::vector<std::string>{"MV_10.0.0.101", "MX_10.0.0.101"}));

    control->sendTo(buildFrame(0xA1, 0x01, kLinkLan, 0x0A), {kDevice, 7000});
    Ipv4Endpoint from{};
    ASSERT_EQ(receiveWithin(*reports, buffer, from), 22);
    EXPECT_EQ(buffer[4], 0xA1);
    host.stop();
    std::lock_guard lock(logMutex);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0], probe);
}

TEST(UdpDeviceHost, FailsWhenThePortIsTaken) {
    SimNetwork network;
    auto deviceSide = network.host(kDevice);
    auto taken = boundSocket(*deviceSide, 7000);
    GenericDevice device({0x60, 0x01, "A", {}});
    UdpDeviceHost host(*deviceSide, {&device});
    EXPECT_FALSE(host.start({kAnyAddress, 7000}));
}

struct PiecesCase {
    size_t size;
    int n;
    std::vector<size_t> sizes;
};

class Pieces : public testing::TestWithParam<PiecesCase> {};

TEST_P(Pieces, CoverTheBytesInOrderWithoutEmptyPieces) {
    const PiecesCase& c = GetParam();
    Bytes bytes(c.size);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
    const auto pieces = splitIntoPieces(bytes, c.n);
    std::vector<size_t> sizes;
    Bytes joined;
    for (const Bytes& piece : pieces) {
        sizes.push_back(piece.size());
        joined.insert(joined.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(sizes, c.sizes);
    EXPECT_EQ(joined, bytes);
}

INSTANTIATE_TEST_SUITE_P(Counts, Pieces,
                         testing::Values(PiecesCase{36, 1, {36}}, PiecesCase{36, 3, {12, 12, 12}},
                                         PiecesCase{10, 3, {3, 3, 4}}, PiecesCase{2, 5, {1, 1}},
                                         PiecesCase{7, 0, {7}}));

class SerialLinePieces : public testing::TestWithParam<int> {};

TEST_P(SerialLinePieces, SerialSearchGathersTheAnswer) {
    ManualClock clock(1000);
    auto line = std::make_shared<SimSerialLine>(clock);
    GenericDevice device({0x83, 0x01, "TQL2408P", {1, 2, 3, 4}});
    SimSerialLineHost host(*line, device, {GetParam(), 50});
    SimSerialPorts ports;
    ports.add("COM3", line);
    CnComm serial(ports);
    ASSERT_TRUE(serial.open("COM3", 9600));
    struct : ErrorSink {
        void showError(const std::string& text, const std::string&) override { ADD_FAILURE() << text; }
    } errors;

    const SearchResult result = serialSearch(serial, clock, kLinkSerial, errors);
    serial.close();
    EXPECT_EQ(result.statusText, "Connected - 1");
    EXPECT_EQ(result.items, std::vector<std::string>{"TQL2408P"});
    ASSERT_EQ(result.found.entries.size(), 1u);
    EXPECT_EQ(result.found.entries[0].modelFlag, 1);
    ASSERT_EQ(device.receivedFrames().size(), 1u);
    EXPECT_EQ(device.receivedFrames()[0][16], 0xFF);
}

INSTANTIATE_TEST_SUITE_P(Pacing, SerialLinePieces, testing::Values(1, 3, 8));

}  // namespace simulator_hosts_test
}  // namespace kvx
