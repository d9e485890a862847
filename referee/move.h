// Move handling: the one way a move enters the game, whatever its source.
#pragma once

#include "referee/window.h"

#include <cstdint>

// What became of a move.
struct MoveResult {
    Refusal refusal = Refusal::none; // none when it was applied
    bool game_over = false;          // applied, and no cell can take a dot any more
    uint32_t charged_ms = 0;         // applied: what the mover's clock was charged
};

// Checks and plays (x, y) for the side to move: charges its clock, places the dot with its
// captures, shows the score, asks for a repaint, and unless the game is over relays the
// move and a clock block to the engine of the side now to move. Runs on the window's
// thread. It shows no box: whoever brought the move shows the box of its result
// (show_move_result), outside the window's part, so that a box holds up no other move.
MoveResult play_move(int32_t x, int32_t y);

// Grounds for the side to move, under rules that let it (the caller checks): charges its
// clock as for a move and ends the game, which its result says.
MoveResult play_ground();

// Shows the box a move's result calls for, on the calling thread, and returns once it is
// closed: "illegal move!" for a refused move, "Игра окончена" for the move that ended the
// game, none otherwise.
void show_move_result(const MoveResult& result);

// play_move and then its box, on the window's thread (a click): 1 when applied, 0 when
// refused.
int make_move(int32_t x, int32_t y);
