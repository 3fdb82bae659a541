#include "platform/sim_serial.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>

namespace kvx {
namespace {

// How often a waiting PC end looks at the line's clock again while bytes are still on their way; the clock
// may be a manual one that moves without telling anyone.
constexpr auto kPendingRecheck = std::chrono::milliseconds(5);

struct ByteOnLine {
    int64_t arrivesMs;
    uint8_t value;
};

}  // namespace

struct SimSerialLine::Impl {
    explicit Impl(Clock& lineClock) : clock(lineClock) {}

    Clock& clock;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::shared_ptr<DeviceHandler> handler;
    std::deque<ByteOnLine> toPc;  // in order of arrival
    std::vector<std::vector<uint8_t>> written;
    int lastBaud = 0;
    uint64_t openEnd = 0;  // the id of the open PC end, 0 when none is open
    uint64_t lastEndId = 0;
    bool cancelPending = false;

    // Bytes that have arrived by now (the front of the queue). Called with the lock held.
    size_t arrivedCount() const {
        const int64_t now = clock.steadyMs();
        return static_cast<size_t>(
            std::find_if(toPc.begin(), toPc.end(), [now](const ByteOnLine& b) { return b.arrivesMs > now; }) -
            toPc.begin());
    }
};

namespace {

class SimPcEnd : public SerialDevice {
public:
    SimPcEnd(std::shared_ptr<SimSerialLine::Impl> line, uint64_t id) : line_(std::move(line)), id_(id) {}
    ~SimPcEnd() override { close(); }
    SimPcEnd(const SimPcEnd&) = delete;
    SimPcEnd& operator=(const SimPcEnd&) = delete;

    bool configure(int baud) override {
        std::lock_guard lock(line_->mutex);
        if (!isOpen() || baud <= 0) return false;
        line_->lastBaud = baud;
        return true;
    }

    // Reads never wait here: a line on a manual clock would otherwise wait for time that never passes.
    void setTimeouts(const SerialTimeouts&) override {}

    std::optional<size_t> inputCount() override {
        std::lock_guard lock(line_->mutex);
        if (!isOpen()) return std::nullopt;
        return line_->arrivedCount();
    }

    // What the PC writes reaches the device's handler at once, so only the input queue can be discarded.
    bool purge() override { return discardInput(); }

    bool discardInput() override {
        std::lock_guard lock(line_->mutex);
        if (!isOpen()) return false;
        // Bytes still on their way are not in the queue yet; they arrive after the purge.
        line_->toPc.erase(line_->toPc.begin(), line_->toPc.begin() + line_->arrivedCount());
        return true;
    }

    size_t read(uint8_t* buffer, size_t n) override {
        std::lock_guard lock(line_->mutex);
        if (!isOpen()) return 0;
        const size_t count = std::min(n, line_->arrivedCount());
        for (size_t i = 0; i < count; ++i) buffer[i] = line_->toPc[i].value;
        line_->toPc.erase(line_->toPc.begin(), line_->toPc.begin() + count);
        return count;
    }

    std::optional<size_t> write(const uint8_t* bytes, size_t n) override {
        std::shared_ptr<SimSerialLine::DeviceHandler> handler;
        {
            std::lock_guard lock(line_->mutex);
            if (!isOpen()) return std::nullopt;
            if (n == 0) return 0;
            line_->written.emplace_back(bytes, bytes + n);
            handler = line_->handler;
        }
        // Outside the lock, so the device can answer through deviceWrite().
        if (handler && *handler) (*handler)(std::span<const uint8_t>(bytes, n));
        return n;
    }

    bool waitForEvent(int timeoutMs) override {
        std::unique_lock lock(line_->mutex);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        while (isOpen() && !line_->cancelPending) {
            if (line_->arrivedCount() > 0) return true;
            const auto now = std::chrono::steady_clock::now();
            if (timeoutMs >= 0 && now >= end) return false;
            auto until = timeoutMs < 0 ? std::chrono::steady_clock::time_point::max() : end;
            if (!line_->toPc.empty()) until = std::min(until, now + kPendingRecheck);
            if (until == std::chrono::steady_clock::time_point::max()) {
                line_->changed.wait(lock);
            } else {
                line_->changed.wait_until(lock, until);
            }
        }
        line_->cancelPending = false;
        return false;
    }

    // Stays pending until a wait takes it, so a cancel just before the wait starts is not lost.
    void cancelWait() override {
        std::lock_guard lock(line_->mutex);
        line_->cancelPending = true;
        line_->changed.notify_all();
    }

    void close() override {
        std::lock_guard lock(line_->mutex);
        if (!isOpen()) return;
        line_->openEnd = 0;
        line_->toPc.clear();
        line_->cancelPending = false;
        line_->changed.notify_all();
    }

private:
    bool isOpen() const { return line_->openEnd == id_; }

    std::shared_ptr<SimSerialLine::Impl> line_;
    const uint64_t id_;
};

}  // namespace

SimSerialLine::SimSerialLine(Clock& clock) : impl_(std::make_shared<Impl>(clock)) {}
SimSerialLine::~SimSerialLine() = default;

void SimSerialLine::setDeviceHandler(DeviceHandler handler) {
    std::lock_guard lock(impl_->mutex);
    impl_->handler = std::make_shared<DeviceHandler>(std::move(handler));
}

void SimSerialLine::deviceWrite(std::span<const uint8_t> bytes, int delayMs) {
    std::lock_guard lock(impl_->mutex);
    if (impl_->openEnd == 0) return;  // nobody listens at the PC's end: the bytes are lost, as on a cable
    // A later piece never overtakes an earlier one on the wire.
    int64_t arrives = impl_->clock.steadyMs() + std::max(delayMs, 0);
    if (!impl_->toPc.empty()) arrives = std::max(arrives, impl_->toPc.back().arrivesMs);
    for (uint8_t value : bytes) impl_->toPc.push_back({arrives, value});
    impl_->changed.notify_all();
}

std::vector<std::vector<uint8_t>> SimSerialLine::writtenBlocks() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->written;
}

void SimSerialLine::clearWritten() {
    std::lock_guard lock(impl_->mutex);
    impl_->written.clear();
}

std::unique_ptr<SerialDevice> SimSerialLine::openPcEnd() {
    std::lock_guard lock(impl_->mutex);
    if (impl_->openEnd != 0) return nullptr;
    impl_->openEnd = ++impl_->lastEndId;
    return std::make_unique<SimPcEnd>(impl_, impl_->openEnd);
}

int SimSerialLine::lastBaud() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->lastBaud;
}

void SimSerialPorts::add(const std::string& name, std::shared_ptr<SimSerialLine> line) {
    lines_[name] = std::move(line);
}

std::unique_ptr<SerialDevice> SimSerialPorts::open(const std::string& name) {
    const auto line = lines_.find(name);
    if (line != lines_.end()) return line->second->openPcEnd();
    return fallback_ ? fallback_->open(name) : nullptr;
}

std::vector<std::string> SimSerialPorts::list() {
    std::set<std::string> names;
    for (const auto& [name, line] : lines_) names.insert(name);
    if (fallback_) {
        for (auto& name : fallback_->list()) names.insert(std::move(name));
    }
    return {names.begin(), names.end()};
}

}  // namespace kvx
