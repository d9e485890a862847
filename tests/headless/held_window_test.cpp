// The window's part held by whichever thread runs a hand-off: a reader's hand-off runs whole
// under the lock with its follow-up, none runs once the window is closed, and the game loop's
// wait ends when woken or at its deadline.
#include "referee/held_window.h"
#include "referee/window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Both guarded by window_part.
int runs = 0;       // hand-offs run
int follow_ups = 0; // follow-ups run, each right after its reader's hand-off
std::atomic<bool> reader_started{false};

void count_run(void*) {
    ++runs;
}

void count_follow_up() {
    EXPECT_EQ(follow_ups + 1, runs - 1); // the loop's own hand-off has none
    ++follow_ups;
}

TEST(HeldWindow, ReaderHandOffRunsUnderTheLockUntilTheWindowCloses) {
    std::unique_lock held = open_held_window();
    runs = 0;
    follow_ups = 0;
    // The game loop's own thread runs a hand-off at once, as it already holds the lock.
    EXPECT_TRUE(run_in_held_window(count_run, nullptr, count_follow_up));
    EXPECT_EQ(runs, 1);

    bool reader_result = false;
    std::thread reader([&] {
        reader_started = true;
        reader_result = run_in_held_window(count_run, nullptr, count_follow_up);
    });
    while (!reader_started)
        std::this_thread::yield();
    // The reader waits for the lock, which the loop gives up only while it waits.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(runs, 1);
    wait_in_held_window(held, tick_count() + 50, false);
    held.unlock();
    reader.join();
    held.lock();
    EXPECT_TRUE(reader_result);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(follow_ups, 1);

    close_held_window();
    held.unlock();
    std::thread late(
        [&] { reader_result = run_in_held_window(count_run, nullptr, count_follow_up); });
    late.join();
    EXPECT_FALSE(reader_result);
    std::lock_guard guard(window_part);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(follow_ups, 1);
}

TEST(HeldWindow, GameLoopWaitEndsWhenWokenOrAtItsDeadline) {
    std::unique_lock held = open_held_window();
    const auto start = std::chrono::steady_clock::now();
    wait_in_held_window(held, tick_count() + 30, false);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));

    // A deadline already past returns at once.
    const auto past = std::chrono::steady_clock::now();
    wait_in_held_window(held, tick_count() - 1000, false);
    EXPECT_LT(std::chrono::steady_clock::now() - past, std::chrono::seconds(1));

    // A hand-off that wakes the loop ends a wait for ever.
    std::thread reader([] { run_in_held_window([](void*) {}, nullptr, wake_game_loop); });
    wait_in_held_window(held, 0, true);
    held.unlock();
    reader.join();
    held.lock();
    close_held_window();
}

} // namespace
