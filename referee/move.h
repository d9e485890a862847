// Move handling: the one way a move enters the game, whatever its source.
#pragma once

#include "referee/window.h"

#include <cstdint>

// What became of a move.
struct MoveResult {
    Refusal refusal = Refusal::none; // none when it was applied
    bool game_over = false;          // applied, and no cell can take a dot any more
};

// Checks and plays (x, y) for the side to move: charges its clock, places the dot with its
// captures, shows the score, asks for a repaint, and unless the game is over relays the
// move and a clock block to the engine of the side now to move. Shows "illegal move!" for
// a refused move. Runs on the window's thread.
MoveResult play_move(int32_t x, int32_t y);

// play_move for callers that only need to know whether it was played: 1 when applied, 0
// when refused.
int make_move(int32_t x, int32_t y);

// Shows the box of a refused move, "illegal move!" captioned "error".
void show_refusal();
