#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/system_platform.h"
#include "protocol/cn_comm.h"

namespace kvx {
namespace protocol_cn_comm_test {

using Bytes = std::vector<uint8_t>;

// What the fake device should do wrong, chosen before the port is opened.
struct Faults {
    bool configure = false;
    bool purge = false;
    bool write = false;         // the write cannot start
    bool countUnknown = false;  // the device cannot say how many bytes wait
    bool ignoreCancel = false;  // an event wait that only ends when the test releases it
};

// The far end of one opened fake device: what the PC did to it, and the bytes the device sends back.
struct FakeLine {
    explicit FakeLine(Faults f) : faults(f) {}

    void deviceSends(const Bytes& bytes) {
        std::lock_guard lock(mutex);
        input.insert(input.end(), bytes.begin(), bytes.end());
        changed.notify_all();
    }
    void release() {
        std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    }
    // Waits (without a deadline that the test depends on) until the condition holds.
    bool waitFor(const std::function<bool()>& done) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), done);
    }
    size_t queued() {
        std::lock_guard lock(mutex);
        return input.size();
    }

    const Faults faults;
    std::mutex mutex;
    std::condition_variable changed;
    Bytes input;
    Bytes written;
    std::vector<int> bauds;
    std::vector<SerialTimeouts> timeouts;
    int purges = 0;
    int inputDiscards = 0;
    int closes = 0;
    int cancels = 0;
    int reads = 0;
    int writes = 0;
    int waits = 0;
    bool cancelPending = false;
    bool released = false;
    bool deviceDestroyed = false;
};

class FakeDevice : public SerialDevice {
public:
    explicit FakeDevice(std::shared_ptr<FakeLine> line) : line_(std::move(line)) {}
    ~FakeDevice() override {
        std::lock_guard lock(line_->mutex);
        line_->deviceDestroyed = true;
        line_->changed.notify_all();
    }

    bool configure(int baud) override {
        std::lock_guard lock(line_->mutex);
        line_->bauds.push_back(baud);
        return !line_->faults.configure;
    }
    void setTimeouts(const SerialTimeouts& timeouts) override {
        std::lock_guard lock(line_->mutex);
        line_->timeouts.push_back(timeouts);
    }
    std::optional<size_t> inputCount() override {
        std::lock_guard lock(line_->mutex);
        if (line_->faults.countUnknown) return std::nullopt;
        return line_->input.size();
    }
    bool purge() override {
        std::lock_guard lock(line_->mutex);
        ++line_->purges;
        line_->input.clear();
        return !line_->faults.purge;
    }
    bool discardInput() override {
        std::lock_guard lock(line_->mutex);
        ++line_->inputDiscards;
        line_->input.clear();
        return true;
    }
    size_t read(uint8_t* buffer, size_t n) override {
        std::lock_guard lock(line_->mutex);
        ++line_->reads;
        const size_t got = std::min(n, line_->input.size());
        std::copy_n(line_->input.begin(), got, buffer);
        line_->input.erase(line_->input.begin(), line_->input.begin() + static_cast<ptrdiff_t>(got));
        return got;
    }
    std::optional<size_t> write(const uint8_t* bytes, size_t n) override {
        std::lock_guard lock(line_->mutex);
        ++line_->writes;
        if (line_->faults.write) return std::nullopt;
        line_->written.insert(line_->written.end(), bytes, bytes + n);
        return n;
    }
    bool waitForEvent(int timeoutMs) override {
        std::unique_lock lock(line_->mutex);
        ++line_->waits;
        line_->changed.notify_all();
        if (line_->faults.ignoreCancel) {
            line_->changed.wait(lock, [&] { return line_->released; });
            return false;
        }
        line_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [&] { return !line_->input.empty() || line_->cancelPending; });
        line_->cancelPending = false;
        return !line_->input.empty();
    }
    void cancelWait() override {
        std::lock_guard lock(line_->mutex);
        ++line_->cancels;
        line_->cancelPending = true;
        line_->changed.notify_all();
    }
    void close() override {
        std::lock_guard lock(line_->mutex);
        ++line_->closes;
    }

private:
    std::shared_ptr<FakeLine> line_;
};

// Every open() makes a new line, so a reopen can be told apart from the first open.
class FakePorts : public SerialPorts {
public:
    std::unique_ptr<SerialDevice> open(const std::string& name) override {
        opened.push_back(name);
        if (refuse) return nullptr;
        lines.push_back(std::make_shared<FakeLine>(nextFaults));
        return std::make_unique<FakeDevice>(lines.back());
    }
    std::vector<std::string> list() override { return {}; }

    std::vector<std::string> opened;
    std::vector<std::shared_ptr<FakeLine>> lines;
    Faults nextFaults;
    bool refuse = false;
};

// A status request frame as the senders write it.
const Bytes kRequest = {0xA5, 0x6C, 0x15, 0x00, 0xA1, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                        0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x00, 0xC3, 0x01, 0xAE};

class CnCommTest : public ::testing::Test {
protected:
    FakeLine& line(size_t i = 0) { return *ports.lines.at(i); }
    // Waits until the monitor thread has dispatched `more` further events.
    bool monitorSees(uint32_t more) {
        const uint32_t target = comm.eventsSeen() + more;
        for (int i = 0; i < 10000 && comm.eventsSeen() < target; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return comm.eventsSeen() >= target;
    }

    FakePorts ports;
    CnComm comm{ports};
};

TEST_F(CnCommTest, StartsClosedWithOptions3AndTheFullEventMask) {
    EXPECT_FALSE(comm.isOpen());
    EXPECT_EQ(comm.options(), 3u);
    EXPECT_EQ(comm.eventMask(), 0x1FDu);
    EXPECT_EQ(comm.bytesRead(), 0u);
    EXPECT_EQ(comm.bytesWritten(), 0u);
    EXPECT_FALSE(comm.monitorRunning());
    EXPECT_EQ(comm.inputCount(), std::nullopt);
}

// Characters are counted, not bytes: "é" is two bytes of UTF-8 and one character.
TEST_F(CnCommTest, NamesOf63CharactersOrMoreFailWithoutTouchingThePort) {
    struct Case {
        size_t length;  // in characters
        std::string character;
        bool reachesDevice;
    };
    for (const Case& c : {Case{62, "x", true}, Case{63, "x", false}, Case{64, "x", false},
                          Case{200, "x", false}, Case{62, "\xC3\xA9", true}, Case{63, "\xC3\xA9", false}}) {
        std::string name = "/dev/";
        for (size_t i = 5; i < c.length; ++i) name += c.character;
        const size_t before = ports.opened.size();
        EXPECT_EQ(comm.open(name, 9600), c.reachesDevice) << c.length << " " << c.character;
        EXPECT_EQ(ports.opened.size() - before, c.reachesDevice ? 1u : 0u) << c.length << " " << c.character;
        EXPECT_EQ(comm.isOpen(), c.reachesDevice) << c.length << " " << c.character;
        comm.close();
    }
}

TEST_F(CnCommTest, OpenSetsLineTimeoutsPurgesAndStartsTheMonitor) {
    ASSERT_TRUE(comm.open("/dev/ttyS0", 115200));
    EXPECT_TRUE(comm.isOpen());
    EXPECT_TRUE(comm.monitorRunning());
    EXPECT_EQ(comm.portName(), "/dev/ttyS0");
    EXPECT_EQ(comm.baud(), 115200);
    EXPECT_EQ(comm.eventMask(), 0x1FDu);
    EXPECT_EQ(ports.opened, std::vector<std::string>{"/dev/ttyS0"});
    std::lock_guard lock(line().mutex);
    EXPECT_EQ(line().bauds, std::vector<int>{115200});
    ASSERT_EQ(line().timeouts.size(), 1u);
    const SerialTimeouts& t = line().timeouts[0];
    EXPECT_EQ(t.readIntervalMs, 100);
    EXPECT_EQ(t.readPerByteMs, 0);
    EXPECT_EQ(t.readTotalMs, 500);
    EXPECT_EQ(t.writePerByteMs, 1);
    EXPECT_EQ(t.writeTotalMs, 10000);
    EXPECT_EQ(line().purges, 1);
    EXPECT_EQ(line().closes, 0);
}

TEST_F(CnCommTest, FailedOpenLeavesThePortClosedAndTheDeviceReleased) {
    struct Case {
        const char* name;
        bool refuse;
        Faults faults;
    };
    const Case cases[] = {{"no such device", true, {}},
                          {"line settings refused", false, {.configure = true}},
                          {"purge refused", false, {.purge = true}}};
    for (const Case& c : cases) {
        FakePorts failing;
        failing.refuse = c.refuse;
        failing.nextFaults = c.faults;
        CnComm port(failing);
        EXPECT_FALSE(port.open("/dev/ttyUSB0", 9600)) << c.name;
        EXPECT_FALSE(port.isOpen()) << c.name;
        EXPECT_FALSE(port.monitorRunning()) << c.name;
        EXPECT_EQ(port.portName(), "/dev/ttyUSB0") << c.name;
        EXPECT_EQ(port.write(kRequest.data(), kRequest.size()), 0u) << c.name;
        if (!c.refuse) {
            std::lock_guard lock(failing.lines[0]->mutex);
            EXPECT_EQ(failing.lines[0]->closes, 1) << c.name;
            EXPECT_TRUE(failing.lines[0]->written.empty()) << c.name;
        }
    }
}

TEST_F(CnCommTest, ReopenClosesFirstAndOpensWithTheNewBaudRate) {
    ASSERT_TRUE(comm.open("/dev/ttyS0", 9600));
    ASSERT_TRUE(comm.open("/dev/ttyS1", 115200));
    ASSERT_EQ(ports.lines.size(), 2u);
    {
        std::lock_guard lock(line(0).mutex);
        EXPECT_EQ(line(0).cancels, 1);
        EXPECT_EQ(line(0).purges, 1);         // at open
        EXPECT_EQ(line(0).inputDiscards, 1);  // at close
        EXPECT_EQ(line(0).closes, 1);
    }
    {
        std::lock_guard lock(line(1).mutex);
        EXPECT_EQ(line(1).bauds, std::vector<int>{115200});
        EXPECT_EQ(line(1).closes, 0);
    }
    EXPECT_EQ(comm.portName(), "/dev/ttyS1");
    EXPECT_EQ(comm.baud(), 115200);
    EXPECT_TRUE(comm.monitorRunning());
    EXPECT_EQ(comm.eventMask(), 0x1FDu);
    EXPECT_EQ(comm.write(kRequest.data(), kRequest.size()), kRequest.size());
    std::lock_guard lock(line(1).mutex);
    EXPECT_EQ(line(1).written, kRequest);
}

TEST_F(CnCommTest, ClosedPortReadsWritesAndDrainsNothing) {
    uint8_t buffer[8] = {};
    EXPECT_EQ(comm.write(kRequest.data(), kRequest.size()), 0u);
    EXPECT_EQ(comm.read(buffer, sizeof buffer), 0u);
    comm.drain();
    EXPECT_EQ(comm.bytesWritten(), 0u);
    EXPECT_EQ(comm.bytesRead(), 0u);
    EXPECT_TRUE(ports.opened.empty());
}

TEST_F(CnCommTest, ZeroLengthAndUnstartableWritesReturnZero) {
    ports.nextFaults.write = true;
    ASSERT_TRUE(comm.open("/dev/ttyS0", 9600));
    line().deviceSends({0x55});
    uint8_t byte = 0;
    EXPECT_EQ(comm.read(&byte, 0), 0u);
    EXPECT_EQ(comm.write(kRequest.data(), 0), 0u);
    {
        std::lock_guard lock(line().mutex);
        EXPECT_EQ(line().reads, 0);
        EXPECT_EQ(line().writes, 0);
    }
    EXPECT_EQ(comm.write(kRequest.data(), kRequest.size()), 0u);
    EXPECT_EQ(comm.bytesWritten(), 0u);
    EXPECT_EQ(comm.bytesRead(), 0u);
    std::lock_guard lock(line().mutex);
    EXPECT_EQ(line().writes, 1);
}

TEST_F(CnCommTest, AnswerStaysQueuedWhileTheMonitorRunsUntilDrained) {
    ASSERT_TRUE(comm.open("/dev/ttyS0", 115200));
    ASSERT_EQ(comm.write(kRequest.data(), kRequest.size()), kRequest.size());
    const Bytes answer = {0xA5, 0x6C, 0x16, 0x00, 0xA1, 0x01, 0x00};
    line().deviceSends(answer);
    ASSERT_TRUE(monitorSees(5));
    EXPECT_EQ(comm.inputCount(), answer.size());
    {
        std::lock_guard lock(line().mutex);
        EXPECT_EQ(line().reads, 0);
    }
    comm.drain();
    EXPECT_EQ(comm.inputCount(), 0u);
    EXPECT_EQ(comm.bytesRead(), answer.size());
    EXPECT_EQ(comm.bytesWritten(), kRequest.size());
}

TEST_F(CnCommTest, ReadTakesQueuedBytesInOrderAndCountsThem) {
    ASSERT_TRUE(comm.open("/dev/ttyS0", 9600));
    line().deviceSends({1, 2, 3, 4, 5});
    uint8_t buffer[3] = {};
    ASSERT_EQ(comm.read(buffer, 3), 3u);
    EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{1, 2, 3}));
    ASSERT_EQ(comm.read(buffer, 3), 2u);
    EXPECT_EQ(Bytes(buffer, buffer + 2), (Bytes{4, 5}));
    EXPECT_EQ(comm.bytesRead(), 5u);
    EXPECT_EQ(comm.write(kRequest.data(), 4), 4u);
    EXPECT_EQ(comm.write(kRequest.data(), kRequest.size()), kRequest.size());
    EXPECT_EQ(comm.bytesWritten(), 4u + kRequest.size());
}

TEST_F(CnCommTest, DrainDoesNotReadWhenNothingWaitsOrTheCountIsUnknown) {
    for (bool unknown : {false, true}) {
        FakePorts fakes;
        fakes.nextFaults.countUnknown = unknown;
        CnComm port(fakes);
        ASSERT_TRUE(port.open("/dev/ttyS0", 9600));
        port.drain();
        EXPECT_EQ(port.inputCount(), unknown ? std::nullopt : std::optional<size_t>(0));
        std::lock_guard lock(fakes.lines[0]->mutex);
        EXPECT_EQ(fakes.lines[0]->reads, 0) << unknown;
    }
}

TEST_F(CnCommTest, MonitorCountsAnUnknownInputCountAsDataReceivedWithoutReading) {
    ports.nextFaults.countUnknown = true;
    ASSERT_TRUE(comm.open("/dev/ttyS0", 9600));
    ASSERT_TRUE(monitorSees(3));
    std::lock_guard lock(line().mutex);
    EXPECT_EQ(line().reads, 0);
    EXPECT_EQ(line().waits, 0);  // never waits while the count cannot be had
}

TEST_F(CnCommTest, CloseStopsTheMonitorAndReleasesThePortOnce) {
    ASSERT_TRUE(comm.open("/dev/ttyS0", 9600));
    ASSERT_TRUE(line().waitFor([&] { return line().waits > 0; }));  // the monitor is inside a wait
    comm.close();
    EXPECT_FALSE(comm.isOpen());
    EXPECT_FALSE(comm.monitorRunning());
    EXPECT_EQ(comm.eventMask(), 0u);
    EXPECT_EQ(comm.inputCount(), std::nullopt);
    comm.close();
    std::lock_guard lock(line().mutex);
    EXPECT_EQ(line().cancels, 1);
    EXPECT_EQ(line().purges, 1);
    EXPECT_EQ(line().inputDiscards, 1);
    EXPECT_EQ(line().closes, 1);
}

TEST_F(CnCommTest, CloseOnANeverOpenedPortDoesNothing) {
    comm.close();
    EXPECT_FALSE(comm.isOpen());
    EXPECT_EQ(comm.eventMask(), 0x1FDu);
    EXPECT_TRUE(ports.opened.empty());
}

TEST_F(CnCommTest, DestructionClosesThePort) {
    FakePorts fakes;
    {
        CnComm port(fakes);
        ASSERT_TRUE(port.open("/dev/ttyS0", 9600));
    }
    std::lock_guard lock(fakes.lines[0]->mutex);
    EXPECT_EQ(fakes.lines[0]->closes, 1);
}

TEST_F(CnCommTest, AMonitorThatDoesNotEndIsLeftBehindSafely) {
    FakePorts fakes;
    fakes.nextFaults.ignoreCancel = true;
    auto port = std::make_unique<CnComm>(fakes);
    ASSERT_TRUE(port->open("/dev/ttyS0", 9600));
    FakeLine& stuck = *fakes.lines[0];
    ASSERT_TRUE(stuck.waitFor([&] { return stuck.waits > 0; }));
    port->close(1);
    EXPECT_FALSE(port->isOpen());
    {
        std::lock_guard lock(stuck.mutex);
        EXPECT_EQ(stuck.closes, 1);
        EXPECT_FALSE(stuck.deviceDestroyed);  // the left thread still holds it
    }
    port.reset();
    // The thread wakes after its owner is gone; it must end without touching the freed object.
    stuck.release();
    EXPECT_TRUE(stuck.waitFor([&] { return stuck.deviceDestroyed; }));
    std::lock_guard lock(stuck.mutex);
    EXPECT_EQ(stuck.waits, 1);
}

// A pseudo-terminal's slave stands in for a real serial port; the test plays the device on the master.
class CnCommOverPty : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(::grantpt(master_), 0);
        ASSERT_EQ(::unlockpt(master_), 0);
        slaveName_ = ::ptsname(master_);
    }
    void TearDown() override {
        comm_.close();
        if (master_ >= 0) ::close(master_);
    }
    void deviceSends(const Bytes& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    Bytes deviceReceives(size_t n) {
        Bytes got(n);
        size_t done = 0;
        pollfd fds{master_, POLLIN, 0};
        while (done<n&& ::poll(&fds, 1, 10000)> 0) {
            const ssize_t r = ::read(master_, got.data() + done, n - done);
            if (r <= 0) break;
            done += static_cast<size_t>(r);
        }
        got.resize(done);
        return got;
    }
    bool portHolds(size_t n) {
        for (int i = 0; i < 10000 && comm_.inputCount() != n; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return comm_.inputCount() == n;
    }
    bool monitorSees(uint32_t more) {
        const uint32_t target = comm_.eventsSeen() + more;
        for (int i = 0; i < 10000 && comm_.eventsSeen() < target; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return comm_.eventsSeen() >= target;
    }

    int master_ = -1;
    std::string slaveName_;
    TermiosSerialPorts ports_;
    CnComm comm_{ports_};
};

TEST_F(CnCommOverPty, RequestGoesOutAndTheAnswerWaitsForTheReader) {
    ASSERT_TRUE(comm_.open(slaveName_, 115200));
    ASSERT_EQ(comm_.write(kRequest.data(), kRequest.size()), kRequest.size());
    EXPECT_EQ(deviceReceives(kRequest.size()), kRequest);

    const Bytes answer = {0xA5, 0x6C, 0x16, 0x00, 0xA1, 0x01, 0x00, 0x11, 0x13};
    deviceSends(answer);
    ASSERT_TRUE(portHolds(answer.size()));
    ASSERT_TRUE(monitorSees(5));
    EXPECT_EQ(comm_.inputCount(), answer.size());
    Bytes got(answer.size());
    ASSERT_EQ(comm_.read(got.data(), got.size()), answer.size());
    EXPECT_EQ(got, answer);
    EXPECT_EQ(comm_.bytesRead(), answer.size());
}

TEST_F(CnCommOverPty, DrainDiscardsWhatTheDeviceSentBeforeTheNextRequest) {
    ASSERT_TRUE(comm_.open(slaveName_, 9600));
    const Bytes stale = {0x5A, 0x01, 0x02, 0x03};
    deviceSends(stale);
    ASSERT_TRUE(portHolds(stale.size()));
    comm_.drain();
    EXPECT_EQ(comm_.inputCount(), 0u);
    EXPECT_EQ(comm_.bytesRead(), stale.size());
    comm_.close();
    EXPECT_FALSE(comm_.isOpen());
    EXPECT_EQ(comm_.write(kRequest.data(), kRequest.size()), 0u);
}

// A program that writes its last request and closes the port at once (korvelux-ctl does) must not lose it:
// closing discards what came in, never what went out. On a pty the written bytes can still be on their way
// to the other side when the port closes, so the close is tried many times.
TEST_F(CnCommOverPty, CloseRightAfterAWriteStillDeliversIt) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        ASSERT_TRUE(comm_.open(slaveName_, 9600));
        deviceSends({0x5A, 0x01});
        ASSERT_TRUE(portHolds(2));
        ASSERT_EQ(comm_.write(kRequest.data(), kRequest.size()), kRequest.size());
        comm_.close();
        ASSERT_EQ(deviceReceives(kRequest.size()), kRequest) << "attempt " << attempt;
    }
}

}  // namespace protocol_cn_comm_test
}  // namespace kvx
