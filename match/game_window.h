// The window's part in a game worker, which has no window: the game loop's thread and the
// engines' reader threads play it in turn, holding window_part (referee/held_window.h). A
// reader runs its own hand-off (a move, a refused move line, the end of its output) and then
// the game's judge, which learns which engine sent it and whether the referee refused the
// move it carried, instead of a message box being shown. Nothing is displayed, so the clock
// timer and repaint requests do nothing. Every line an engine writes is noted with its tick,
// so that the loop can tell when the side to move has fallen silent.
#pragma once

#include <cstdint>
#include <mutex>

class EngineProcess;

struct HandOff {
    EngineProcess* sender = nullptr; // the engine whose reader ran it
    uint32_t tick = 0;               // when it began to run
    bool refused = false;            // the referee refused the move it carried
};

// Opens the window for a game, with the calling thread as the game loop's, holding the
// window's part. From now on every hand-off is followed by judge(), on the reader's thread
// and still under the lock.
std::unique_lock<std::mutex> game_window_open(void (*judge)(const HandOff&));

// The tick of the engine's latest line; false while it has written none.
bool last_line_tick(const EngineProcess& engine, uint32_t& tick);

// Refuses every later hand-off, so that none runs in a game that is over; the caller holds
// the window's part.
void game_window_close();
