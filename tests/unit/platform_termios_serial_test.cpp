// The kernel's terminal record (termios2) tells a line's speed as a number; <termios.h> is not included here.
#include <asm/termbits.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

#include "platform/system_platform.h"

namespace kvx {
namespace platform_termios_serial_test {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// A pseudo terminal: the test plays the device on the master side, the port under test opens the slave.
class TermiosPtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(grantpt(master_), 0);
        ASSERT_EQ(unlockpt(master_), 0);
        slaveName_ = ptsname(master_);
        port_ = ports_.open(slaveName_);
        ASSERT_TRUE(port_);
        ASSERT_TRUE(port_->configure(115200));
    }
    void TearDown() override {
        port_.reset();
        if (master_ >= 0) ::close(master_);
    }

    void deviceSends(const Bytes& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Bytes that the port wrote, as seen on the master, gathered for a bounded while.
    Bytes deviceReceives(size_t expected) {
        Bytes got;
        for (int i = 0; i < 200 && got.size() < expected; ++i) {
            pollfd fds{master_, POLLIN, 0};
            if (::poll(&fds, 1, 10) <= 0) continue;
            uint8_t chunk[256];
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n > 0) got.insert(got.end(), chunk, chunk + n);
        }
        return got;
    }

    // The pty hands written bytes to the slave's queue a little later; wait (bounded) until they are counted.
    std::optional<size_t> inputCountReaching(size_t expected) {
        std::optional<size_t> count;
        for (int i = 0; i < 200; ++i) {
            count = port_->inputCount();
            if (count && *count >= expected) break;
            std::this_thread::sleep_for(10ms);
        }
        return count;
    }

    TermiosSerialPorts ports_;
    int master_ = -1;
    std::string slaveName_;
    std::unique_ptr<SerialDevice> port_;
};

TEST(TermiosSerialPorts, MissingDeviceDoesNotOpen) {
    TermiosSerialPorts ports;
    EXPECT_EQ(ports.open("/dev/ttyKVX-does-not-exist"), nullptr);
}

TEST(TermiosSerialPorts, RegularFileIsNotAPort) {
    TermiosSerialPorts ports;
    char path[] = "/tmp/kvx-not-a-port-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ports.open(path), nullptr);
    ::close(fd);
    ::unlink(path);
}

TEST(TermiosSerialPorts, ListHoldsOnlySerialDevicesInNameOrder) {
    TermiosSerialPorts ports;
    const auto names = ports.list();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    for (const auto& name : names) {
        const bool serial = name.starts_with("/dev/ttyS") || name.starts_with("/dev/ttyUSB") ||
                            name.starts_with("/dev/ttyACM");
        EXPECT_TRUE(serial) << name;
    }
}

// Any rate the line runs at opens, the standard ones and others; the line then runs at that rate.
TEST_F(TermiosPtyTest, ConfigureAcceptsAnyRateTheLineRunsAt) {
    for (int baud : {9600, 19200, 38400, 57600, 115200, 2400, 230400, 14400, 12345, 115201, 250000}) {
        EXPECT_TRUE(port_->configure(baud)) << baud;
        termios2 line{};
        ASSERT_EQ(::ioctl(master_, TCGETS2, &line), 0);  // the master tells the settings of its terminal
        EXPECT_EQ(line.c_ospeed, static_cast<speed_t>(baud));
        EXPECT_EQ(line.c_ispeed, static_cast<speed_t>(baud));
    }
    for (int baud : {0, -9600}) EXPECT_FALSE(port_->configure(baud)) << baud;
}

// The port is not shared: no second opener takes it while it is open, and it opens again once closed.
TEST_F(TermiosPtyTest, AnOpenPortIsNotShared) {
    EXPECT_EQ(ports_.open(slaveName_), nullptr) << "a second open through the same means";
    // A plain open: refused outright by the exclusive mode, except to root, who is told the mode is on.
    const int other = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (other < 0) {
        EXPECT_EQ(errno, EBUSY);
    } else {
        int exclusive = 0;
        EXPECT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 1);
        EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0) << "the lock that serial programs ask for is taken";
        ::close(other);
    }
    port_.reset();
    port_ = ports_.open(slaveName_);
    EXPECT_NE(port_, nullptr);
}

// A port that another program holds, with the lock serial programs take, is busy: it does not open.
TEST_F(TermiosPtyTest, APortHeldByAnotherProgramDoesNotOpen) {
    port_.reset();
    const int other = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(ports_.open(slaveName_), nullptr);
    int exclusive = 1;
    EXPECT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "the refused open leaves the other program's line as it was";
    ::close(other);
    EXPECT_NE(ports_.open(slaveName_), nullptr);
}

TEST_F(TermiosPtyTest, BytesFromTheDeviceAreCountedAndReadUnchanged) {
    // Bytes a cooked terminal would change or swallow: XON/XOFF, CR, LF, Ctrl-C, DEL, 0xFF.
    const Bytes frame{0xA5, 0x6C, 0x11, 0x13, 0x0D, 0x0A, 0x03, 0x7F, 0xFF, 0x00, 0xAE};
    deviceSends(frame);
    EXPECT_EQ(inputCountReaching(frame.size()), frame.size());
    Bytes buffer(frame.size());
    ASSERT_EQ(port_->read(buffer.data(), buffer.size()), frame.size());
    EXPECT_EQ(buffer, frame);
    EXPECT_EQ(port_->inputCount(), 0u);
}

TEST_F(TermiosPtyTest, WrittenBlockReachesTheDeviceUnchanged) {
    const Bytes frame{0xA5, 0x6C, 0x14, 0x00, 0x0A, 0x0D, 0x11, 0x13, 0xAE};
    EXPECT_EQ(port_->write(frame.data(), frame.size()), frame.size());
    EXPECT_EQ(deviceReceives(frame.size()), frame);
}

TEST_F(TermiosPtyTest, PurgeDiscardsWaitingInput) {
    deviceSends({1, 2, 3, 4, 5});
    ASSERT_EQ(inputCountReaching(5), 5u);
    EXPECT_TRUE(port_->purge());
    EXPECT_EQ(port_->inputCount(), 0u);
    deviceSends({6});
    ASSERT_EQ(inputCountReaching(1), 1u);
    uint8_t byte = 0;
    EXPECT_EQ(port_->read(&byte, 1), 1u);
    EXPECT_EQ(byte, 6);
}

TEST_F(TermiosPtyTest, ReadReturnsWhatCameWhenTheTimeOutEnds) {
    port_->setTimeouts({.readIntervalMs = 50, .readPerByteMs = 0, .readTotalMs = 200});
    deviceSends({0xA5, 0x6C, 0x14});
    Bytes buffer(20, 0);
    size_t got = port_->read(buffer.data(), buffer.size());
    // The pty may hand the bytes over in more than one piece; each read takes what came before its time-out.
    for (int i = 0; i < 20 && got < 3; ++i) got += port_->read(buffer.data() + got, buffer.size() - got);
    ASSERT_EQ(got, 3u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), (Bytes{0xA5, 0x6C, 0x14}));
}

TEST_F(TermiosPtyTest, ReadWithNothingComingReturnsNothing) {
    port_->setTimeouts({.readIntervalMs = 10, .readPerByteMs = 0, .readTotalMs = 30});
    uint8_t buffer[4];
    EXPECT_EQ(port_->read(buffer, sizeof buffer), 0u);
}

TEST_F(TermiosPtyTest, WaitForEventWakesOnInput) {
    auto waiting = std::async(std::launch::async, [this] { return port_->waitForEvent(60000); });
    deviceSends({0x55});
    ASSERT_EQ(waiting.wait_for(20s), std::future_status::ready);
    EXPECT_TRUE(waiting.get());
}

TEST_F(TermiosPtyTest, WaitForEventEndsOnCancelWithoutAnEvent) {
    auto waiting = std::async(std::launch::async, [this] { return port_->waitForEvent(60000); });
    port_->cancelWait();
    ASSERT_EQ(waiting.wait_for(20s), std::future_status::ready);
    EXPECT_FALSE(waiting.get());
    // The cancel was taken by that wait; with input waiting, the next wait reports it.
    deviceSends({1});
    EXPECT_TRUE(port_->waitForEvent(20000));
}

TEST_F(TermiosPtyTest, ClosedPortRefusesIo) {
    port_->close();
    const uint8_t byte = 1;
    uint8_t buffer[1];
    EXPECT_EQ(port_->write(&byte, 1), std::nullopt);
    EXPECT_EQ(port_->read(buffer, 1), 0u);
    EXPECT_EQ(port_->inputCount(), std::nullopt);
    EXPECT_FALSE(port_->purge());
    EXPECT_FALSE(port_->configure(9600));
    EXPECT_FALSE(port_->waitForEvent(0));
}

TEST_F(TermiosPtyTest, WriteCannotStartOnceTheLineIsGone) {
    ::close(master_);
    master_ = -1;
    const uint8_t byte = 1;
    EXPECT_EQ(port_->write(&byte, 1), std::nullopt);
}

}  // namespace platform_termios_serial_test
}  // namespace kvx
