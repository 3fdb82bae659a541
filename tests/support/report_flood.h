#pragma once

// A flood of reports for tests and benchmarks. FloodNetwork hands out the sockets of another network, but the
// one bound to the report port (7001) also yields the datagrams of a ReportFlood once it has started: they
// are made as the receiver takes them, so no network queue holds them and none is dropped on the way, and a
// flood of any length costs no memory outside the program under test. With an interval of 0 every datagram
// is due at once and the receiver takes them as fast as it can; otherwise datagram i is due at the start
// plus i intervals.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/multiviewer_state.h"
#include "multiviewer/report_handler.h"
#include "platform/udp_socket.h"
#include "protocol/control_frame.h"
#include "protocol/udp_link.h"

namespace kvx {

class ReportFlood {
public:
    using Steady = std::chrono::steady_clock;
    // Makes datagram i; called on the receiver's thread.
    using Maker = std::function<Bytes(size_t i)>;
    // Called on the receiver's thread after every datagram taken, with the number taken so far.
    using Progress = std::function<void(size_t taken)>;

    // Starts a flood of `count` datagrams and wakes the receiver with one datagram of nobody (bytes 10 to 13
    // zero) sent to port 7001 of 127.0.0.1 from a socket of `network`.
    void start(Network& network, size_t count, Maker make, std::chrono::nanoseconds interval = {},
               Progress progress = {}) {
        {
            std::lock_guard lock(mutex_);
            count_ = count;
            make_ = std::move(make);
            interval_ = interval;
            progress_ = std::move(progress);
            start_ = Steady::now();
        }
        taken_ = 0;
        running_ = true;
        const Bytes wake = buildFrame(kTypeMultiviewer, 0x01, kLinkLan, 0x00);
        if (auto socket = network.createUdpSocket()) socket->sendTo(wake, {kLoopbackAddress, kReportPort});
    }

    bool running() const { return running_.load(); }
    size_t taken() const { return taken_.load(); }
    // When the last datagram was taken.
    Steady::time_point endedAt() const {
        std::lock_guard lock(mutex_);
        return ended_;
    }

    // The next datagram when it is due: its length, or 0.
    int take(std::span<uint8_t> buffer) {
        if (!running_.load()) return 0;
        std::lock_guard lock(mutex_);
        const size_t i = taken_.load();
        if (i >= count_ || Steady::now() < dueAt(i)) return 0;
        const Bytes datagram = make_(i);
        const size_t length = std::min(buffer.size(), datagram.size());
        std::copy_n(datagram.begin(), length, buffer.begin());
        taken_ = i + 1;
        if (progress_) progress_(i + 1);
        if (i + 1 == count_) {
            ended_ = Steady::now();
            running_ = false;
        }
        return static_cast<int>(length);
    }

    // How long until the next datagram is due (0 when it is), while the flood runs.
    std::chrono::nanoseconds untilNext() const {
        std::lock_guard lock(mutex_);
        const auto left = dueAt(taken_.load()) - Steady::now();
        return std::max<std::chrono::nanoseconds>(left, std::chrono::nanoseconds(0));
    }

private:
    Steady::time_point dueAt(size_t i) const { return start_ + interval_ * static_cast<int64_t>(i); }

    mutable std::mutex mutex_;
    size_t count_ = 0;
    Maker make_;
    std::chrono::nanoseconds interval_{};
    Progress progress_;
    Steady::time_point start_;
    Steady::time_point ended_;
    std::atomic<size_t> taken_{0};
    std::atomic<bool> running_{false};
};

// The datagrams of a flood on page 1: the even ones are the connected device's reports, the odd ones a
// stranger's (another DeviceId) with values the device never sends. The device's reports go round four kinds
// of field (the layout, and per input or window the UMD switch, the UMD text colour and the source), so the
// same fields are reported again and again with changing values.
struct FloodReports {
    static constexpr uint8_t kLayouts[] = {40, 90, 160, 1, 4};  // the device's; the stranger sends 110

    DeviceId device;
    DeviceId stranger;

    Bytes operator()(size_t i) const {
        const bool fromDevice = i % 2 == 0;
        const Field f = field(i / 2, fromDevice);
        Bytes frame = buildFrame(kTypeMultiviewer, 0x01, kLinkLan, f.code, {0x00, f.d0, f.d1});  // data from 18
        const DeviceId& id = fromDevice ? device : stranger;
        std::copy(id.begin(), id.end(), frame.begin() + frame::kDeviceIdOffset);
        return frame;
    }

    // The model after the device's reports among the first `count` datagrams, each applied in order.
    static void applyDevicesReports(size_t count, MultiviewerState& model) {
        for (size_t k = 0; k < (count + 1) / 2; ++k) {
            const Field f = field(k, true);
            switch (f.code) {
                case mv::kSetLayout:
                    model.LayoutMode = f.d0;
                    break;
                case mv::kSetUmdOn:
                    model.UmdOn[f.d0 - 1u] = f.d1;
                    break;
                case mv::kSetUmdTextColor:
                    model.ColorSourceSelect = f.d0;
                    model.UmdTextColor[f.d0 - 1u] = f.d1;
                    break;
                default:
                    model.WindowSource[f.d1 - 1u] = f.d0;
                    break;
            }
        }
    }

    // Whether the fields that a flood reports hold the same values in both.
    static bool sameReportedFields(const MultiviewerState& a, const MultiviewerState& b) {
        return a.LayoutMode == b.LayoutMode && a.UmdOn == b.UmdOn && a.UmdTextColor == b.UmdTextColor &&
               a.ColorSourceSelect == b.ColorSourceSelect && a.WindowSource == b.WindowSource;
    }

private:
    struct Field {
        uint8_t code, d0, d1;
    };
    // The k-th report of the device, or of the stranger.
    static Field field(size_t k, bool fromDevice) {
        const auto index = static_cast<uint8_t>((k / 4) % 16 + 1);  // an input or a window
        const auto round = static_cast<uint8_t>(k / 64);
        switch (k % 4) {
            case 0:
                return {mv::kSetLayout, fromDevice ? kLayouts[(k / 4) % std::size(kLayouts)] : uint8_t{110}, 0};
            case 1:
                return {mv::kSetUmdOn, index, static_cast<uint8_t>(fromDevice ? round % 2 : 1 - round % 2)};
            case 2:
                return {mv::kSetUmdTextColor, index, static_cast<uint8_t>(fromDevice ? round % 15 : 15)};
            default:  // input d0 to window d1; the device's inputs are 1 to 15, the stranger's 16
                return {mv::kSetSource, fromDevice ? static_cast<uint8_t>((round + index) % 15 + 1) : uint8_t{16},
                        index};
        }
    }
};

class FloodNetwork : public Network {
public:
    FloodNetwork(Network& inner, ReportFlood& flood) : inner_(inner), flood_(flood) {}

    std::unique_ptr<UdpSocket> createUdpSocket() override {
        auto socket = inner_.createUdpSocket();
        if (!socket) return nullptr;
        return std::make_unique<Socket>(std::move(socket), flood_);
    }

private:
    class Socket : public UdpSocket {
    public:
        Socket(std::unique_ptr<UdpSocket> inner, ReportFlood& flood) : inner_(std::move(inner)), flood_(flood) {}

        bool enableBroadcast() override { return inner_->enableBroadcast(); }
        bool bind(Ipv4Endpoint local) override {
            reportPort_ = local.port == kReportPort;
            return inner_->bind(local);
        }
        bool setNonBlocking() override { return inner_->setNonBlocking(); }
        int sendTo(std::span<const uint8_t> datagram, Ipv4Endpoint to) override {
            return inner_->sendTo(datagram, to);
        }
        int receiveFrom(std::span<uint8_t> buffer, Ipv4Endpoint& from) override {
            if (reportPort_) {
                if (const int length = flood_.take(buffer); length > 0) {
                    from = {kLoopbackAddress, kControlPort};
                    return length;
                }
            }
            return inner_->receiveFrom(buffer, from);
        }
        // While the flood runs the wait ends when its next datagram is due; otherwise it is the socket's own.
        SocketWait waitForDatagram() override {
            if (!reportPort_ || !flood_.running()) return inner_->waitForDatagram();
            if (interrupted_.load()) return SocketWait::Interrupted;
            std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(flood_.untilNext(),
                                                                           std::chrono::milliseconds(1)));
            return SocketWait::Datagram;
        }
        void interruptWait() override {
            interrupted_ = true;
            inner_->interruptWait();
        }
        void close() override { inner_->close(); }

    private:
        std::unique_ptr<UdpSocket> inner_;
        ReportFlood& flood_;
        bool reportPort_ = false;
        std::atomic<bool> interrupted_{false};
    };

    Network& inner_;
    ReportFlood& flood_;
};

}  // namespace kvx
