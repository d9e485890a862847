// The window's part in a program without a window: whichever thread holds `window_part_lock`
// plays it. The game loop holds it except while it waits for something to happen; a reader
// thread takes it to run its own hand-off, so that a move goes from one engine's reader
// straight to the other engine with no other thread to wake on the way. Moves still never
// overlap, and the game state is touched only under the lock.
#pragma once

#include <cstdint>
#include <mutex>

extern std::mutex window_part_lock;

// Makes the calling thread the game loop's, holding the window's part, and lets hand-offs
// run from now on.
std::unique_lock<std::mutex> open_held_window();

// Refuses every later hand-off; the caller holds the window's part.
void close_held_window();

// Runs fn(arg) as the window's part, as window_run_and_wait does: at once on the game loop's
// thread, which holds it already, else under the lock while the window is open; false when
// it is closed and fn did not run. On a reader thread, `after` runs next, still under the lock.
bool run_in_held_window(void (*fn)(void*), void* arg, void (*after)());

// The game loop's wait: gives up the window's part until wake_game_loop is called or the
// tick count reaches deadline_tick (never, when `for_ever`), then takes it back.
void wait_in_held_window(std::unique_lock<std::mutex>& held, uint32_t deadline_tick, bool for_ever);

// Wakes the game loop from its wait; the caller holds the window's part.
void wake_game_loop();
