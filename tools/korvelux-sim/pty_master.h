#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace kvx {

// The device end of a pseudo terminal: the PC opens the slave path as its serial port. The simulator keeps
// a slave descriptor of its own open in raw mode, so the line has no echo before the PC configures it and
// reads on the master do not fail while no PC has the port open.
class PtyMaster : public SerialDevice {
public:
    // A new pty, or nullptr when the system refuses one.
    static std::unique_ptr<PtyMaster> open();
    ~PtyMaster() override;
    PtyMaster(const PtyMaster&) = delete;
    PtyMaster& operator=(const PtyMaster&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    bool configure(int baud) override;
    void setTimeouts(const SerialTimeouts& timeouts) override { timeouts_ = timeouts; }
    std::optional<size_t> inputCount() override;
    bool purge() override;
    bool discardInput() override;
    size_t read(uint8_t* buffer, size_t n) override;
    std::optional<size_t> write(const uint8_t* bytes, size_t n) override;
    bool waitForEvent(int timeoutMs) override;
    void cancelWait() override;
    void close() override;

private:
    PtyMaster(int master, int slave, int wakeRead, int wakeWrite, std::string slavePath);

    int master_;
    int slave_;
    int wakeRead_;
    int wakeWrite_;
    std::string slavePath_;
    SerialTimeouts timeouts_{};
};

}  // namespace kvx
