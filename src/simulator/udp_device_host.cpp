#include "simulator/udp_device_host.h"

#include <array>
#include <chrono>
#include <utility>

#include "protocol/udp_link.h"

namespace kvx {

namespace {
constexpr int kIdlePollMs = 2;
constexpr size_t kMaxDatagram = 2048;
}  // namespace

UdpDeviceHost::UdpDeviceHost(Network& network, DeviceList devices, RequestMonitor monitor)
    : network_(network), devices_(std::move(devices)), monitor_(std::move(monitor)) {}

UdpDeviceHost::~UdpDeviceHost() {
    stop();
}

bool UdpDeviceHost::start(Ipv4Endpoint local) {
    stop();
    auto socket = network_.createUdpSocket();
    if (!socket || !socket->bind(local) || !socket->setNonBlocking()) return false;
    {
        std::lock_guard lock(socketMutex_);
        socket_ = std::move(socket);
    }
    for (SimulatedDevice* device : devices_) {
        device->setReportSink([this](const Bytes& frame) {
            const uint32_t pc = lastSender_;
            if (pc != 0) sendTo(frame, {pc, kReportPort});
        });
    }
    running_ = true;
    thread_ = std::thread([this] { receiveLoop(); });
    return true;
}

void UdpDeviceHost::stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
    for (SimulatedDevice* device : devices_) device->setReportSink({});
    std::lock_guard lock(socketMutex_);
    if (socket_) socket_->close();
    socket_.reset();
}

void UdpDeviceHost::sendTo(std::span<const uint8_t> datagram, Ipv4Endpoint to) {
    std::lock_guard lock(socketMutex_);
    if (socket_) socket_->sendTo(datagram, to);
}

void UdpDeviceHost::receiveLoop() {
    std::array<uint8_t, kMaxDatagram> buffer{};
    while (running_) {
        Ipv4Endpoint from{};
        int n = 0;
        {
            std::lock_guard lock(socketMutex_);
            n = socket_->receiveFrom(buffer, from);
        }
        if (n <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kIdlePollMs));
            continue;
        }
        const std::span<const uint8_t> request(buffer.data(), static_cast<size_t>(n));
        lastSender_ = from.address;
        if (monitor_) monitor_(from, request);
        deliverRequest(devices_, request, [this, from](const Bytes& answer) { sendTo(answer, from); });
    }
}

}  // namespace kvx
