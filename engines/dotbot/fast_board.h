// The engine's own board: the same bordered layout, the same rules and the same captures as
// the rules core, but held in one plain struct of fixed arrays so that a search can copy a
// position cheaply and play many games at once. Any size the rules core takes can be set up,
// under either rule set.
//
// The frame of border cells one cell wide around the playable grid means that each of a
// playable cell's eight neighbours is a valid index: no neighbour step needs a bounds check.
// Cells are stored row by row; the playable point (x, y) is bordered row y + 1, column x + 1.
#pragma once

#include "rules/board.h"
#include "rules/rule_set.h"

#include <cstdint>

constexpr int32_t FAST_CAPACITY = (MAX_BOARD_SIDE + 2) * (MAX_BOARD_SIDE + 2);
constexpr int8_t FAST_EMPTY = 0;
constexpr int8_t FAST_BORDER = 3;

struct FastBoard {
    FastBoard() = default;
    // Copies only the cells of the board's size: a search copies its root for every playout.
    FastBoard(const FastBoard& other);
    FastBoard& operator=(const FastBoard& other);

    int32_t rows;
    int32_t cols;
    int32_t first_cell; // index of (0, 0)
    int32_t end_cell;   // one past the index of (cols - 1, rows - 1)
    int32_t offset[8];  // ring of neighbours, clockwise from north; even ones orthogonal
    int32_t side_to_move;
    int32_t score; // captured-dot balance seen from side_to_move
    int32_t stamp_counter;
    int32_t dots;                // dots placed so far
    int32_t grounded;            // the side that grounded, which ended the game; 0 while no one has
    RuleSet rules;               // the start position is not placed here: its dots come as moves
    int8_t owner[FAST_CAPACITY]; // FAST_EMPTY, 1, 2 or FAST_BORDER
    int16_t enclosed[FAST_CAPACITY]; // enclosure count; nonzero means captured or closed
    // Standard rules: the side whose base covers the cell, or 0.
    int8_t base[FAST_CAPACITY];
    // Standard rules: bit s - 1 is set when the cell stops no flood of side s and its region
    // behind s's walls is closed without being a base (an empty ring of s's, most often).
    int8_t ring[FAST_CAPACITY];
    int32_t stamp[FAST_CAPACITY]; // the capture search's visit marks, never cleared
};

// Whether a board of rows x cols can be set up: what the rules core takes, 3 to 64 a side.
bool board_fits(int64_t rows, int64_t cols);

// Sets up an empty board of rows x cols under the rules with side 1 to move; false (board
// untouched) when the size does not fit.
bool setup_board(FastBoard& board, int32_t rows, int32_t cols, const RuleSet& rules = {});

// Cell index of the point (x, y), computed from the index formula alone as the referee does
// (a column past the right edge names a cell of the next row), or -1 when the index falls
// outside first_cell .. end_cell - 1.
int32_t point_cell(const FastBoard& board, int64_t x, int64_t y);

// The point of a playable cell index.
inline int32_t cell_x(const FastBoard& board, int32_t cell) {
    return cell % (board.cols + 2) - 1;
}
inline int32_t cell_y(const FastBoard& board, int32_t cell) {
    return cell / (board.cols + 2) - 1;
}

// Whether a dot may go on a cell by the board alone: empty and inside no enclosure or base.
// Under the standard rules with suicide refused, is_legal_move also asks whether it would be
// captured at once.
inline bool can_take_dot(const FastBoard& board, int32_t cell) {
    return board.owner[cell] == FAST_EMPTY && board.enclosed[cell] == 0;
}

// Whether the cell lies in a closed region of side's walls that is no base: under the
// standard rules an empty ring of side's, where the other side's dot is captured at once
// unless it captures, and side's own dot changes nothing. Never under ours.
inline bool in_ring_of(const FastBoard& board, int32_t cell, int32_t side) {
    return ((board.ring[cell] >> (side - 1)) & 1) != 0;
}

// Whether a dot of side on a cell that can take one would capture nothing and be captured
// at once (the standard rules; never under ours).
bool is_suicide(FastBoard& board, int32_t cell, int32_t side);

// Whether a dot of side on the cell is worth a thought: it can take one, would not be
// captured at once, and lies in no empty ring of side's own, where it would change nothing.
// Under our rules every cell that can take a dot.
inline bool worth_playing(FastBoard& board, int32_t cell, int32_t side) {
    return can_take_dot(board, cell) && !in_ring_of(board, cell, side) &&
           !is_suicide(board, cell, side);
}

// Whether the side to move may place a dot on the cell, as the referee judges it.
bool is_legal_move(FastBoard& board, int32_t cell);

// Whether any of the eight neighbours of a playable cell holds a dot.
bool touches_dot(const FastBoard& board, int32_t cell);

// Puts a dot of the side to move on a cell that can take it, records every enclosure or base
// it completes under the board's rules, then hands the turn over.
void put_dot(FastBoard& board, int32_t cell);

// What side's captured-dot balance would gain from a dot on a cell that can take one,
// whoever is to move; -1 for a dot captured at once. The board is left as it was but for
// the search's visit marks. Under our rules, when one dot closes two regions that share
// a doubly enclosed dot of side, the figure may differ by that dot from what put_dot scores.
int32_t probe_gain(FastBoard& board, int32_t cell, int32_t side);

// The first cell where the side to move may place a dot, or -1: the game is over when there
// is none, as the referee judges it (a refused suicide all that is left ends it too).
int32_t first_legal_cell(FastBoard& board);
