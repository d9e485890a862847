// Both clocks of a results file's game at any of its moves. The record keeps only each move's
// time and the clocks at the end; the increment they were credited with is found from those.
#pragma once

#include "records/game_record.h"

#include <cstdint>

// Whether a recorded move time is a time at all. fendrel-match before it took each move's time
// from its clock's charge could record a move as a few milliseconds below zero, written
// unsigned: a number near 2^32 (49 days). No move takes 2^31 ms (24 days), so a time from
// there on is such a negative time, and unknown.
bool move_time_known(uint32_t ms);

// Each side's clock after the record's first `moves` dots, found by replaying the clock with
// the increment that gives the recorded clocks at the end (to within the rounding of the
// move times of older files). An unknown move time is rebuilt from the rest: its side's
// clock at the end less what its known times and increments explain, spread over its unknown
// times. False when no increment fits (the record's times do not add up), and the clocks are
// then unknown before the end.
bool clocks_after(const GameRecord& record, int moves, uint32_t clocks[2]);

// Each side's clock after the first `moves` dots of a game still being played, which has no
// clocks at the end yet: run forward from each side's increment over its move times. False
// when the record does not keep the increments.
bool running_clocks_after(const GameRecord& record, int moves, uint32_t clocks[2]);
