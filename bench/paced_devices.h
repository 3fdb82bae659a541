#pragma once

// Simulated devices that take their time as real ones do, all in this process: on the in-memory network
// each device answers a while after the request, from a thread of its own (the plain in-memory host answers
// inside the sender's call); on the simulated serial line the answer comes in pieces with pauses between.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sim_network.h"
#include "platform/sim_serial.h"
#include "protocol/udp_link.h"
#include "simulator/demo_devices.h"
#include "simulator/device_dispatch.h"
#include "simulator/serial_device_host.h"

namespace kvx::bench {

// One device on one host of the in-memory network, answering every request answerMs after it arrived.
class PacedLanDevice {
public:
    PacedLanDevice(SimNetwork& network, uint32_t address, SimulatedDevice& device, int answerMs)
        : network_(network), address_(address), device_(device), answer_(answerMs) {
        network_.listen(address_, kControlPort, [this](std::span<const uint8_t> datagram, Ipv4Endpoint from) {
            std::lock_guard lock(mutex_);
            waiting_.push_back({std::chrono::steady_clock::now() + answer_, {datagram.begin(), datagram.end()}, from});
            wake_.notify_one();
        });
        thread_ = std::thread([this] { answerLoop(); });
    }
    ~PacedLanDevice() {
        network_.unlisten(address_, kControlPort);
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            wake_.notify_one();
        }
        thread_.join();
    }
    PacedLanDevice(const PacedLanDevice&) = delete;
    PacedLanDevice& operator=(const PacedLanDevice&) = delete;

private:
    struct Request {
        std::chrono::steady_clock::time_point due;
        Bytes bytes;
        Ipv4Endpoint from;
    };

    void answerLoop() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (waiting_.empty()) {
                wake_.wait(lock);
                continue;
            }
            if (wake_.wait_until(lock, waiting_.front().due) == std::cv_status::no_timeout) continue;
            const Request request = std::move(waiting_.front());
            waiting_.pop_front();
            lock.unlock();
            deliverRequest({&device_}, request.bytes, [&](const Bytes& answer) {
                network_.sendFrom({address_, kControlPort}, answer, request.from);
            });
            lock.lock();
        }
    }

    SimNetwork& network_;
    const uint32_t address_;
    SimulatedDevice& device_;
    const std::chrono::milliseconds answer_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Request> waiting_;
    bool stopping_ = false;
    std::thread thread_;
};

// The demo set of devices (a multiviewer, an 8x8, a 16x16 and a listed-only device) on the in-memory network
// at 192.168.1.101 onwards, and the multiviewer also at the end of a serial line named "COM1".
class PacedDemoDevices {
public:
    static constexpr uint32_t kPcAddress = 0xC0A8010A;           // 192.168.1.10
    static constexpr uint32_t kFirstDeviceAddress = 0xC0A80165;  // 192.168.1.101
    static constexpr const char* kSerialPortName = "COM1";
    // A small embedded device on a LAN: its answer leaves 20 ms after the request; each further device of
    // the set takes 5 ms longer, so that the multiviewer answers a search first and gets the panel.
    static constexpr int kLanAnswerMs = 20;
    static constexpr int kLanAnswerStepMs = 5;
    // On the serial line every answer comes in 4 pieces 40 ms apart, as from a device that writes it out
    // while it gathers it.
    static constexpr SerialReplyPacing kSerialPacing{4, 40};

    explicit PacedDemoDevices(Clock& clock)
        : devices_(makeSimulatedDevices(demoIdentities())), serialLine_(std::make_shared<SimSerialLine>(clock)) {
        for (size_t i = 0; i < devices_.size(); ++i) {
            lanHosts_.push_back(std::make_unique<PacedLanDevice>(
                network_, kFirstDeviceAddress + static_cast<uint32_t>(i), *devices_[i],
                lanAnswerMs(i)));
        }
        serialHost_ = std::make_unique<SimSerialLineHost>(*serialLine_, *devices_.front(), kSerialPacing);
        serialPorts_.add(kSerialPortName, serialLine_);
        pcNetwork_ = network_.host(kPcAddress);
    }

    static int lanAnswerMs(size_t device) { return kLanAnswerMs + kLanAnswerStepMs * static_cast<int>(device); }
    Network& pcNetwork() { return *pcNetwork_; }
    SerialPorts& pcSerialPorts() { return serialPorts_; }
    size_t count() const { return devices_.size(); }
    const SimulatedDevice& device(size_t i) const { return *devices_[i]; }

private:
    SimNetwork network_;
    std::vector<std::unique_ptr<SimulatedDevice>> devices_;
    std::vector<std::unique_ptr<PacedLanDevice>> lanHosts_;
    std::shared_ptr<SimSerialLine> serialLine_;
    std::unique_ptr<SimSerialLineHost> serialHost_;
    SimSerialPorts serialPorts_;
    std::shared_ptr<Network> pcNetwork_;
};

}  // namespace kvx::bench
