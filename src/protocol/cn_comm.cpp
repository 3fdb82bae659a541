#include "protocol/cn_comm.h"

#include <chrono>
#include <future>
#include <system_error>
#include <vector>

#include "protocol/frame_trace.h"
#include "protocol/utf8_text.h"

namespace kvx {

namespace {

// Line time-outs of an overlapped port.
constexpr SerialTimeouts kOverlappedTimeouts{.readIntervalMs = 100,
                                             .readPerByteMs = 0,
                                             .readTotalMs = 500,
                                             .writePerByteMs = 1,
                                             .writeTotalMs = 10000};
// The monitor's event wait is cut into slices so that it rechecks its running flag even when a cancel is
// missed (one that arrives just before the wait starts).
constexpr int kEventWaitSliceMs = 100;
// Pause after each event, so waiting bytes, or a line that keeps signalling (a hung-up line reports itself
// at once on every wait), do not make the monitor spin.
constexpr auto kEventPause = std::chrono::milliseconds(10);

// The name's length in characters as the port name field holds them (UTF-16); a name that is not UTF-8
// counts one character per byte.
size_t characterCount(const std::string& name) {
    const std::optional<std::u16string> text = fromUtf8(name);
    return text ? text->size() : name.size();
}

}  // namespace

struct CnComm::MonitorSession {
    std::shared_ptr<SerialDevice> device;
    std::shared_ptr<std::atomic<uint32_t>> eventsSeen;
    std::atomic<bool> running{true};
    std::promise<void> exited;
};

// The monitor thread with overlapped I/O. It only asks for the input count and waits for port events; every
// event is dispatched to the notification window and thread, and this system sets neither, so no event goes
// anywhere and no byte is consumed.
void CnComm::monitorLoop(const std::shared_ptr<MonitorSession>& session) {
    SerialDevice& device = *session->device;
    while (session->running.load()) {
        // A count that cannot be had, or bytes that wait, count as data received; only an empty queue waits.
        const std::optional<size_t> waiting = device.inputCount();
        const bool event = !waiting || *waiting > 0 || device.waitForEvent(kEventWaitSliceMs);
        if (event && session->running.load()) {
            session->eventsSeen->fetch_add(1);
            std::this_thread::sleep_for(kEventPause);
        }
    }
    session->exited.set_value();
}

CnComm::CnComm(SerialPorts& ports) : ports_(ports) {}

CnComm::~CnComm() {
    close(kCloseWaitMs);
}

bool CnComm::open(const std::string& portName, int baud) {
    if (characterCount(portName) > kMaxNameLength) return false;
    std::lock_guard lock(deviceMutex_);
    portName_ = portName;
    if (device_) closeLocked(kCloseWaitMs);

    std::shared_ptr<SerialDevice> device = ports_.open(portName);
    if (!device) return false;
    if (!device->configure(baud)) {
        device->close();
        return false;
    }
    baud_ = baud;
    device->setTimeouts(kOverlappedTimeouts);
    if (!device->purge()) {
        device->close();
        return false;
    }

    auto session = std::make_shared<MonitorSession>();
    session->device = device;
    session->eventsSeen = eventsSeen_;
    // The monitor sets its event mask as it starts; doing it before the thread exists means a thread that
    // is slow to start can never set it again after a close has cleared it.
    eventMask_ = kEventMask;
    try {
        monitor_ = std::thread(monitorLoop, session);
    } catch (const std::system_error&) {
        eventMask_ = 0;
        device->close();
        return false;
    }
    device_ = std::move(device);
    session_ = std::move(session);
    return true;
}

void CnComm::close(int waitMs) {
    std::lock_guard lock(deviceMutex_);
    closeLocked(waitMs);
}

void CnComm::closeLocked(int waitMs) {
    if (!device_) return;
    session_->running = false;
    eventMask_ = 0;
    device_->cancelWait();
    if (session_->exited.get_future().wait_for(std::chrono::milliseconds(waitMs)) ==
        std::future_status::ready) {
        monitor_.join();
    } else {
        // Forced stop: the thread keeps its own session and device, and ends at its next running check.
        monitor_.detach();
    }
    // The input is of no more use; the output is not discarded, so that the last request still goes out.
    device_->discardInput();
    device_->close();
    device_.reset();
    session_.reset();
}

bool CnComm::isOpen() const {
    std::lock_guard lock(deviceMutex_);
    return device_ != nullptr;
}

bool CnComm::monitorRunning() const {
    std::lock_guard lock(deviceMutex_);
    return session_ && session_->running.load();
}

std::string CnComm::portName() const {
    std::lock_guard lock(deviceMutex_);
    return portName_;
}

std::optional<size_t> CnComm::inputCount() {
    std::lock_guard lock(deviceMutex_);
    if (!device_) return std::nullopt;
    return device_->inputCount();
}

size_t CnComm::read(uint8_t* buffer, size_t n) {
    if (n == 0) return 0;
    std::lock_guard lock(deviceMutex_);
    if (!device_) return 0;
    const size_t got = device_->read(buffer, n);
    bytesRead_ += static_cast<uint32_t>(got);
    if (got > 0 && frameTraceOn())
        traceFrame(TraceDirection::Receive, serialTraceLink(portName_), std::span(buffer, got));
    return got;
}

size_t CnComm::write(const uint8_t* bytes, size_t n) {
    if (n == 0) return 0;
    std::lock_guard lock(deviceMutex_);
    if (!device_) return 0;
    const auto writeToDevice = [&] { return device_->write(bytes, n); };
    const std::optional<size_t> written =
        frameTraceOn() ? tracedSend(serialTraceLink(portName_), std::span(bytes, n), writeToDevice)
                       : writeToDevice();
    if (!written) return 0;
    bytesWritten_ += static_cast<uint32_t>(*written);
    return *written;
}

void CnComm::drain() {
    const std::optional<size_t> waiting = inputCount();
    if (!waiting || *waiting == 0) return;
    std::vector<uint8_t> discarded(*waiting);
    size_t got = 0;
    while (got < discarded.size()) {
        const size_t more = read(discarded.data() + got, discarded.size() - got);
        if (more == 0) break;
        got += more;
    }
}

}  // namespace kvx
