// Move handling: the one way a move enters the game, and the hand-offs by which the
// engines' reader threads bring their moves to the window's thread.
#pragma once

#include <cstdint>

class EngineProcess;

// Cell index of the most recent dot; 0 (a border cell) until the first move.
extern int32_t last_move_cell;

// Checks and plays (x, y) for the side to move: charges its clock, places the dot with its
// captures, shows the score, asks for a repaint, and unless the game is over relays the
// move and a clock block to the engine of the side now to move. Shows "illegal move!" for
// a refused move. Runs on the window's thread. Returns 1 when applied, 0 when refused.
int make_move(int32_t x, int32_t y);

// Reader-thread hand-offs: each runs its work on the window's thread and returns once it
// is done (or at once when the window is gone).
//
// A move line with two integers from `sender`: played when sender plays the side to move,
// otherwise refused like an illegal move.
void deliver_engine_move(EngineProcess& sender, int32_t x, int32_t y);
// A move line without two usable integers: refused like an illegal move.
void deliver_bad_move_line(EngineProcess& sender);
// The engine's output ended: its side passes to the mouse ("Engine1.exe exited" in part 5),
// unless it was told to quit.
void deliver_engine_exit(EngineProcess& engine);
