// dotbot's time plan: about a second and a half in the window, never the whole clock, and
// an answer at once when nothing is left.
#include "engines/dotbot/time_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TimeControl clock_of(int64_t own, int64_t increment, int64_t moves_left = 600) {
    return TimeControl{true, own, increment, moves_left, 0, 1500};
}

TEST(TimePlan, TheWindowsFreshClockGivesAboutASecondAndAHalf) {
    EXPECT_EQ(plan_move_time(clock_of(10000, 10000)), 1500);
    EXPECT_EQ(plan_move_time(clock_of(300000, 10000)), 1500);
}

TEST(TimePlan, NeverTheWholeClock) {
    for (int64_t increment : {0, 1, 5, 10, 20, 50, 100, 1000}) {
        for (int64_t own = increment; own < increment + 3000; own += 7) {
            for (int64_t moves_left : {0, 1, 10, 600}) {
                const int64_t plan = plan_move_time(clock_of(own, increment, moves_left));
                EXPECT_GE(plan, 0);
                // A margin for the pipes that grows with the clock.
                EXPECT_LE(plan, std::max<int64_t>(own - 5 - own / 4, 0)) << own << " " << increment;
            }
        }
    }
}

TEST(TimePlan, SmallIncrementsAreMostlySpent) {
    EXPECT_EQ(plan_move_time(clock_of(20, 20)), 10);
    EXPECT_EQ(plan_move_time(clock_of(100, 100)), 50);
    // Banked time is spread over the moves left, at most forty of them.
    EXPECT_EQ(plan_move_time(clock_of(20 + 400, 20)), 20);
    EXPECT_EQ(plan_move_time(clock_of(20 + 400, 20, 4)), 60);
}

TEST(TimePlan, ClockUsedUpMeansAtOnce) {
    EXPECT_EQ(plan_move_time(clock_of(0, 0)), 0);
    EXPECT_EQ(plan_move_time(clock_of(6, 10)), 0);
    EXPECT_EQ(plan_move_time(clock_of(-500, 10)), 0);
}

TEST(TimePlan, AChosenMoveTimeStaysWithinTheClock) {
    TimeControl control = clock_of(10000, 10000);
    control.fixed_ms = 5;
    EXPECT_EQ(plan_move_time(control), 5);
    control.fixed_ms = 9000;
    EXPECT_EQ(plan_move_time(control), 1500); // the cap still holds
    control.cap_ms = 60000;
    EXPECT_EQ(plan_move_time(control), 7495); // and so does the clock's margin
}

TEST(TimePlan, WithoutAClockTheChosenTimeOrTheCap) {
    EXPECT_EQ(plan_move_time(TimeControl{false, 0, 0, 600, 0, 1500}), 1500);
    EXPECT_EQ(plan_move_time(TimeControl{false, 0, 0, 600, 8, 1500}), 8);
}

} // namespace
