#include "referee/windowless/held_window.h"

#include "referee/window.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <thread>

std::mutex window_part_lock;

namespace {

// All guarded by window_part_lock.
std::condition_variable game_loop_wake;
uint64_t wakes = 0; // calls of wake_game_loop so far
bool window_open = false;
// Written before any reader thread of the game exists.
std::thread::id game_loop_thread;

} // namespace

std::unique_lock<std::mutex> open_held_window() {
    std::unique_lock held(window_part_lock);
    game_loop_thread = std::this_thread::get_id();
    window_open = true;
    return held;
}

void close_held_window() {
    window_open = false;
}

bool run_in_held_window(void (*fn)(void*), void* arg, void (*after)()) {
    if (std::this_thread::get_id() == game_loop_thread) {
        fn(arg);
        return true;
    }
    std::lock_guard held(window_part_lock);
    if (!window_open)
        return false;
    fn(arg);
    after();
    return true;
}

void wait_in_held_window(std::unique_lock<std::mutex>& held, uint32_t deadline_tick,
                         bool for_ever) {
    // A condition variable may return early by itself: only a wake or the deadline ends
    // this wait.
    const uint64_t wakes_before = wakes;
    while (wakes == wakes_before) {
        if (for_ever) {
            game_loop_wake.wait(held);
            continue;
        }
        const auto left = static_cast<int32_t>(deadline_tick - tick_count());
        if (left <= 0)
            return;
        game_loop_wake.wait_for(held, std::chrono::milliseconds(left));
    }
}

void wake_game_loop() {
    ++wakes;
    game_loop_wake.notify_one();
}
