// The status read-back when its line misbehaves: over the simulated serial line a reply that comes too late
// for its own read-back and is cut in two by the next one's drain, and over a pseudo-terminal a line that
// goes away in the middle of the reply and comes back under the same name. A read-back never takes a reply
// made of two, never hangs, and the next one on a line that works takes the device's reply.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "multiviewer/status_encode.h"
#include "multiviewer/status_readback.h"
#include "platform/system_platform.h"
#include "unit/support/pc_links.h"

namespace kvx {
namespace multiviewer_readback_faults_test {

StatusBlock blockWithLayout(uint8_t layout) {
    MultiviewerState device;
    device.LayoutMode = layout;
    device.DeviceName = u"MV-16";
    return encodeStatusBlock(device);
}

// The 809-byte serial status reply carrying a block.
Bytes serialReply(const StatusBlock& block) {
    Bytes payload{0x00};
    payload.insert(payload.end(), block.begin(), block.end());
    Bytes reply = buildFrame(kTypeMultiviewer, 0x01, kLinkSerial, 0x0A, payload);
    reply.resize(809);
    return reply;
}

DeviceEntry multiviewerEntry() {
    DeviceEntry entry;
    entry.deviceType = kTypeMultiviewer;
    entry.subCode = 0x01;
    return entry;
}

class SerialReadbackFaults : public ::testing::Test, protected test::PcLinks {};

// The first reply comes in two halves: the first within its read-back's window, too little to take, the
// second after it. The next read-back drains the first half, and the second half then arrives before the
// next reply: what it takes is the next reply whole.
TEST_F(SerialReadbackFaults, AReplyCutInTwoByTheNextReadBacksDrainIsNeverTakenAsPartOfTheNext) {
    const Bytes first = serialReply(blockWithLayout(90));
    const Bytes second = serialReply(blockWithLayout(40));
    int request = 0;
    line->setDeviceHandler([&](std::span<const uint8_t>) {
        if (request++ == 0) {
            line->deviceWrite(std::span(first).first(404), 1900);
            line->deviceWrite(std::span(first).subspan(404), 2600);
        } else {
            line->deviceWrite(second);  // behind the first one's second half on the wire
        }
    });
    ASSERT_TRUE(serial.open(test::kSerialName, 9600));
    const Target target{kLinkSerial, multiviewerEntry()};

    EXPECT_EQ(readStatusBlock(link, target).outcome, ReadbackOutcome::NoReply);
    const StatusReadback next = readStatusBlock(link, target);
    ASSERT_EQ(next.outcome, ReadbackOutcome::Block);
    EXPECT_EQ(*next.block, blockWithLayout(40));
    EXPECT_EQ(request, 2);
}

// A pseudo-terminal whose name is a link that the test points at a new one, as a serial adapter that is
// unplugged and plugged in again comes back under its name. The test plays the device on the master side.
class PtyLine {
public:
    PtyLine() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        slave_ = ::ptsname(master_);
    }
    ~PtyLine() { goAway(); }
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    bool ok() const { return !slave_.empty(); }
    const std::string& slave() const { return slave_; }
    // Reads one request of n bytes; false when none came within the time.
    bool receive(size_t n, int timeoutMs = 5000) {
        size_t got = 0;
        pollfd fds{master_, POLLIN, 0};
        uint8_t byte;
        while (got<n&& ::poll(&fds, 1, timeoutMs)> 0 && ::read(master_, &byte, 1) == 1) ++got;
        return got == n;
    }
    bool send(std::span<const uint8_t> bytes) {
        return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    void goAway() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slave_;
};

class PtyReadbackFaults : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("kvx-line-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        name_ = (dir_ / "ttyKVX0").string();
    }
    void TearDown() override {
        serial_.close();
        std::filesystem::remove_all(dir_);
    }
    void pointNameAt(const PtyLine& pty) {
        std::filesystem::remove(name_);
        std::filesystem::create_symlink(pty.slave(), name_);
    }

    std::filesystem::path dir_;
    std::string name_;
    SystemClock clock_;
    TermiosSerialPorts ports_;
    test::RecordingErrors errors_;
    std::shared_ptr<Network> network_ = SimNetwork().host(test::kPcAddress);
    UdpLink udp_{*network_, errors_};
    CnComm serial_{ports_};
    DeviceLink link_{udp_, serial_, clock_};
    const Target target_{kLinkSerial, multiviewerEntry()};
};

TEST_F(PtyReadbackFaults, ALineGoneInTheMiddleOfTheReplyEndsTheReadBackAndTheLineBackUnderItsNameWorks) {
    const Bytes reply = serialReply(blockWithLayout(90));
    auto pty = std::make_unique<PtyLine>();
    ASSERT_TRUE(pty->ok());
    pointNameAt(*pty);
    ASSERT_TRUE(serial_.open(name_, 115200));
    std::thread device([&] {
        if (!pty->receive(20)) return;
        pty->send(std::span(reply).first(300));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty->goAway();
    });
    const auto started = std::chrono::steady_clock::now();
    const StatusReadback cut = readStatusBlock(link_, target_);
    const auto took = std::chrono::steady_clock::now() - started;
    device.join();
    EXPECT_NE(cut.outcome, ReadbackOutcome::Block);
    EXPECT_LT(took, std::chrono::seconds(10)) << "the read-back ends with its window, line or no line";

    // On the dead line the port object neither spins nor blocks: its monitor pauses between events.
    const uint32_t seen = serial_.eventsSeen();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LE(serial_.eventsSeen() - seen, 60u);

    // The line comes back under its name; opened again, the port reads the device's reply.
    auto back = std::make_unique<PtyLine>();
    ASSERT_TRUE(back->ok());
    pointNameAt(*back);
    ASSERT_TRUE(serial_.open(name_, 115200));
    std::thread answering([&] {
        if (back->receive(20)) back->send(serialReply(blockWithLayout(40)));
    });
    const StatusReadback again = readStatusBlock(link_, target_);
    answering.join();
    ASSERT_EQ(again.outcome, ReadbackOutcome::Block);
    EXPECT_EQ(*again.block, blockWithLayout(40));
}

}  // namespace multiviewer_readback_faults_test
}  // namespace kvx
