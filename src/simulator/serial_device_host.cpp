#include "simulator/serial_device_host.h"

#include <algorithm>
#include <array>
#include <utility>

#include "simulator/device_dispatch.h"

namespace kvx {

namespace {
constexpr int kEventWaitMs = 100;
constexpr size_t kReadChunk = 256;
constexpr int kIdleMs = 10;
}  // namespace

std::vector<Bytes> splitIntoPieces(std::span<const uint8_t> bytes, int n) {
    const size_t wanted = n < 1 ? 1 : static_cast<size_t>(n);
    const size_t count = std::min(wanted, std::max<size_t>(bytes.size(), 1));
    std::vector<Bytes> pieces;
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t end = bytes.size() * (i + 1) / count;
        pieces.emplace_back(bytes.begin() + start, bytes.begin() + end);
        start = end;
    }
    return pieces;
}

SerialDeviceSession::SerialDeviceSession(SimulatedDevice& device, Writer writer, SerialReplyPacing pacing,
                                         Monitor monitor)
    : device_(device), writer_(std::move(writer)), pacing_(pacing), monitor_(std::move(monitor)) {}

void SerialDeviceSession::feed(std::span<const uint8_t> bytes) {
    std::vector<SerialMessage> messages;
    {
        std::lock_guard lock(mutex_);
        messages = splitter_.feed(bytes);
    }
    const DeviceList devices{&device_};
    for (const SerialMessage& message : messages) {
        if (monitor_) monitor_(message.bytes);
        deliverRequest(devices, message.bytes, [this](const Bytes& answer) {
            writer_(splitIntoPieces(answer, pacing_.pieces), pacing_.pauseMs);
        });
    }
}

SimSerialLineHost::SimSerialLineHost(SimSerialLine& line, SimulatedDevice& device, SerialReplyPacing pacing)
    : line_(line),
      session_(
          device,
          [&line](const std::vector<Bytes>& pieces, int pauseMs) {
              for (size_t i = 0; i < pieces.size(); ++i) {
                  line.deviceWrite(pieces[i], static_cast<int>(i) * pauseMs);
              }
          },
          pacing) {
    line_.setDeviceHandler([this](std::span<const uint8_t> block) { session_.feed(block); });
}

SimSerialLineHost::~SimSerialLineHost() {
    line_.setDeviceHandler({});
}

SerialDeviceHost::SerialDeviceHost(SerialDevice& port, SimulatedDevice& device, Clock& clock,
                                   SerialReplyPacing pacing, SerialDeviceSession::Monitor monitor)
    : port_(port),
      clock_(clock),
      session_(
          device,
          [this](const std::vector<Bytes>& pieces, int pauseMs) {
              for (size_t i = 0; i < pieces.size(); ++i) {
                  if (i > 0) clock_.sleepMs(pauseMs);
                  port_.write(pieces[i].data(), pieces[i].size());
              }
          },
          pacing, std::move(monitor)),
      thread_([this] { readLoop(); }) {}

SerialDeviceHost::~SerialDeviceHost() {
    stop();
}

void SerialDeviceHost::stop() {
    running_ = false;
    port_.cancelWait();
    if (thread_.joinable()) thread_.join();
}

void SerialDeviceHost::readLoop() {
    std::array<uint8_t, kReadChunk> buffer{};
    while (running_) {
        if (!port_.waitForEvent(kEventWaitMs)) continue;
        const size_t n = port_.read(buffer.data(), buffer.size());
        if (n > 0) {
            session_.feed(std::span<const uint8_t>(buffer.data(), n));
        } else {
            clock_.sleepMs(kIdleMs);  // a line event without data; do not spin on it
        }
    }
}

}  // namespace kvx
