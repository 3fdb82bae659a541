#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_device.h"

namespace kvx {

// An in-memory serial cable between the PC's port and a simulated device. Every block that the PC writes is
// handed to the device handler in the writing thread; the device answers with deviceWrite(), at once or after
// a delay measured on the line's clock (so a reply can arrive in pieces).
class SimSerialLine {
public:
    using DeviceHandler = std::function<void(std::span<const uint8_t> block)>;

    explicit SimSerialLine(Clock& clock);
    ~SimSerialLine();

    void setDeviceHandler(DeviceHandler handler);
    void deviceWrite(std::span<const uint8_t> bytes, int delayMs = 0);
    // Everything the PC has written so far, block by block, for tests.
    std::vector<std::vector<uint8_t>> writtenBlocks() const;
    void clearWritten();

    // The PC's end of the cable; one at a time may be open.
    std::unique_ptr<SerialDevice> openPcEnd();
    int lastBaud() const;

    struct Impl;

private:
    std::shared_ptr<Impl> impl_;
};

// Serial ports for the demo and tests: named simulated lines, then (optionally) the machine's own ports.
class SimSerialPorts : public SerialPorts {
public:
    explicit SimSerialPorts(SerialPorts* fallback = nullptr) : fallback_(fallback) {}
    void add(const std::string& name, std::shared_ptr<SimSerialLine> line);
    std::unique_ptr<SerialDevice> open(const std::string& name) override;
    std::vector<std::string> list() override;

private:
    SerialPorts* fallback_;
    std::map<std::string, std::shared_ptr<SimSerialLine>> lines_;
};

}  // namespace kvx
