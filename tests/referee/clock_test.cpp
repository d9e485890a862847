// The game clock: its display, the increment and the charge, across the tick count's wrap.
#include "fake_window.h"
#include "recording_engines.h"
#include "referee/clock.h"
#include "referee/move.h"
#include "referee_fixture.h"
#include "rules/board.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct DisplayCase {
    int32_t remaining;
    const char* shown;
    uint32_t next_refresh;
};

TEST(ClockDisplay, TextAndNextRefreshForRemainingTimes) {
    const DisplayCase cases[] = {
        {10000, "0:10", 1000},    {5700, "0:06", 700},
        {5300, "0:05", 1300},     {1000, "0:01", 1000},
        {999, "0:01", 999},       {500, "0:01", 500},
        {499, "0:00", 1499},      {0, "0:00", 1000},
        {-1, "-:--", 999},        {-999, "-:--", 1},
        {-1000, "-:--", 1000},    {59499, "0:59", 1499},
        {59500, "1:00", 500},     {599500, "10:00", 500},
        {INT32_MIN, "-:--", 352}, {INT32_MAX, "35791:24", 647},
    };
    for (const auto& c : cases) {
        char text[32];
        format_clock_text(c.remaining, text, sizeof text);
        EXPECT_STREQ(text, c.shown) << c.remaining;
        EXPECT_EQ(clock_refresh_delay(c.remaining), c.next_refresh) << c.remaining;
    }
}

using ClockTest = RefereeTest;

TEST_F(ClockTest, NothingShownAndNoTimerBeforeTheFirstMove) {
    start_at(1000);
    for (const auto& event : fake_window::events())
        EXPECT_EQ(event.rfind("arm_timer", 0), std::string::npos) << event;
    EXPECT_EQ(fake_window::status_text(1), "");
    EXPECT_EQ(fake_window::status_text(3), "");
    EXPECT_FALSE(fake_window::timer_armed());
}

TEST_F(ClockTest, DisplayCountsDownOnWholeSecondsAndGoesOnPastZero) {
    start_at(0);
    engine_moves_at(3000, engine1, 5, 5); // side 2 now has 10000 ms
    EXPECT_EQ(fake_window::status_text(3), "0:10");
    EXPECT_EQ(fake_window::timer_delay(), 1000u);

    fake_window::set_tick(3000 + 1000 + 250); // a late expiry
    on_clock_timer();
    EXPECT_EQ(fake_window::status_text(3), "0:09");
    EXPECT_EQ(fake_window::timer_delay(), 750u);

    fake_window::set_tick(3000 + 10001);
    on_clock_timer();
    EXPECT_EQ(fake_window::status_text(3), "-:--");
    EXPECT_EQ(fake_window::timer_delay(), 999u);
    EXPECT_EQ(fake_window::status_text(1), ""); // side 1's part keeps its last text
}

TEST_F(ClockTest, ChargeStopsAtZeroAndTheNextBlockCarriesTheIncrement) {
    start_at(0);
    engine_moves_at(1000, engine1, 1, 1);
    engine_moves_at(2000, engine2, 2, 2);
    side1_clock_ms = 3000; // side 1's turn began at 2000 with 3000 ms left
    engine_moves_at(2000 + 5000, engine1, 3, 3);
    EXPECT_EQ(side1_clock_ms, 0u);
    engine_moves_at(7000, engine2, 4, 4);
    EXPECT_EQ(writes(engine1).back(), "move 4 4\ntime 10000\notime 19000\ngo\n");
}

TEST_F(ClockTest, AppliedMoveReportsWhatItsClockWasCharged) {
    start_at(100);
    engine_moves_at(1334, engine1, 1, 1);
    engine_moves_at(1334, engine2, 2, 2);
    side1_clock_ms = 3000; // side 1's turn began at 1334 with 3000 ms left
    engine_moves_at(1334 + 5000, engine1, 3, 3);
    std::vector<uint32_t> charged;
    for (const LineReport& report : fake_window::reports())
        if (report.outcome == LineOutcome::applied)
            charged.push_back(report.move_ms);
    // The time past the clock is not charged, so it is not the move's time either: the times
    // add up with the clocks.
    EXPECT_EQ(charged, (std::vector<uint32_t>{1234, 0, 3000}));
    EXPECT_EQ(side1_clock_ms, 0u);
    EXPECT_EQ(side2_clock_ms, 20000u);
}

TEST_F(ClockTest, TurnAcrossTheTickCountWrapIsChargedTheTimeThatPassed) {
    start_at(0xFFFFF000u);
    engine_moves_at(0x00000800u, engine1, 1, 1); // 0x1800 = 6144 ms later
    EXPECT_EQ(side1_clock_ms, 10000u - 6144u);
    EXPECT_EQ(writes(engine2).back(), "move 1 1\ntime 10000\notime 3856\ngo\n");
}

TEST_F(ClockTest, InstantMovesAccumulateTheIncrement) {
    start_at(500);
    for (int n = 0; n < 4; ++n) {
        engine_moves_at(500, engine1, 2 * n, 0);
        engine_moves_at(500, engine2, 2 * n, 5);
    }
    // Side 1 has been asked to move five times, side 2 four times.
    EXPECT_EQ(side1_clock_ms, 50000u);
    EXPECT_EQ(side2_clock_ms, 40000u);
    EXPECT_EQ(fake_window::status_text(1), "0:50");
    EXPECT_EQ(fake_window::status_text(3), "0:40");
}

TEST_F(ClockTest, ThirdTurnOfAPersonShowsThirtySeconds) {
    fresh_game(false, false);
    start_at(0);
    make_move(0, 0);
    make_move(0, 5);
    make_move(2, 0);
    make_move(2, 5);
    EXPECT_EQ(fake_window::status_text(1), "0:30");
}

} // namespace
