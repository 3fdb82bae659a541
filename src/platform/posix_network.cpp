#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system_platform.h"

namespace kvx {
namespace {

sockaddr_in toSockaddr(Ipv4Endpoint endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(endpoint.address);
    address.sin_port = htons(endpoint.port);
    return address;
}

// A BSD datagram socket; the descriptor is closed by close() or at destruction. Waits poll the socket
// together with an event descriptor that interruptWait() makes readable for good; that one lives as long as
// the object, so an interrupt never meets a closed (or reused) descriptor.
class PosixUdpSocket : public UdpSocket {
public:
    PosixUdpSocket(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd) {}
    ~PosixUdpSocket() override {
        close();
        ::close(wakeFd_);
    }
    PosixUdpSocket(const PosixUdpSocket&) = delete;
    PosixUdpSocket& operator=(const PosixUdpSocket&) = delete;

    bool enableBroadcast() override {
        const int on = 1;
        return fd_ >= 0 && ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
    }

    bool bind(Ipv4Endpoint local) override {
        const sockaddr_in address = toSockaddr(local);
        return fd_ >= 0 && ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }

    bool setNonBlocking() override {
        if (fd_ < 0) return false;
        const int flags = ::fcntl(fd_, F_GETFL);
        return flags >= 0 && ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) == 0;
    }

    int sendTo(std::span<const uint8_t> datagram, Ipv4Endpoint to) override {
        if (fd_ < 0) return -1;
        const sockaddr_in address = toSockaddr(to);
        ssize_t sent;
        do {
            sent = ::sendto(fd_, datagram.data(), datagram.size(), 0,
                            reinterpret_cast<const sockaddr*>(&address), sizeof address);
        } while (sent < 0 && errno == EINTR);
        return sent < 0 ? -1 : static_cast<int>(sent);
    }

    int receiveFrom(std::span<uint8_t> buffer, Ipv4Endpoint& from) override {
        if (fd_ < 0) return -1;
        sockaddr_in sender{};
        socklen_t senderLength = sizeof sender;
        ssize_t received;
        do {
            received = ::recvfrom(fd_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&sender),
                                  &senderLength);
        } while (received < 0 && errno == EINTR);
        if (received < 0) return -1;  // nothing waiting (EAGAIN) or an error
        from.address = ntohl(sender.sin_addr.s_addr);
        from.port = ntohs(sender.sin_port);
        return static_cast<int>(received);
    }

    SocketWait waitForDatagram() override {
        if (fd_ < 0) return SocketWait::Failed;
        pollfd watched[2] = {{wakeFd_, POLLIN, 0}, {fd_, POLLIN, 0}};
        int ready;
        do {
            ready = ::poll(watched, 2, -1);
        } while (ready < 0 && errno == EINTR);
        if (ready < 0) return SocketWait::Failed;
        if (watched[0].revents != 0) return SocketWait::Interrupted;
        if (watched[1].revents & POLLNVAL) return SocketWait::Failed;
        return SocketWait::Datagram;  // POLLIN, or POLLERR whose error the next receive takes
    }

    void interruptWait() override {
        const uint64_t one = 1;
        // Only fails when the counter is full, and then the descriptor is readable already.
        [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
    }

    void close() override {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
    const int wakeFd_;
};

}  // namespace

std::unique_ptr<UdpSocket> PosixNetwork::createUdpSocket() {
    // Close-on-exec, so a program started from here never inherits (and keeps bound) the control ports.
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixUdpSocket>(fd, wakeFd);
}

}  // namespace kvx
