// The dots placed before the first move: none, or the dots world's crosses. A cross at
// (x0, y0) is side 1 at (x0, y0) and (x0 + 1, y0 + 1), side 2 at (x0 + 1, y0) and
// (x0, y0 + 1).
#pragma once

#include "rules/board.h"

// Whether the start position's crosses fit apart on a board of cols x rows.
bool start_position_fits(StartPosition start, int32_t cols, int32_t rows);

// Places the board's start position (board.rules.start) on its empty board; side 1 still
// moves first. Where it does not fit, the board stays empty.
void place_start_position(Board& board);
