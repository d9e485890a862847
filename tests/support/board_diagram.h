// Test helpers for the rules core: a fresh board, moves for a chosen side, and a text
// picture of part of the board so that golden positions read as diagrams.
#pragma once

#include <cstdint>
#include <string>

// Clears every array and counter (stamps too, which init_board keeps) and sets up the board.
void reset_rules_state();

// Places a dot for `side` at (x, y); when the other side is to move, it first plays a
// harmless dot far from the action (isolated dots along the bottom rows).
void play_for(int side, int32_t x, int32_t y);

// Places a dot for whichever side is to move; the point must be legal.
void play(int32_t x, int32_t y);

// Rows y0..y1 of columns x0..x1, one text line per row:
//   .  empty      +  empty inside an enclosure (the digit of its count when above 1)
//   X  side 1     x  side 1 captured
//   O  side 2     o  side 2 captured
std::string board_diagram(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
