#include <gtest/gtest.h>

#include "ui/web/crash_reloads.h"

TEST(CrashReloads, ThreeWithinAMinuteThenNoneUntilTheOldestIsAMinuteOld)
{
    CrashReloads reloads;
    CrashReloads::Clock::time_point start{};
    using std::chrono::seconds;
    EXPECT_TRUE(reloads.Allow(start));
    EXPECT_TRUE(reloads.Allow(start + seconds(10)));
    EXPECT_TRUE(reloads.Allow(start + seconds(20)));
    EXPECT_FALSE(reloads.Allow(start + seconds(30)));
    EXPECT_FALSE(reloads.Allow(start + seconds(59))) << "a refusal is not counted, but the window holds";
    EXPECT_TRUE(reloads.Allow(start + seconds(60)));
    EXPECT_FALSE(reloads.Allow(start + seconds(61)));
    EXPECT_TRUE(reloads.Allow(start + seconds(200)));
}
