// Both clocks of a results file's game at any of its moves. The record keeps only each move's
// time and the clocks at the end; the increment they were credited with is found from those.
#pragma once

#include "match/records/game_record.h"

#include <cstdint>

// Each side's clock after the record's first `moves` dots, found by replaying the clock with
// the increment that gives the recorded clocks at the end (to within the rounding of the
// move times). False when no increment does (the record's times do not add up), and the
// clocks are then unknown before the end.
bool clocks_after(const GameRecord& record, int moves, uint32_t clocks[2]);
