// The one board of the game: a grid of board_cols x board_rows playable cells inside a
// frame of border cells one cell wide. Because every playable cell is surrounded by the
// frame, each of its eight neighbours is a valid cell index, and no neighbour step anywhere
// in the program needs a bounds check. Cells are stored row by row from the top-left border
// corner; the playable cell (x, y) is bordered row y + 1, bordered column x + 1.
//
// All of it is plain global state: one board per process, set up once by init_board.
// Callers keep placements, tests and painting from overlapping (the referee applies every
// move on the window's thread).
#pragma once

#include <cstdint>

constexpr int32_t board_rows = 32;
constexpr int32_t board_cols = 39;

// Entries of each per-cell array; the bordered board must fit.
constexpr int32_t CELL_CAPACITY = 2048;
static_assert((board_cols + 2) * (board_rows + 2) <= CELL_CAPACITY);

// Values of cell_owner: a side's number (1 or 2) marks that side's dot.
constexpr int32_t CELL_EMPTY = 0;
constexpr int32_t CELL_BORDER = 3;

// Who holds each cell: CELL_EMPTY, 1, 2 or CELL_BORDER.
extern int32_t cell_owner[CELL_CAPACITY];
// Enclosure count: for an empty cell the enclosures covering it; for a dot the times the
// other side enclosed it less the times its own side freed it. Nonzero means captured.
extern int32_t cell_enclosed[CELL_CAPACITY];
// Generation stamp of the capture search's last visit; never cleared.
extern int32_t cell_stamp[CELL_CAPACITY];
extern int32_t stamp_counter;

// Index of (0, 0) and one past the index of the last playable cell.
extern int32_t first_cell;
extern int32_t end_cell;

extern int32_t side_to_move; // 1 or 2
extern int32_t score;        // captured-dot balance seen from side_to_move

// Cell index of the most recent dot, which the board picture marks; 0 (a border cell) until
// the first move. Written by move handling (and by replays) as each dot is placed.
extern int32_t last_move_cell;

// The ring of eight neighbours, clockwise from north; even directions are orthogonal.
extern int32_t neighbour_offset[8];

// Exact cell index of any pair of 32-bit coordinates; 64-bit so that nothing overflows.
constexpr int64_t exact_cell_index(int32_t x, int32_t y) {
    return int64_t{board_cols + 2} * y + (board_cols + 3) + x;
}

// Cell index of a point that is_legal_dot accepted (or any point on the board).
constexpr int32_t cell_index(int32_t x, int32_t y) {
    return static_cast<int32_t>(exact_cell_index(x, y));
}

// Sets up the empty board once at start-up; leaves the stamps alone.
void init_board();

// Whether the side to move may place a dot at (x, y); any pair of 32-bit integers is judged
// by its exact cell index, so a column past the right edge names a cell of the next row.
bool is_legal_dot(int32_t x, int32_t y);

// 1 when no cell in first_cell .. end_cell - 1 can take a dot, else 0. An empty cell inside
// an enclosure counts as taken: no dot may ever be placed there, so a game whose only
// empty cells are enclosed is over.
int board_full();

// Side 1's captured-dot balance on the board as it stands, whichever side is to move.
int32_t side1_balance();
