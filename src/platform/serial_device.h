#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kvx {

// Time-outs of an open port, as the serial port object sets them.
struct SerialTimeouts {
    int readIntervalMs = 100;    // longest gap between two received bytes before a read returns
    int readPerByteMs = 0;
    int readTotalMs = 500;       // longest time one read waits in all
    int writePerByteMs = 1;
    int writeTotalMs = 10000;
};

// One open serial device (a termios port, a pty, or a simulated line).
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // 8 data bits, no parity, one stop bit, raw, parity checking off, at the given baud rate (any rate the
    // line can run at).
    virtual bool configure(int baud) = 0;
    virtual void setTimeouts(const SerialTimeouts& timeouts) = 0;
    // Bytes waiting in the input queue; nothing when the device cannot say.
    virtual std::optional<size_t> inputCount() = 0;
    // Discards whatever waits in the input and output queues.
    virtual bool purge() = 0;
    // Discards whatever waits in the input queue only; what was written still goes out.
    virtual bool discardInput() = 0;
    // Reads up to n bytes, waiting as the time-outs allow; returns the bytes read.
    virtual size_t read(uint8_t* buffer, size_t n) = 0;
    // Writes all n bytes, waiting as the time-outs allow; nothing when the write cannot start.
    virtual std::optional<size_t> write(const uint8_t* bytes, size_t n) = 0;
    // Blocks until input is waiting, a line event happens, cancelWait() is called or the time-out passes.
    // Returns true when an event (such as input) is there.
    virtual bool waitForEvent(int timeoutMs) = 0;
    virtual void cancelWait() = 0;
    virtual void close() = 0;
};

// Opens serial devices by name and lists the ports of the machine.
class SerialPorts {
public:
    virtual ~SerialPorts() = default;
    // Opens an existing device for reading and writing, without becoming its controlling terminal and
    // without sharing it: a port that another program holds does not open, and none can open it meanwhile.
    virtual std::unique_ptr<SerialDevice> open(const std::string& name) = 0;
    // The ports that exist, sorted by name.
    virtual std::vector<std::string> list() = 0;
};

}  // namespace kvx
