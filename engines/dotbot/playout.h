// Playouts: a game continued from a position by a fast policy that captures what it can
// near the latest dots, blocks the opponent's captures there, and otherwise plays close to
// the fight, never where its dot would be captured at once or inside its own empty rings.
// Under the standard rules the side to move at the end grounds when that wins the game.
#pragma once

#include "engines/dotbot/fast_board.h"
#include "engines/dotbot/random.h"

#include <cstdint>

// Cells where a dot would capture, for either side: where the policy looks for captures
// and blocks besides the neighbours of the latest dots. Seeded from a full scan of the
// position the playout starts near, kept up to date as the playout goes.
constexpr int32_t MAX_WATCH = 16;
struct Watch {
    int32_t cells[MAX_WATCH];
    int32_t count;
};

// The moves of one simulation, in order, for the all-moves-as-first statistics.
struct MoveTrace {
    int32_t cells[FAST_CAPACITY];
    int32_t length;
};

// How a playout ended: side 1's captured-dot balance, and the side that won by grounding
// at the end (0 when no side did: the balance is then an estimate of a game going on).
struct PlayoutEnd {
    int32_t balance;
    int32_t grounded_winner;
};

// Plays up to max_moves dots on board from the policy, appending each to trace; `last` is
// the latest dot and `previous` the one before it (-1 when there is none); stops early
// when the side to move has no cell worth playing.
PlayoutEnd run_playout(FastBoard& board, int32_t last, int32_t previous, Watch watch,
                       int32_t max_moves, Rng& rng, MoveTrace& trace);
