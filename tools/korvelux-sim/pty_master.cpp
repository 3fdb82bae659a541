#include "pty_master.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace kvx {

namespace {
void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

bool makeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return false;
    ::cfmakeraw(&settings);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}
}  // namespace

std::unique_ptr<PtyMaster> PtyMaster::open() {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) return nullptr;
    const char* name = nullptr;
    int slave = -1;
    int wake[2] = {-1, -1};
    if (::grantpt(master) == 0 && ::unlockpt(master) == 0 && (name = ::ptsname(master)) != nullptr &&
        (slave = ::open(name, O_RDWR | O_NOCTTY)) >= 0 && makeRaw(slave) && ::pipe(wake) == 0) {
        ::fcntl(wake[0], F_SETFL, O_NONBLOCK);
        ::fcntl(wake[1], F_SETFL, O_NONBLOCK);
        return std::unique_ptr<PtyMaster>(new PtyMaster(master, slave, wake[0], wake[1], name));
    }
    closeFd(slave);
    closeFd(master);
    return nullptr;
}

PtyMaster::PtyMaster(int master, int slave, int wakeRead, int wakeWrite, std::string slavePath)
    : master_(master),
      slave_(slave),
      wakeRead_(wakeRead),
      wakeWrite_(wakeWrite),
      slavePath_(std::move(slavePath)) {}

PtyMaster::~PtyMaster() {
    close();
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
}

// A pty carries bytes at any speed.
bool PtyMaster::configure(int) {
    return master_ >= 0;
}

std::optional<size_t> PtyMaster::inputCount() {
    int count = 0;
    if (master_ < 0 || ::ioctl(master_, FIONREAD, &count) != 0) return std::nullopt;
    return static_cast<size_t>(count);
}

bool PtyMaster::purge() {
    return master_ >= 0 && ::tcflush(slave_, TCIOFLUSH) == 0;
}

// The device's input is what the program on the other end wrote, waiting on the master side.
bool PtyMaster::discardInput() {
    return master_ >= 0 && ::tcflush(master_, TCIFLUSH) == 0;
}

size_t PtyMaster::read(uint8_t* buffer, size_t n) {
    if (master_ < 0 || n == 0) return 0;
    pollfd ready{master_, POLLIN, 0};
    if (::poll(&ready, 1, timeouts_.readTotalMs) <= 0 || !(ready.revents & POLLIN)) return 0;
    const ssize_t got = ::read(master_, buffer, n);
    return got > 0 ? static_cast<size_t>(got) : 0;
}

std::optional<size_t> PtyMaster::write(const uint8_t* bytes, size_t n) {
    if (master_ < 0) return std::nullopt;
    size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(master_, bytes + done, n - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) break;
        done += static_cast<size_t>(put);
    }
    return done;
}

bool PtyMaster::waitForEvent(int timeoutMs) {
    if (master_ < 0) return false;
    pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0) return false;
    if (fds[1].revents & POLLIN) {
        uint8_t drained[16];
        while (::read(wakeRead_, drained, sizeof drained) > 0) {
        }
        return false;
    }
    return (fds[0].revents & POLLIN) != 0;
}

void PtyMaster::cancelWait() {
    const uint8_t wake = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakeWrite_, &wake, 1);
}

void PtyMaster::close() {
    closeFd(slave_);
    closeFd(master_);
}

}  // namespace kvx
