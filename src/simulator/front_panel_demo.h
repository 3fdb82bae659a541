#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

#include "simulator/multiviewer_device.h"

namespace kvx {

// Plays an operator at the multiviewer's own front panel: a change every few seconds, in a fixed cycle
// (layout, a window's source, a UMD switch, a label colour, a window's signal), each one reported to the
// PC as a real front-panel change is.
class FrontPanelDemo {
public:
    static constexpr int kDefaultIntervalMs = 4000;

    // intervalMs 0 starts no thread: the caller then calls step() itself.
    explicit FrontPanelDemo(MultiviewerDevice& device, int intervalMs = kDefaultIntervalMs);
    ~FrontPanelDemo();
    FrontPanelDemo(const FrontPanelDemo&) = delete;
    FrontPanelDemo& operator=(const FrontPanelDemo&) = delete;

    // Makes the next change of the cycle at once.
    void step();

private:
    void run(int intervalMs);

    MultiviewerDevice& device_;
    size_t next_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace kvx
