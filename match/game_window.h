// The window's part in a game worker, which has no window: the thread that runs the game
// loop is the window's thread. The engines' reader threads queue their hand-offs (moves,
// refused move lines, the end of their output) and wait; the game loop runs them one at a
// time and learns of each which engine sent it and whether the referee refused the move it
// carried, instead of showing a message box. Nothing is displayed, so the clock timer and
// repaint requests do nothing. Every line an engine writes is noted with its tick, so that
// the loop can tell when the side to move has fallen silent.
#pragma once

#include <cstdint>

class EngineProcess;

struct HandOff {
    EngineProcess* sender = nullptr; // the engine whose reader queued it
    uint32_t tick = 0;               // when it began to run
    bool refused = false;            // the referee refused the move it carried
};

// Opens the window for a game: from now on hand-offs wait for the game loop.
void game_window_open();

// Waits until a hand-off is queued or deadline_tick has come; runs the hand-off and
// describes it, or returns false at the deadline.
bool run_next_hand_off(uint32_t deadline_tick, HandOff& done);

// The tick of the engine's latest line; false while it has written none.
bool last_line_tick(const EngineProcess& engine, uint32_t& tick);

// Refuses queued and future hand-offs and wakes every reader that waits, so that no reader
// is left waiting on a game that is over.
void game_window_close();
