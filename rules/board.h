// A whole position as a value: a grid of board_cols x board_rows playable cells inside a
// frame of border cells one cell wide, the side to move, the score, the search's stamps,
// the last move and the rules it is played under. Because every playable cell is
// surrounded by the frame, each of its eight neighbours is a valid cell index, and no
// neighbour step anywhere in the program needs a bounds check. Cells are stored row by row
// from the top-left border corner; the playable cell (x, y) is bordered row y + 1,
// bordered column x + 1. The per-cell lists are sized for the board.
//
// A board is copied like any value; nothing in it is shared. The window program keeps one
// (referee/game_board.h); fendrel-match, the records, the review tools and the tests hold
// their own.
#pragma once

#include "rules/rule_set.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The window program's board, which its geometry and protocol assume.
constexpr int32_t FENDREL_ROWS = 32;
constexpr int32_t FENDREL_COLS = 39;

// The smallest and largest side of a board, in points.
constexpr int32_t MIN_BOARD_SIDE = 3;
constexpr int32_t MAX_BOARD_SIDE = 64;

// Values of cell_owner: a side's number (1 or 2) marks that side's dot.
constexpr int32_t CELL_EMPTY = 0;
constexpr int32_t CELL_BORDER = 3;

// One of a board's per-cell lists: its part of the board's single allocation, indexed like
// an array. A list belongs to its board, which points it at its own storage again when the
// board is copied.
class CellList {
  public:
    int32_t& operator[](size_t i) { return first_[i]; }
    const int32_t& operator[](size_t i) const { return first_[i]; }
    int32_t* data() { return first_; }
    const int32_t* data() const { return first_; }
    size_t size() const { return size_; }
    int32_t* begin() { return first_; }
    int32_t* end() { return first_ + size_; }
    const int32_t* begin() const { return first_; }
    const int32_t* end() const { return first_ + size_; }
    // A copy of the list's values, for tests and tools that keep one.
    operator std::vector<int32_t>() const { return {begin(), end()}; }

  private:
    friend struct Board;
    int32_t* first_ = nullptr;
    size_t size_ = 0;
};

struct Board {
    Board() = default;
    Board(const Board& other);
    Board& operator=(const Board& other);
    Board(Board&& other) noexcept;
    Board& operator=(Board&& other) noexcept;

    int32_t board_cols = FENDREL_COLS;
    int32_t board_rows = FENDREL_ROWS;
    RuleSet rules;

    // The per-cell lists below live in this one allocation, in this order: one base
    // address then reaches all of them, and at the window program's size the capture
    // search finds each at a fixed distance from it (rules/capture.cpp).
    std::vector<int32_t> cell_storage;
    // Who holds each cell: CELL_EMPTY, 1, 2 or CELL_BORDER.
    CellList cell_owner;
    // Nonzero means captured (a dot) or closed to play (an empty cell). Under the fendrel
    // rules it is the enclosure count: for an empty cell the enclosures covering it; for a
    // dot the times the other side enclosed it less the times its own side freed it.
    CellList cell_enclosed;
    // Generation stamp of the capture search's last visit; never cleared.
    CellList cell_stamp;
    // The capture search's list of cells, two entries per cell (rules/capture.cpp).
    CellList region_list;
    // Standard rules: the side whose base covers the cell, or 0.
    CellList cell_base;
    int32_t stamp_counter = 0;

    // Index of (0, 0) and one past the index of the last playable cell.
    int32_t first_cell = 0;
    int32_t end_cell = 0;

    int32_t side_to_move = 1; // 1 or 2
    int32_t score = 0;        // captured-dot balance seen from side_to_move

    // Cell index of the most recent dot, which the board picture marks; 0 (a border cell)
    // until the first move. Written by move handling (and by replays) as each dot is placed.
    int32_t last_move_cell = 0;
    // The side that grounded, which ended the game; 0 while no one has.
    int32_t grounded = 0;

    // The ring of eight neighbours, clockwise from north; even directions are orthogonal.
    int32_t neighbour_offset[8] = {};

    // Points the per-cell lists at cell_storage, which holds `cells` cells' worth of each.
    void bind_cell_lists(size_t cells);

  private:
    // Every field of the other board but its per-cell lists and their storage.
    void copy_fields(const Board& other);
};

// Where each per-cell list starts in cell_storage, in cells of the board.
constexpr size_t OWNER_LIST = 0, ENCLOSED_LIST = 1, STAMP_LIST = 2, REGION_LIST = 3, BASE_LIST = 5,
                 CELL_LIST_COUNT = 6;

// Whether a board of cols x rows points can be set up.
constexpr bool board_size_fits(int64_t cols, int64_t rows) {
    return cols >= MIN_BOARD_SIDE && cols <= MAX_BOARD_SIDE && rows >= MIN_BOARD_SIDE &&
           rows <= MAX_BOARD_SIDE;
}

// Exact cell index of any pair of 32-bit coordinates; 64-bit so that nothing overflows.
inline int64_t exact_cell_index(const Board& board, int32_t x, int32_t y) {
    return int64_t{board.board_cols + 2} * y + (board.board_cols + 3) + x;
}

// Cell index of a point that is_legal_dot accepted (or any point on the board).
inline int32_t cell_index(const Board& board, int32_t x, int32_t y) {
    return static_cast<int32_t>(exact_cell_index(board, x, y));
}

// The playable column and row of a cell index.
inline int32_t cell_x(const Board& board, int32_t cell) {
    return cell % (board.board_cols + 2) - 1;
}
inline int32_t cell_y(const Board& board, int32_t cell) {
    return cell / (board.board_cols + 2) - 1;
}

// Sets up an empty board of the size (board_size_fits) under the rules, with their start
// position placed and side 1 to move; the stamps stay while the size does. A board is set
// up before any other use; until then it holds only its size and rules.
void init_board(Board& board, int32_t cols = FENDREL_COLS, int32_t rows = FENDREL_ROWS,
                const RuleSet& rules = {});

// Whether the side to move may place a dot at (x, y); any pair of 32-bit integers is judged
// by its exact cell index, so a column past the right edge names a cell of the next row.
bool is_legal_dot(const Board& board, int32_t x, int32_t y);

// 1 when no cell in first_cell .. end_cell - 1 can take a dot of the side to move, or a
// side has grounded, else 0. An empty cell inside an enclosure or a base counts as taken:
// no dot may ever be placed there, so a game whose only empty cells are enclosed is over;
// so does one where a refused suicide is all that is left.
int board_full(const Board& board);

// Side 1's captured-dot balance, whichever side is to move.
inline int32_t side1_balance(const Board& board) {
    return board.side_to_move == 1 ? board.score : -board.score;
}

// How many dots of `side` are captured now.
int32_t captured_dots(const Board& board, int32_t side);
