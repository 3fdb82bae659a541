#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/serial_device.h"
#include "protocol/block_buffer.h"

namespace kvx {

// The serial port object. It always runs with options 3: a monitor thread that waits for port events, and
// overlapped port I/O. The monitor thread consumes no data: bytes stay in the driver's queue until the
// exchange that wants them reads or drains them.
class CnComm {
public:
    static constexpr uint32_t kOptionMonitorThread = 0x01;
    static constexpr uint32_t kOptionOverlapped = 0x02;
    static constexpr uint32_t kOptions = kOptionMonitorThread | kOptionOverlapped;
    static constexpr uint32_t kEventMask = 0x1FD;
    static constexpr size_t kMaxNameLength = 62;  // names of 63 characters or more are refused
    static constexpr int kCloseWaitMs = 500;

    explicit CnComm(SerialPorts& ports);
    ~CnComm();
    CnComm(const CnComm&) = delete;
    CnComm& operator=(const CnComm&) = delete;

    bool open(const std::string& portName, int baud);
    void close(int waitMs = kCloseWaitMs);
    bool isOpen() const;
    std::optional<size_t> inputCount();
    size_t read(uint8_t* buffer, size_t n);
    size_t write(const uint8_t* bytes, size_t n);
    // Reads and discards every byte that the input count reports.
    void drain();

    uint32_t options() const { return kOptions; }
    uint32_t eventMask() const { return eventMask_.load(); }
    uint32_t bytesRead() const { return bytesRead_.load(); }
    uint32_t bytesWritten() const { return bytesWritten_.load(); }
    std::string portName() const;
    int baud() const { return baud_; }
    bool monitorRunning() const;
    // Port events the monitor thread has seen, for tests.
    uint32_t eventsSeen() const { return eventsSeen_->load(); }

private:
    // What one monitor thread uses. The thread holds its own reference, so a thread that close() had to
    // leave behind still finds its device and flags alive, and a later open() cannot restart it.
    struct MonitorSession;

    static void monitorLoop(const std::shared_ptr<MonitorSession>& session);
    void closeLocked(int waitMs);

    SerialPorts& ports_;
    // Guards the port for the exchange thread and close(); never held while the monitor waits for an event.
    mutable std::mutex deviceMutex_;
    std::shared_ptr<SerialDevice> device_;
    std::shared_ptr<MonitorSession> session_;
    std::thread monitor_;
    std::string portName_;
    std::atomic<int> baud_{0};
    std::atomic<uint32_t> bytesRead_{0};
    std::atomic<uint32_t> bytesWritten_{0};
    std::atomic<uint32_t> eventMask_{kEventMask};
    const std::shared_ptr<std::atomic<uint32_t>> eventsSeen_ = std::make_shared<std::atomic<uint32_t>>(0);
    // Used only with the buffering options, which this system never sets: they stay empty.
    BlockBuffer receiveQueue_;
    BlockBuffer sendQueue_;
};

}  // namespace kvx
