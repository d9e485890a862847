// Monte Carlo tree search for the side to move: UCT with all-moves-as-first statistics and
// tactical priors, over short playouts; each thread grows its own tree and the trees'
// root counts are added up at the end.
#pragma once

#include "engines/dotbot/fast_board.h"

#include <atomic>
#include <chrono>
#include <cstdint>

struct SearchLimits {
    std::chrono::steady_clock::time_point deadline; // stop by then
    int64_t playouts;                               // stop after this many in all; 0: none
    int threads;
    uint64_t seed;
};

struct SearchReport {
    int32_t cell;     // the move chosen, or -1 when no cell can take a dot
    int64_t playouts; // done in all threads
    double win_rate;  // the chosen move's estimated chance of winning, 0 to 1
};

// Chooses a move for the side to move; last and previous are the two latest dots (-1 when
// there are none), where the fight is. Stops at the deadline, after the playout count or as
// soon as `stop` is set, and returns a move whenever one exists, even with no time at all.
SearchReport search_move(const FastBoard& board, int32_t last, int32_t previous,
                         const SearchLimits& limits, const std::atomic<bool>& stop);
