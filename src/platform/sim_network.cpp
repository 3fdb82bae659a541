#include "platform/sim_network.h"

#include <condition_variable>
#include <deque>

namespace kvx {
namespace {

constexpr size_t kQueueLimit = 4096;  // datagrams a socket holds before further ones are dropped
constexpr uint16_t kFirstEphemeralPort = 49152;

bool isLoopback(uint32_t address) {
    return (address >> 24) == 127;
}

struct Datagram {
    std::vector<uint8_t> bytes;
    Ipv4Endpoint from;
};

struct SocketState {
    uint32_t host = 0;
    uint16_t port = 0;  // 0 while unbound
    bool broadcast = false;
    bool closed = false;
    bool interrupted = false;
    std::deque<Datagram> queue;
    std::condition_variable changed;  // a datagram queued, an interrupt, the close; under the network's lock
};

// What a host's port is bound to: a socket, or a listener's handler.
struct Binding {
    std::shared_ptr<SocketState> socket;
    std::shared_ptr<SimNetwork::DatagramHandler> handler;
};

struct Host {
    std::map<uint16_t, Binding> ports;
    uint16_t nextEphemeral = kFirstEphemeralPort;
};

}  // namespace

struct SimNetwork::Impl {
    std::mutex mutex;
    std::map<uint32_t, Host> hosts;
    std::vector<Record> traffic;

    // Queues the datagram for every socket it reaches and calls the listeners it reaches once the lock is
    // released, so that they may answer through sendFrom().
    void deliver(uint32_t senderHost, uint16_t senderPort, std::span<const uint8_t> datagram, Ipv4Endpoint to,
                 std::unique_lock<std::mutex>& lock) {
        const Ipv4Endpoint from{isLoopback(to.address) ? kLoopbackAddress : senderHost, senderPort};
        traffic.push_back({from, to, {datagram.begin(), datagram.end()}});
        std::vector<std::shared_ptr<DatagramHandler>> handlers;
        auto reach = [&](Host& host) {
            const auto bound = host.ports.find(to.port);
            if (bound == host.ports.end()) return;
            if (bound->second.handler) {
                handlers.push_back(bound->second.handler);
            } else if (bound->second.socket->queue.size() < kQueueLimit) {
                bound->second.socket->queue.push_back({{datagram.begin(), datagram.end()}, from});
                bound->second.socket->changed.notify_all();
            }
        };
        if (to.address == kBroadcastAddress) {
            for (auto& [address, host] : hosts) reach(host);
        } else {
            const auto host = hosts.find(isLoopback(to.address) ? senderHost : to.address);
            if (host != hosts.end()) reach(host->second);
        }
        lock.unlock();
        for (const auto& handler : handlers) (*handler)(datagram, from);
    }

    // A free port of the host at or above 49152, or 0 when all are taken.
    uint16_t ephemeralPort(Host& host) {
        for (int tries = 0; tries <= 0xFFFF - kFirstEphemeralPort; ++tries) {
            const uint16_t port = host.nextEphemeral;
            host.nextEphemeral = port == 0xFFFF ? kFirstEphemeralPort : static_cast<uint16_t>(port + 1);
            if (!host.ports.contains(port)) return port;
        }
        return 0;
    }

    void release(SocketState& socket) {
        if (socket.port == 0) return;
        auto& ports = hosts[socket.host].ports;
        const auto bound = ports.find(socket.port);
        if (bound != ports.end() && bound->second.socket.get() == &socket) ports.erase(bound);
        socket.port = 0;
    }
};

namespace {

class SimUdpSocket : public UdpSocket {
public:
    SimUdpSocket(std::shared_ptr<SimNetwork::Impl> network, uint32_t host)
        : network_(std::move(network)), state_(std::make_shared<SocketState>()) {
        state_->host = host;
    }
    ~SimUdpSocket() override { close(); }
    SimUdpSocket(const SimUdpSocket&) = delete;
    SimUdpSocket& operator=(const SimUdpSocket&) = delete;

    bool enableBroadcast() override {
        std::lock_guard lock(network_->mutex);
        if (state_->closed) return false;
        state_->broadcast = true;
        return true;
    }

    bool bind(Ipv4Endpoint local) override {
        std::lock_guard lock(network_->mutex);
        const bool ownAddress =
            local.address == kAnyAddress || local.address == state_->host || isLoopback(local.address);
        if (state_->closed || state_->port != 0 || !ownAddress) return false;
        Host& host = network_->hosts[state_->host];
        const uint16_t port = local.port != 0 ? local.port : network_->ephemeralPort(host);
        if (port == 0 || host.ports.contains(port)) return false;
        host.ports[port].socket = state_;
        state_->port = port;
        return true;
    }

    // Receiving never blocks here, so a test cannot hang on an empty queue.
    bool setNonBlocking() override {
        std::lock_guard lock(network_->mutex);
        return !state_->closed;
    }

    int sendTo(std::span<const uint8_t> datagram, Ipv4Endpoint to) override {
        std::unique_lock lock(network_->mutex);
        if (state_->closed || (to.address == kBroadcastAddress && !state_->broadcast)) return -1;
        if (state_->port == 0) {
            Host& host = network_->hosts[state_->host];
            const uint16_t port = network_->ephemeralPort(host);
            if (port == 0) return -1;
            host.ports[port].socket = state_;
            state_->port = port;
        }
        network_->deliver(state_->host, state_->port, datagram, to, lock);
        return static_cast<int>(datagram.size());
    }

    int receiveFrom(std::span<uint8_t> buffer, Ipv4Endpoint& from) override {
        std::lock_guard lock(network_->mutex);
        if (state_->closed || state_->queue.empty()) return -1;
        const Datagram& next = state_->queue.front();
        const size_t length = std::min(buffer.size(), next.bytes.size());
        std::copy_n(next.bytes.begin(), length, buffer.begin());
        from = next.from;
        state_->queue.pop_front();
        return static_cast<int>(length);
    }

    SocketWait waitForDatagram() override {
        std::unique_lock lock(network_->mutex);
        state_->changed.wait(
            lock, [this] { return state_->closed || state_->interrupted || !state_->queue.empty(); });
        if (state_->closed) return SocketWait::Failed;
        return state_->interrupted ? SocketWait::Interrupted : SocketWait::Datagram;
    }

    void interruptWait() override {
        std::lock_guard lock(network_->mutex);
        state_->interrupted = true;
        state_->changed.notify_all();
    }

    void close() override {
        std::lock_guard lock(network_->mutex);
        network_->release(*state_);
        state_->queue.clear();
        state_->closed = true;
        state_->changed.notify_all();
    }

private:
    std::shared_ptr<SimNetwork::Impl> network_;
    std::shared_ptr<SocketState> state_;
};

class SimHostNetwork : public Network {
public:
    SimHostNetwork(std::shared_ptr<SimNetwork::Impl> network, uint32_t address)
        : network_(std::move(network)), address_(address) {}
    std::unique_ptr<UdpSocket> createUdpSocket() override {
        return std::make_unique<SimUdpSocket>(network_, address_);
    }

private:
    std::shared_ptr<SimNetwork::Impl> network_;
    uint32_t address_;
};

}  // namespace

SimNetwork::SimNetwork() : impl_(std::make_shared<Impl>()) {}
SimNetwork::~SimNetwork() = default;

std::shared_ptr<Network> SimNetwork::host(uint32_t address) {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->hosts.try_emplace(address);
    }
    return std::make_shared<SimHostNetwork>(impl_, address);
}

bool SimNetwork::listen(uint32_t hostAddress, uint16_t port, DatagramHandler handler) {
    std::lock_guard lock(impl_->mutex);
    Host& host = impl_->hosts[hostAddress];
    if (port == 0 || host.ports.contains(port)) return false;
    host.ports[port].handler = std::make_shared<DatagramHandler>(std::move(handler));
    return true;
}

void SimNetwork::unlisten(uint32_t hostAddress, uint16_t port) {
    std::lock_guard lock(impl_->mutex);
    const auto host = impl_->hosts.find(hostAddress);
    if (host == impl_->hosts.end()) return;
    const auto bound = host->second.ports.find(port);
    if (bound != host->second.ports.end() && bound->second.handler) host->second.ports.erase(bound);
}

void SimNetwork::sendFrom(Ipv4Endpoint from, std::span<const uint8_t> datagram, Ipv4Endpoint to) {
    std::unique_lock lock(impl_->mutex);
    impl_->deliver(from.address, from.port, datagram, to, lock);
}

std::vector<SimNetwork::Record> SimNetwork::traffic() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->traffic;
}

void SimNetwork::clearTraffic() {
    std::lock_guard lock(impl_->mutex);
    impl_->traffic.clear();
}

}  // namespace kvx
