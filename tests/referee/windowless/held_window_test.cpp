// The window's part held by whichever thread runs a hand-off: a reader's hand-off runs whole
// under the lock with its follow-up, and only while the game loop waits; none runs once the
// window is closed; the game loop's wait ends when woken or at its deadline, not before.
#include "referee/window.h"
#include "referee/windowless/held_window.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// All guarded by window_part_lock.
int runs = 0;              // hand-offs run
int follow_ups = 0;        // follow-ups run, each right after its reader's hand-off
bool loop_waiting = false; // the game loop is inside its wait, the lock given up

void count_run(void*) {
    ++runs;
}

// A reader's follow-up: counts, checks that the loop had given up the lock, and wakes it.
void count_follow_up() {
    EXPECT_TRUE(loop_waiting);
    EXPECT_EQ(follow_ups + 1, runs - 1); // the loop's own hand-off has none
    ++follow_ups;
    wake_game_loop();
}

TEST(HeldWindow, ReaderHandOffRunsUnderTheLockUntilTheWindowCloses) {
    std::unique_lock held = open_held_window();
    runs = 0;
    follow_ups = 0;
    // The game loop's own thread runs a hand-off at once, as it already holds the lock.
    EXPECT_TRUE(run_in_held_window(count_run, nullptr, count_follow_up));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(follow_ups, 0);

    // The reader gets the lock only while the loop waits; its follow-up ends the wait.
    bool reader_result = false;
    std::thread reader(
        [&] { reader_result = run_in_held_window(count_run, nullptr, count_follow_up); });
    loop_waiting = true;
    wait_in_held_window(held, 0, true);
    loop_waiting = false;
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(follow_ups, 1);
    held.unlock();
    reader.join();
    held.lock();
    EXPECT_TRUE(reader_result);

    close_held_window();
    held.unlock();
    std::thread late(
        [&] { reader_result = run_in_held_window(count_run, nullptr, count_follow_up); });
    late.join();
    EXPECT_FALSE(reader_result);
    std::lock_guard guard(window_part_lock);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(follow_ups, 1);
}

TEST(HeldWindow, GameLoopWaitEndsWhenWokenOrAtItsDeadlineAndNotBefore) {
    std::unique_lock held = open_held_window();
    const uint32_t deadline = tick_count() + 30;
    wait_in_held_window(held, deadline, false);
    EXPECT_GE(static_cast<int32_t>(tick_count() - deadline), 0);

    // A deadline already past returns without a wake (nothing else would end it).
    wait_in_held_window(held, tick_count() - 1000, false);

    // A hand-off that wakes the loop ends a wait for ever.
    std::thread reader([] { run_in_held_window([](void*) {}, nullptr, wake_game_loop); });
    wait_in_held_window(held, 0, true);
    held.unlock();
    reader.join();
    held.lock();
    close_held_window();
}

} // namespace
