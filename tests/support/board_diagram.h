// Test helpers for the rules core: a fresh board, moves for a chosen side, and a text
// picture of part of the board so that golden positions read as diagrams.
#pragma once

#include "rules/board.h"

#include <cstdint>
#include <string>

// Sets the board up afresh, stamps too (which init_board keeps), at the size and under the
// rules.
void reset_rules_state(Board& board, int32_t cols = FENDREL_COLS, int32_t rows = FENDREL_ROWS,
                       const RuleSet& rules = {});

// Places a dot for `side` at (x, y); when the other side is to move, it first plays a
// harmless dot far from the action (isolated dots along the bottom rows).
void play_for(Board& board, int side, int32_t x, int32_t y);

// Places a dot for whichever side is to move; the point must be legal.
void play(Board& board, int32_t x, int32_t y);

// Rows y0..y1 of columns x0..x1, one text line per row:
//   .  empty      +  empty inside an enclosure or a base (the digit of its count above 1)
//   X  side 1     x  side 1 captured
//   O  side 2     o  side 2 captured
std::string board_diagram(const Board& board, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
