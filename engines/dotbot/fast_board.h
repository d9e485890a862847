// The engine's own board: the same bordered layout and the same capture search as the rules
// core, but held in one plain struct so that a search can copy a position cheaply and play
// many games at once. Any size that fits in FAST_CAPACITY cells can be set up.
//
// The frame of border cells one cell wide around the playable grid means that each of a
// playable cell's eight neighbours is a valid index: no neighbour step needs a bounds check.
// Cells are stored row by row; the playable point (x, y) is bordered row y + 1, column x + 1.
#pragma once

#include <cstdint>

constexpr int32_t FAST_CAPACITY = 2048;
constexpr int8_t FAST_EMPTY = 0;
constexpr int8_t FAST_BORDER = 3;

struct FastBoard {
    int32_t rows;
    int32_t cols;
    int32_t first_cell; // index of (0, 0)
    int32_t end_cell;   // one past the index of (cols - 1, rows - 1)
    int32_t offset[8];  // ring of neighbours, clockwise from north; even ones orthogonal
    int32_t side_to_move;
    int32_t score; // captured-dot balance seen from side_to_move
    int32_t stamp_counter;
    int32_t dots;                    // dots placed so far
    int8_t owner[FAST_CAPACITY];     // FAST_EMPTY, 1, 2 or FAST_BORDER
    int16_t enclosed[FAST_CAPACITY]; // enclosure count; nonzero means inside an enclosure
    int32_t stamp[FAST_CAPACITY];    // the capture search's visit marks, never cleared
};

// Whether a board of rows x cols, with its frame, fits in a FastBoard.
bool board_fits(int64_t rows, int64_t cols);

// Sets up an empty board of rows x cols with side 1 to move; false (board untouched) when
// the size does not fit.
bool setup_board(FastBoard& board, int32_t rows, int32_t cols);

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

// Whether a dot may go on a cell: empty and inside no enclosure.
inline bool can_take_dot(const FastBoard& board, int32_t cell) {
    return board.owner[cell] == FAST_EMPTY && board.enclosed[cell] == 0;
}

// Whether any of the eight neighbours of a playable cell holds a dot.
bool touches_dot(const FastBoard& board, int32_t cell);

// Puts a dot of the side to move on a cell that can take it, records every enclosure it
// completes (a captured dot of the mover is freed at most once per flood), then hands the
// turn over.
void put_dot(FastBoard& board, int32_t cell);

// What side's captured-dot balance would gain from a dot on a cell that can take one,
// whoever is to move; the board is left as it was but for the search's visit marks. When
// one dot closes two regions that share a doubly enclosed dot of side, the figure may
// differ by that dot from what put_dot would score.
int32_t probe_gain(FastBoard& board, int32_t cell, int32_t side);

// Whether any cell can still take a dot; the game is over when none can.
bool has_free_cell(const FastBoard& board);
