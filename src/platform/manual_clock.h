#pragma once

#include <atomic>
#include <mutex>

#include "platform/clock.h"

namespace kvx {

// A clock for tests and simulations: time stands still until someone sleeps, and a sleep moves it on at once.
class ManualClock : public Clock {
public:
    explicit ManualClock(int64_t startMs = 0) : now_(startMs) {}
    int64_t steadyMs() override { return now_.load(); }
    LocalDateTime localNow() override;
    void sleepMs(int ms) override { advance(ms); }

    void advance(int64_t ms) { now_ += ms; }
    void setLocal(const LocalDateTime& local);

private:
    std::atomic<int64_t> now_;
    std::mutex localMutex_;
    LocalDateTime local_{};
};

}  // namespace kvx
