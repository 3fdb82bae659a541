#include <gtest/gtest.h>

#include <thread>

#include "protocol/device_link.h"
#include "protocol/discovery.h"
#include "protocol/exchange_worker.h"
#include "unit/support/pc_links.h"

namespace kvx {
namespace protocol_links_test {

constexpr uint32_t kPc = test::kPcAddress;
constexpr uint32_t kDevice = test::kDeviceAddress;
using test::RecordingErrors;

DeviceEntry entryAt(uint32_t address, uint8_t type = 0xA1, uint8_t sub = 0x01) {
    DeviceEntry e;
    e.setAddress(formatIpv4(address));
    e.deviceType = type;
    e.subCode = sub;
    return e;
}

// The PC on 10.0.0.1 of an in-memory network, with both links and a manual clock.
struct LinkFixture : ::testing::Test, test::PcLinks {
    std::vector<std::pair<int64_t, Bytes>> deviceHeard;  // arrival time and bytes at the device's port 7000

    LinkFixture() {
        net.listen(kDevice, kControlPort, [this](std::span<const uint8_t> d, Ipv4Endpoint) {
            deviceHeard.emplace_back(clock.steadyMs(), Bytes(d.begin(), d.end()));
        });
    }
    std::vector<SimNetwork::Record> fromPc() const {
        std::vector<SimNetwork::Record> out;
        for (const auto& r : net.traffic())
            if (r.from.address == kPc) out.push_back(r);
        return out;
    }
};

using SendToSelected = LinkFixture;

TEST_F(SendToSelected, WithoutASelectedDeviceShowsTheErrorAndSendsNothing) {
    EXPECT_FALSE(link.send(Target{kLinkLan, std::nullopt}, buildFrame(0xA1, 1, kLinkLan, 0x33, {4})));
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0], "Please choose a device");
    EXPECT_EQ(errors.captions[0], "Err");
    EXPECT_TRUE(net.traffic().empty());
    EXPECT_FALSE(udp.commandSocketOpen());
}

TEST_F(SendToSelected, EachLanRequestUsesAFreshSocketOnPort7000AndPauses10ms) {
    const Target target{kLinkLan, entryAt(kDevice)};
    const Bytes first = buildFrame(0xA1, 1, kLinkLan, 0x33, {4});
    const Bytes second = buildFrame(0xA1, 1, kLinkLan, 0x33, {9});
    EXPECT_TRUE(link.send(target, first));
    EXPECT_FALSE(udp.commandSocketOpen()) << "the socket is closed after each request";
    EXPECT_TRUE(link.send(target, second));
    const auto sent = fromPc();
    ASSERT_EQ(sent.size(), 2u);
    for (const auto& r : sent) {
        EXPECT_EQ(r.from.port, kControlPort);
        EXPECT_EQ(r.to, (Ipv4Endpoint{kDevice, kControlPort}));
    }
    EXPECT_EQ(sent[0].bytes, first);
    EXPECT_EQ(sent[1].bytes, second);
    ASSERT_EQ(deviceHeard.size(), 2u);
    EXPECT_GE(deviceHeard[1].first - deviceHeard[0].first, 10);
}

TEST_F(SendToSelected, AnEntryWithoutAddressSendsNothingOnTheLan) {
    DeviceEntry serialFound;
    serialFound.deviceType = 0x82;
    EXPECT_FALSE(link.send(Target{kLinkLan, serialFound}, buildFrame(0x82, 1, kLinkLan, 0x53)));
    EXPECT_TRUE(net.traffic().empty());
}

TEST_F(SendToSelected, SerialDrainsWritesAndPausesUnlessTold) {
    ASSERT_TRUE(serial.open(test::kSerialName, 9600));
    line->deviceWrite(Bytes{1, 2, 3});  // stale bytes from an earlier answer
    const Target target{kLinkSerial, entryAt(kDevice)};
    const Bytes frame = buildFrame(0xA1, 1, kLinkSerial, 0x33, {4});
    int64_t before = clock.steadyMs();
    EXPECT_TRUE(link.send(target, frame));
    EXPECT_EQ(clock.steadyMs() - before, 20);
    EXPECT_EQ(serial.inputCount().value_or(99), 0u) << "the stale bytes were drained";
    before = clock.steadyMs();
    EXPECT_TRUE(link.send(target, buildBacklightTime(1, kLinkSerial, 2), SerialPause::None));
    EXPECT_EQ(clock.steadyMs(), before);
    ASSERT_EQ(line->writtenBlocks().size(), 2u);
    EXPECT_EQ(line->writtenBlocks()[0], frame);
    EXPECT_TRUE(net.traffic().empty());
}

TEST_F(SendToSelected, ClosedPortOrUnknownLinkDropsTheFrameQuietly) {
    const Bytes frame = buildFrame(0xA1, 1, kLinkSerial, 0x33, {4});
    EXPECT_FALSE(link.send(Target{kLinkSerial, entryAt(kDevice)}, frame));
    EXPECT_FALSE(link.send(Target{2, entryAt(kDevice)}, frame));
    EXPECT_TRUE(line->writtenBlocks().empty());
    EXPECT_TRUE(net.traffic().empty());
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(SendToSelected, NotificationSocketListensOn7001WhateverTheCommandSocketDoes) {
    auto reports = udp.openNotificationSocket(entryAt(kDevice));
    ASSERT_TRUE(reports);
    const Bytes report = buildFrame(0xA1, 1, kLinkLan, 0x33, {0, 4});
    net.sendFrom({kDevice, kControlPort}, report, {kPc, kReportPort});
    ASSERT_TRUE(udp.openCommandSocket(entryAt(kDevice)));
    net.sendFrom({kDevice, kControlPort}, report, {kPc, kReportPort});
    uint8_t buffer[64];
    Ipv4Endpoint from;
    EXPECT_EQ(reports->receiveFrom(buffer, from), static_cast<int>(report.size()));
    EXPECT_EQ(reports->receiveFrom(buffer, from), static_cast<int>(report.size()));
    EXPECT_EQ(from, (Ipv4Endpoint{kDevice, kControlPort}));
}

// --- searches ---

Bytes discoveryReply(uint8_t type, const std::string& name, uint8_t idByte) {
    Bytes payload{0x00};
    payload.insert(payload.end(), name.begin(), name.end());
    payload.insert(payload.end(), {'-', '0', '-', idByte, 0, 0, idByte});
    return buildFrame(type, 0x01, kLinkLan, 0xFF, payload);
}

struct SearchFixture : LinkFixture {
    // A device on its own host that answers the probe from port 7000.
    void addDevice(uint32_t address, uint8_t type, const std::string& name, uint8_t idByte) {
        net.listen(address, kControlPort,
                   [this, address, type, name, idByte](std::span<const uint8_t> d, Ipv4Endpoint from) {
                       if (d.size() == 27 && d[16] == 0xFF)
                           net.sendFrom({address, kControlPort}, discoveryReply(type, name, idByte), from);
                   });
    }
};

TEST_F(SearchFixture, TwoDevicesAreListedInReplyOrder) {
    addDevice(0x0A000010, 0xA1, "MV", 1);
    addDevice(0x0A000011, 0x60, "EXT", 2);
    testing::internal::CaptureStdout();
    const SearchResult r = lanSearch(udp, clock, kLinkLan, errors);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the search writes no diagnostic line";
    ASSERT_TRUE(r.ran);
    EXPECT_EQ(r.items, (std::vector<std::string>{"MV_10.0.0.16", "EXT_10.0.0.17"}));
    EXPECT_EQ(r.statusText, "Connected - 2");
    EXPECT_EQ(r.selectedIndex, 0);
    EXPECT_EQ(r.found.entries[1].deviceType, 0x60);
    EXPECT_EQ(r.found.entries[1].deviceId, (std::array<uint8_t, 4>{2, 0, 0, 2}));
    EXPECT_FALSE(udp.commandSocketOpen());
    // The probe went out once, as a broadcast from port 7000.
    const auto sent = fromPc();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].to, (Ipv4Endpoint{kBroadcastAddress, kControlPort}));
    EXPECT_EQ(sent[0].from.port, kControlPort);
    EXPECT_EQ(sent[0].bytes.size(), 27u);
}

TEST_F(SearchFixture, AReplyMovesThePeerAddressToItsSender) {
    addDevice(0x0A000010, 0xA1, "MV", 1);
    ASSERT_TRUE(udp.openDiscoverySocket());
    udp.sendToPeer(buildDiscoveryProbe(kLinkLan, clock.localNow()));
    uint8_t buffer[128];
    ASSERT_GT(udp.receive(buffer), 0);  // our own probe comes back first, as on a LAN
    while (udp.peer().address == kPc) ASSERT_GT(udp.receive(buffer), 0);
    EXPECT_EQ(udp.peer(), (Ipv4Endpoint{0x0A000010, kControlPort}));
}

TEST_F(SearchFixture, ThreeHundredDevicesFillTheTableWith256) {
    for (uint32_t i = 0; i < 300; ++i) addDevice(0x0A010000 + i, 0x82, "SW", static_cast<uint8_t>(i));
    const SearchResult r = lanSearch(udp, clock, kLinkLan, errors);
    EXPECT_EQ(r.found.entries.size(), 256u);
    EXPECT_EQ(r.items.size(), 256u);
    EXPECT_EQ(r.statusText, "Connected - 256");
}

TEST_F(SearchFixture, NobodyAnswersWithinTheWindow) {
    const int64_t start = clock.steadyMs();
    const SearchResult r = lanSearch(udp, clock, kLinkLan, errors);
    EXPECT_GT(clock.steadyMs() - start, 2000);
    EXPECT_EQ(r.items, std::vector<std::string>{"No Device Found"});
    EXPECT_EQ(r.statusText, "No Device Connected");
    EXPECT_EQ(r.selectedIndex, -1);
}

struct RefusingNetwork : Network {
    std::unique_ptr<UdpSocket> createUdpSocket() override { return nullptr; }
};

TEST(LanSearch, ASocketThatCannotBeMadeShowsCreateSocketErr) {
    ManualClock clock;
    RefusingNetwork refusing;
    RecordingErrors errors;
    UdpLink udp(refusing, errors);
    const SearchResult r = lanSearch(udp, clock, kLinkLan, errors);
    EXPECT_FALSE(r.ran);
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0], "Create socket err");
    EXPECT_EQ(errors.captions[0], "Err");
}

TEST_F(SearchFixture, SerialSearchWithThePortClosedAsksToOpenIt) {
    const SearchResult r = serialSearch(serial, clock, kLinkSerial, errors);
    EXPECT_FALSE(r.ran);
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0], "Please open the serial port first!");
}

TEST_F(SearchFixture, SerialSearchFindsAReplyThatArrivesInPieces) {
    ASSERT_TRUE(serial.open(test::kSerialName, 115200));
    Bytes reply = discoveryReply(0x83, "TQL2408P", 7);
    reply[6] = kLinkSerial;
    line->setDeviceHandler([this, reply](std::span<const uint8_t> block) {
        if (block.size() != 27) return;
        line->deviceWrite(std::span(reply).first(10), 60);
        line->deviceWrite(std::span(reply).subspan(10, 8), 200);
        line->deviceWrite(std::span(reply).subspan(18), 400);
    });
    const SearchResult r = serialSearch(serial, clock, kLinkSerial, errors);
    ASSERT_TRUE(r.ran);
    EXPECT_EQ(r.items, std::vector<std::string>{"TQL2408P"});
    EXPECT_EQ(r.statusText, "Connected - 1");
    EXPECT_EQ(r.selectedIndex, 0);
    EXPECT_EQ(r.found.entries[0].modelFlag, 1);
    EXPECT_EQ(r.found.entries[0].deviceType, 0x83);
    ASSERT_EQ(line->writtenBlocks().size(), 1u);
    EXPECT_EQ(line->writtenBlocks()[0][6], kLinkSerial);
}

TEST_F(SearchFixture, SerialReplyWithoutNamePatternIsFoundWithAnEmptyList) {
    ASSERT_TRUE(serial.open(test::kSerialName, 9600));
    line->setDeviceHandler([this](std::span<const uint8_t>) {
        line->deviceWrite(buildFrame(0x82, 1, kLinkSerial, 0xFF, {0, 'X', 'Y', 'Z'}));
    });
    const SearchResult r = serialSearch(serial, clock, kLinkSerial, errors);
    EXPECT_TRUE(r.items.empty());
    EXPECT_EQ(r.statusText, "Connected - 1");
}

TEST_F(SearchFixture, SerialSearchWithoutAnswerSelectsNothing) {
    ASSERT_TRUE(serial.open(test::kSerialName, 9600));
    const SearchResult r = serialSearch(serial, clock, kLinkSerial, errors);
    EXPECT_EQ(r.items, std::vector<std::string>{"No Device Found"});
    EXPECT_EQ(r.statusText, "No Device Connected");
    EXPECT_EQ(r.selectedIndex, -1);
}

// --- the exchange worker ---

TEST(ExchangeWorkerOrder, RequestsFromTwoThreadsNeverInterleaveAndKeepTheirPauses) {
    ManualClock clock;
    SimNetwork net;
    auto pc = net.host(kPc);
    RecordingErrors errors;
    UdpLink udp(*pc, errors);
    SimSerialPorts ports;
    CnComm serial(ports);
    DeviceLink link(udp, serial, clock);
    // Every datagram the device hears, with the time it arrived and whether a command socket was open
    // on the PC at that moment (an exchange owns the slot from its set-up to its close).
    std::vector<std::pair<int64_t, Bytes>> heard;
    std::mutex heardMutex;
    net.listen(kDevice, kControlPort, [&](std::span<const uint8_t> d, Ipv4Endpoint from) {
        std::lock_guard lock(heardMutex);
        heard.emplace_back(clock.steadyMs(), Bytes(d.begin(), d.end()));
        net.sendFrom({kDevice, kControlPort}, Bytes(d.begin(), d.end()), from);  // an echo as the answer
    });
    ExchangeWorker worker;
    const Target target{kLinkLan, entryAt(kDevice)};
    std::atomic<int> mismatches{0};
    auto requester = [&](uint8_t tag) {
        for (uint8_t i = 0; i < 50; ++i) {
            const Bytes frame = buildFrame(0xA1, 1, kLinkLan, 0x34, {tag, i});
            worker.post([&, frame] {
                // One request and its reply: nothing else may reach the socket in between.
                if (!link.sendAndKeepOpen(target, frame)) return;
                uint8_t buffer[64];
                int n = 0;
                while ((n = udp.receive(buffer)) <= 0) clock.sleepMs(1);
                if (Bytes(buffer, buffer + n) != frame) ++mismatches;
                udp.closeCommandSocket();
            });
        }
    };
    std::thread a(requester, 1), b(requester, 2);
    a.join();
    b.join();
    worker.waitIdle();
    EXPECT_EQ(mismatches.load(), 0);
    ASSERT_EQ(heard.size(), 100u);
    std::array<int, 3> nextOf{0, 0, 0};
    for (size_t i = 0; i < heard.size(); ++i) {
        const Bytes& f = heard[i].second;
        EXPECT_EQ(f[18], nextOf[f[17]]++) << "each thread's requests keep their order";
        if (i > 0) {
            EXPECT_GE(heard[i].first - heard[i - 1].first, 10) << "the 10 ms pause after each send";
        }
    }
}

}  // namespace protocol_links_test
}  // namespace kvx
