// korvelux-sim: simulated KORVELUX devices on a real UDP socket and/or a pseudo terminal.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/system_platform.h"
#include "pty_master.h"
#include "request_log.h"
#include "sim_options.h"
#include "simulator/demo_devices.h"
#include "simulator/front_panel_commands.h"
#include "simulator/front_panel_demo.h"
#include "simulator/multiviewer_device.h"
#include "simulator/serial_device_host.h"
#include "simulator/udp_device_host.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;
constexpr int kSerialPauseMs = 50;

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string endpointText(kvx::Ipv4Endpoint endpoint) {
    return kvx::formatIpv4(endpoint.address) + ":" + std::to_string(endpoint.port);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = kvx::parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "korvelux-sim: %s (see --help)\n", error.c_str());
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(kvx::simUsage(), stdout);
        return 0;
    }

    // Every thread started below inherits this mask, so the signals wait for sigwait() here.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    const auto devices = kvx::makeSimulatedDevices(options->devices);
    kvx::DeviceList deviceList;
    for (const auto& device : devices) {
        for (uint8_t code : options->ignoredCommands) device->ignoreCommand(code);
        deviceList.push_back(device.get());
    }

    kvx::PosixNetwork network;
    std::unique_ptr<kvx::UdpDeviceHost> udpHost;
    if (options->udp) {
        udpHost = std::make_unique<kvx::UdpDeviceHost>(
            network, deviceList, [](kvx::Ipv4Endpoint from, std::span<const uint8_t> request) {
                kvx::logRequest(endpointText(from), request);
            });
        if (!udpHost->start(options->bind)) {
            std::fprintf(stderr, "korvelux-sim: cannot bind %s\n", endpointText(options->bind).c_str());
            return kExitFailure;
        }
        say("listening on " + endpointText(options->bind));
    }

    kvx::SystemClock clock;
    std::unique_ptr<kvx::PtyMaster> pty;
    std::unique_ptr<kvx::SerialDeviceHost> serialHost;
    if (options->serial) {
        pty = kvx::PtyMaster::open();
        if (!pty) {
            std::fprintf(stderr, "korvelux-sim: cannot open a pty\n");
            return kExitFailure;
        }
        serialHost = std::make_unique<kvx::SerialDeviceHost>(
            *pty, *devices.front(), clock, kvx::SerialReplyPacing{options->serialPieces, kSerialPauseMs},
            [](std::span<const uint8_t> request) { kvx::logRequest("pty", request); });
        say("pty: " + pty->slavePath());
    }

    std::vector<std::unique_ptr<kvx::FrontPanelDemo>> frontPanels;
    if (options->frontPanelDemo) {
        for (const auto& device : devices) {
            if (auto* multiviewer = dynamic_cast<kvx::MultiviewerDevice*>(device.get()))
                frontPanels.push_back(
                    std::make_unique<kvx::FrontPanelDemo>(*multiviewer, options->frontPanelIntervalMs));
        }
    }

    if (options->frontPanelInput) {
        kvx::MultiviewerDevice* multiviewer = nullptr;
        for (const auto& device : devices) {
            if (!multiviewer) multiviewer = dynamic_cast<kvx::MultiviewerDevice*>(device.get());
        }
        if (!multiviewer) {
            std::fprintf(stderr, "korvelux-sim: --front-panel-input needs a multiviewer\n");
            return kExitUsage;
        }
        // Reads until the end of its input; the program ends by its signals, with the reader still waiting.
        std::thread([multiviewer] {
            for (std::string line; std::getline(std::cin, line);) {
                const kvx::FrontPanelResult result = kvx::applyFrontPanelCommand(*multiviewer, line);
                const char* word = result == kvx::FrontPanelResult::Done      ? "done"
                                   : result == kvx::FrontPanelResult::Refused ? "refused"
                                                                              : "unknown";
                say(std::string("front-panel: ") + word + " " + line);
            }
        }).detach();
    }

    int signal = 0;
    sigwait(&stopSignals, &signal);
    frontPanels.clear();
    serialHost.reset();
    udpHost.reset();
    return 0;
}
