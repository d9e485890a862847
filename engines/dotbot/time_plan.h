// How long to think about one move. The referee charges the time from sending "go" to
// reading the move, pipe and scheduling delays included, and a side whose clock runs out
// may lose, so the plan never spends the whole clock: it keeps a margin that grows with the
// clock, spends half of each increment, and spreads the banked time over the moves left.
#pragma once

#include <cstdint>

struct TimeControl {
    bool clock_known;     // whether a "time" line came
    int64_t own_ms;       // the last "time" value, increment included
    int64_t increment_ms; // the last "increment" value, 0 before any
    int64_t moves_left;   // this side's moves still to come in the game, about
    int64_t fixed_ms;     // a chosen time per move, 0 when none
    int64_t cap_ms;       // the most to spend on one move
};

// Milliseconds to think about the move now asked for; 0 means answer at once.
int64_t plan_move_time(const TimeControl& control);
