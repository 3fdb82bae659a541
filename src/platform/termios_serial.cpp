#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string_view>

#include "platform/line_speed.h"
#include "platform/system_platform.h"

namespace kvx {
namespace {

using Steady = std::chrono::steady_clock;

// Milliseconds from now until the deadline, at least 0; -1 (wait without end) when there is no deadline.
int msUntil(const std::optional<Steady::time_point>& deadline) {
    if (!deadline) return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Steady::now()).count();
    return static_cast<int>(std::max<int64_t>(left, 0));
}

std::optional<Steady::time_point> deadlineAfter(int64_t ms) {
    if (ms <= 0) return std::nullopt;
    return Steady::now() + std::chrono::milliseconds(ms);
}

// A termios port (or pty slave) opened non-blocking; the time-outs are carried out with poll().
class TermiosDevice : public SerialDevice {
public:
    TermiosDevice(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd) {}
    ~TermiosDevice() override {
        close();
        ::close(wakeFd_);
    }
    TermiosDevice(const TermiosDevice&) = delete;
    TermiosDevice& operator=(const TermiosDevice&) = delete;

    bool configure(int baud) override {
        termios settings{};
        if (baud <= 0 || fd_ < 0 || ::tcgetattr(fd_, &settings) != 0) return false;
        // Raw bytes: no echo, no line editing, no character translation and no XON/XOFF, which would swallow
        // 0x11 and 0x13 in binary frames. Hardware flow control stays as the driver has it.
        settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | INPCK);
        settings.c_oflag &= ~OPOST;
        settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB);
        settings.c_cflag |= CS8 | CLOCAL | CREAD;
        settings.c_cc[VMIN] = 0;
        settings.c_cc[VTIME] = 0;
        return ::tcsetattr(fd_, TCSANOW, &settings) == 0 && setLineSpeed(fd_, baud);
    }

    void setTimeouts(const SerialTimeouts& timeouts) override {
        std::lock_guard lock(timeoutsMutex_);
        timeouts_ = timeouts;
    }

    std::optional<size_t> inputCount() override {
        int count = 0;
        if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &count) != 0 || count < 0) return std::nullopt;
        return static_cast<size_t>(count);
    }

    bool purge() override { return fd_ >= 0 && ::tcflush(fd_, TCIOFLUSH) == 0; }
    // On a pty, flushing the output empties the other side's input: bytes already written would be lost.
    bool discardInput() override { return fd_ >= 0 && ::tcflush(fd_, TCIFLUSH) == 0; }

    size_t read(uint8_t* buffer, size_t n) override {
        const SerialTimeouts t = timeouts();
        const auto total =
            deadlineAfter(t.readTotalMs + static_cast<int64_t>(t.readPerByteMs) * static_cast<int64_t>(n));
        std::optional<Steady::time_point> gapEnd;  // set once the first byte has come
        size_t got = 0;
        while (got < n && fd_ >= 0) {
            const ssize_t r = ::read(fd_, buffer + got, n - got);
            if (r > 0) {
                got += static_cast<size_t>(r);
                gapEnd = deadlineAfter(t.readIntervalMs);
                continue;
            }
            if (r < 0 && errno == EINTR) continue;
            if (r == 0 || errno != EAGAIN) break;  // the line is gone
            int waitMs = msUntil(total);
            if (gapEnd) waitMs = waitMs < 0 ? msUntil(gapEnd) : std::min(waitMs, msUntil(gapEnd));
            if (waitMs == 0 || !waitFor(POLLIN, waitMs)) break;
        }
        return got;
    }

    std::optional<size_t> write(const uint8_t* bytes, size_t n) override {
        if (fd_ < 0) return std::nullopt;
        const SerialTimeouts t = timeouts();
        const auto total =
            deadlineAfter(t.writeTotalMs + static_cast<int64_t>(t.writePerByteMs) * static_cast<int64_t>(n));
        size_t done = 0;
        while (done < n) {
            const ssize_t w = ::write(fd_, bytes + done, n - done);
            if (w > 0) {
                done += static_cast<size_t>(w);
                continue;
            }
            if (w < 0 && errno == EINTR) continue;
            if (w < 0 && errno != EAGAIN) {
                if (done == 0) return std::nullopt;  // could not start: the port is gone
                break;
            }
            const int waitMs = msUntil(total);
            if (waitMs == 0 || !waitFor(POLLOUT, waitMs)) break;
        }
        return done;
    }

    bool waitForEvent(int timeoutMs) override {
        if (fd_ < 0) return false;
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        int ready;
        do {
            ready = ::poll(fds, 2, timeoutMs < 0 ? -1 : timeoutMs);
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) return false;
        if (fds[1].revents & POLLIN) {
            eventfd_t ignored;
            ::eventfd_read(wakeFd_, &ignored);
            return false;
        }
        return (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0;
    }

    // The wake-up stays pending until a wait takes it, so a cancel just before the wait starts is not lost.
    void cancelWait() override { ::eventfd_write(wakeFd_, 1); }

    void close() override {
        const int fd = fd_.exchange(-1);
        if (fd >= 0) {
            cancelWait();
            ::ioctl(fd, TIOCNXCL);  // the lock goes with the descriptor; the exclusive flag stays with the line
            ::close(fd);
        }
    }

private:
    SerialTimeouts timeouts() {
        std::lock_guard lock(timeoutsMutex_);
        return timeouts_;
    }

    // Waits until the port is ready for `events`; false on time-out or when the line reports an error.
    bool waitFor(short events, int timeoutMs) {
        pollfd fds{fd_, events, 0};
        int ready;
        do {
            ready = ::poll(&fds, 1, timeoutMs);
        } while (ready < 0 && errno == EINTR);
        return ready > 0 && (fds.revents & events) != 0;
    }

    std::atomic<int> fd_;
    const int wakeFd_;
    std::mutex timeoutsMutex_;
    SerialTimeouts timeouts_;
};

}  // namespace

// The port is the program's alone while it is open: the advisory lock that serial programs take and honour
// refuses a port that another holds, and the terminal's exclusive mode refuses any further open (except by
// root, which the lock still stops when it asks). A busy port does not open.
std::unique_ptr<SerialDevice> TermiosSerialPorts::open(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    const int wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (!::isatty(fd) || wakeFd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        if (wakeFd >= 0) ::close(wakeFd);
        return nullptr;
    }
    return std::make_unique<TermiosDevice>(fd, wakeFd);
}

std::vector<std::string> TermiosSerialPorts::list() {
    static constexpr std::string_view kPrefixes[] = {"ttyS", "ttyUSB", "ttyACM"};
    std::vector<std::string> ports;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/dev", error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        for (std::string_view prefix : kPrefixes) {
            if (name.size() > prefix.size() && name.starts_with(prefix)) ports.push_back(it->path().string());
        }
    }
    std::sort(ports.begin(), ports.end());
    return ports;
}

}  // namespace kvx
