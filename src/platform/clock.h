#pragma once

#include <cstdint>

namespace kvx {

struct LocalDateTime {
    int year = 2000;   // full year, e.g. 2019
    int month = 1;     // 1 to 12
    int day = 1;       // day of month, 1 to 31
    int weekday = 6;   // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Time as the protocol code sees it: a steady millisecond tick, the local date and time, and sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t steadyMs() = 0;
    virtual LocalDateTime localNow() = 0;
    virtual void sleepMs(int ms) = 0;
};

}  // namespace kvx
