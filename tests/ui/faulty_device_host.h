#pragma once

// Simulated devices on the in-memory network, served as SimNetworkDeviceHost serves them, but with the faults
// of a real network between them and the PC: the answers to chosen requests, and the reports, can be lost,
// duplicated, truncated, reordered or delayed into the next exchange, and the devices can vanish (no request
// reaches them, nothing comes back) and return.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/sim_network.h"
#include "protocol/udp_link.h"
#include "simulator/device_dispatch.h"

namespace kvx {

enum class LinkFault {
    None,
    Lost,        // never sent
    Duplicated,  // sent twice
    Truncated,   // cut to half its length
    Reordered,   // every other one held back and sent just after the next datagram of its kind
    Late,        // every other one held back past its exchange and sent just before the next of its kind
};

inline const char* faultName(LinkFault fault) {
    switch (fault) {
        case LinkFault::None:
            return "None";
        case LinkFault::Lost:
            return "Lost";
        case LinkFault::Duplicated:
            return "Duplicated";
        case LinkFault::Truncated:
            return "Truncated";
        case LinkFault::Reordered:
            return "Reordered";
        case LinkFault::Late:
            return "Late";
    }
    return "?";
}

class FaultyDeviceHost {
public:
    FaultyDeviceHost(SimNetwork& network, uint32_t address, DeviceList devices)
        : network_(network), address_(address), devices_(std::move(devices)) {
        network_.listen(address_, kControlPort, [this](std::span<const uint8_t> datagram, Ipv4Endpoint from) {
            if (gone()) return;
            {
                std::lock_guard lock(mutex_);
                pc_ = from.address;
            }
            const std::optional<uint8_t> code =
                datagram.size() > frame::kCommandOffset ? std::optional(datagram[frame::kCommandOffset])
                                                        : std::nullopt;
            deliverRequest(devices_, datagram, [this, code, from](const Bytes& answer) {
                pass(answerFaultFor(code), answers_, answer, from);
            });
        });
        for (SimulatedDevice* device : devices_) {
            device->setReportSink([this](const Bytes& report) {
                uint32_t pc;
                LinkFault fault;
                {
                    std::lock_guard lock(mutex_);
                    pc = pc_;
                    fault = reportFault_;
                }
                if (pc != 0 && !gone()) pass(fault, reports_, report, {pc, kReportPort});
            });
        }
    }
    ~FaultyDeviceHost() {
        for (SimulatedDevice* device : devices_) device->setReportSink({});
        network_.unlisten(address_, kControlPort);
    }
    FaultyDeviceHost(const FaultyDeviceHost&) = delete;
    FaultyDeviceHost& operator=(const FaultyDeviceHost&) = delete;

    // The fault of the answers to requests with this command code (byte 16); a text's answer has none.
    void setAnswerFault(uint8_t code, LinkFault fault) {
        std::lock_guard lock(mutex_);
        answerCode_ = code;
        answerFault_ = fault;
    }
    void setReportFault(LinkFault fault) {
        std::lock_guard lock(mutex_);
        reportFault_ = fault;
    }
    // A device that is gone takes no request and sends nothing; what it held back is lost.
    void vanish() {
        std::lock_guard lock(mutex_);
        gone_ = true;
        answers_.held.reset();
        reports_.held.reset();
    }
    void comeBack() {
        std::lock_guard lock(mutex_);
        gone_ = false;
    }

private:
    // Datagrams of one kind (answers or reports): the one held back, and where it goes.
    struct Stream {
        std::optional<Bytes> held;
        Ipv4Endpoint heldTo{};
        bool heldGoesFirst = false;
    };

    bool gone() {
        std::lock_guard lock(mutex_);
        return gone_;
    }
    LinkFault answerFaultFor(std::optional<uint8_t> code) {
        std::lock_guard lock(mutex_);
        return code == answerCode_ ? answerFault_ : LinkFault::None;
    }

    // Sends a datagram through a fault. One held back from before goes with it, first or after it, and then
    // this one is not held back itself: held back, one datagram swaps places with the next.
    void pass(LinkFault fault, Stream& stream, const Bytes& datagram, Ipv4Endpoint to) {
        std::optional<Bytes> held;
        Ipv4Endpoint heldTo{};
        bool heldFirst = false;
        {
            std::lock_guard lock(mutex_);
            held.swap(stream.held);
            heldTo = stream.heldTo;
            heldFirst = stream.heldGoesFirst;
            if (fault == LinkFault::Reordered || fault == LinkFault::Late) {
                if (held) {
                    fault = LinkFault::None;
                } else {
                    stream.held = datagram;
                    stream.heldTo = to;
                    stream.heldGoesFirst = fault == LinkFault::Late;
                }
            }
        }
        const Ipv4Endpoint self{address_, kControlPort};
        if (held && heldFirst) network_.sendFrom(self, *held, heldTo);
        switch (fault) {
            case LinkFault::None:
                network_.sendFrom(self, datagram, to);
                break;
            case LinkFault::Duplicated:
                network_.sendFrom(self, datagram, to);
                network_.sendFrom(self, datagram, to);
                break;
            case LinkFault::Truncated:
                network_.sendFrom(self, std::span(datagram).first(datagram.size() / 2), to);
                break;
            case LinkFault::Lost:
            case LinkFault::Reordered:
            case LinkFault::Late:
                break;
        }
        if (held && !heldFirst) network_.sendFrom(self, *held, heldTo);
    }

    SimNetwork& network_;
    const uint32_t address_;
    const DeviceList devices_;
    std::mutex mutex_;
    uint32_t pc_ = 0;
    bool gone_ = false;
    std::optional<uint8_t> answerCode_;
    LinkFault answerFault_ = LinkFault::None;
    LinkFault reportFault_ = LinkFault::None;
    Stream answers_;
    Stream reports_;
};

}  // namespace kvx
