#include <gtest/gtest.h>

#include "platform/manual_clock.h"

namespace kvx {
namespace platform_manual_clock_test {

TEST(ManualClock, StandsStillUntilSleptOrAdvanced) {
    ManualClock clock(1000);
    EXPECT_EQ(clock.steadyMs(), 1000);
    EXPECT_EQ(clock.steadyMs(), 1000);
    clock.sleepMs(2000);
    EXPECT_EQ(clock.steadyMs(), 3000);
    clock.advance(5);
    EXPECT_EQ(clock.steadyMs(), 3005);
}

TEST(ManualClock, ReportsTheLocalTimeItWasGiven) {
    ManualClock clock;
    LocalDateTime local;
    local.year = 2019;
    local.month = 8;
    local.day = 21;
    local.weekday = 3;
    local.hour = 14;
    local.minute = 5;
    local.second = 9;
    clock.setLocal(local);
    const LocalDateTime seen = clock.localNow();
    EXPECT_EQ(seen.year, 2019);
    EXPECT_EQ(seen.month, 8);
    EXPECT_EQ(seen.day, 21);
    EXPECT_EQ(seen.weekday, 3);
    EXPECT_EQ(seen.hour, 14);
    EXPECT_EQ(seen.minute, 5);
    EXPECT_EQ(seen.second, 9);
}

}  // namespace platform_manual_clock_test
}  // namespace kvx
