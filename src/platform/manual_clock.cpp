#include "platform/manual_clock.h"

namespace kvx {

LocalDateTime ManualClock::localNow() {
    std::lock_guard lock(localMutex_);
    return local_;
}

void ManualClock::setLocal(const LocalDateTime& local) {
    std::lock_guard lock(localMutex_);
    local_ = local;
}

}  // namespace kvx
