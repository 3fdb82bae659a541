#include "simulator/front_panel_demo.h"

#include <array>
#include <chrono>

#include "multiviewer/multiviewer_codes.h"

namespace kvx {

namespace {
constexpr std::array<uint8_t, 4> kLayouts{90, 160, 40, 61};
constexpr std::array<uint8_t, 4> kSignalFormats{31, 27, 23, 16};  // 1080p60, 1080p50, 1080i60, 625i50
constexpr size_t kActions = 5;
}  // namespace

FrontPanelDemo::FrontPanelDemo(MultiviewerDevice& device, int intervalMs) : device_(device) {
    if (intervalMs > 0) thread_ = std::thread([this, intervalMs] { run(intervalMs); });
}

FrontPanelDemo::~FrontPanelDemo() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void FrontPanelDemo::step() {
    const size_t n = next_++;
    const size_t round = n / kActions;
    const auto small = [round](size_t modulo) { return static_cast<uint8_t>(round % modulo); };
    switch (n % kActions) {
        case 0:
            device_.changeLayout(kLayouts[round % kLayouts.size()]);
            break;
        case 1:
            device_.changeSource(small(9) + 1, static_cast<uint8_t>((round * 5) % 16 + 1));
            break;
        case 2:
            device_.switchUmd(small(16) + 1, small(2));
            break;
        case 3:
            device_.changeColour(mv::kSetUmdTextColor, small(16) + 1, small(14));
            break;
        default:
            device_.setSignal(small(16), round % 3 != 2, kSignalFormats[round % kSignalFormats.size()]);
            break;
    }
}

void FrontPanelDemo::run(int intervalMs) {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(intervalMs), [this] { return stopping_; })) {
        lock.unlock();
        step();
        lock.lock();
    }
}

}  // namespace kvx
