#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_device.h"
#include "platform/sim_serial.h"
#include "simulator/serial_frame_splitter.h"
#include "simulator/simulated_device.h"

namespace kvx {

// How a device writes its answers on the line: in one block, or in several pieces with a pause between (a
// slow device whose answer the PC must gather).
struct SerialReplyPacing {
    int pieces = 1;
    int pauseMs = 50;
};

// Cuts bytes into at most n pieces of nearly equal size, none empty, in order.
std::vector<Bytes> splitIntoPieces(std::span<const uint8_t> bytes, int n);

// One device at the end of a serial line: the bytes the PC writes are gathered and cut into frames and texts
// for the device, and its answers go to the writer in pieces as the pacing says.
class SerialDeviceSession {
public:
    using Writer = std::function<void(const std::vector<Bytes>& pieces, int pauseMs)>;
    using Monitor = std::function<void(std::span<const uint8_t> request)>;

    SerialDeviceSession(SimulatedDevice& device, Writer writer, SerialReplyPacing pacing = {},
                        Monitor monitor = {});
    void feed(std::span<const uint8_t> bytes);

private:
    SimulatedDevice& device_;
    Writer writer_;
    SerialReplyPacing pacing_;
    Monitor monitor_;
    std::mutex mutex_;  // bytes arrive in order from one writer at a time
    SerialFrameSplitter splitter_;
};

// A device on the in-memory serial line: it sees every block the PC writes, and its answer pieces are
// delivered on the line's clock, one pause apart.
class SimSerialLineHost {
public:
    SimSerialLineHost(SimSerialLine& line, SimulatedDevice& device, SerialReplyPacing pacing = {});
    ~SimSerialLineHost();
    SimSerialLineHost(const SimSerialLineHost&) = delete;
    SimSerialLineHost& operator=(const SimSerialLineHost&) = delete;

private:
    SimSerialLine& line_;
    SerialDeviceSession session_;
};

// A device on the device end of a real line (such as a pty's master side): a thread reads what arrives, and
// answers are written piece by piece with real pauses.
class SerialDeviceHost {
public:
    SerialDeviceHost(SerialDevice& port, SimulatedDevice& device, Clock& clock, SerialReplyPacing pacing = {},
                     SerialDeviceSession::Monitor monitor = {});
    ~SerialDeviceHost();
    SerialDeviceHost(const SerialDeviceHost&) = delete;
    SerialDeviceHost& operator=(const SerialDeviceHost&) = delete;

    void stop();

private:
    void readLoop();

    SerialDevice& port_;
    Clock& clock_;
    SerialDeviceSession session_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

}  // namespace kvx
