#include "rules/board.h"

#include "rules/standard_bases.h"
#include "rules/start_position.h"

#include <algorithm>
#include <iterator>
#include <utility>

Board::Board(const Board& other) {
    *this = other;
}

Board& Board::operator=(const Board& other) {
    if (this == &other)
        return *this;
    cell_storage = other.cell_storage;
    bind_cell_lists(other.cell_owner.size());
    copy_fields(other);
    return *this;
}

// A moved vector keeps its buffer, so the lists are only pointed at it again.
Board::Board(Board&& other) noexcept {
    *this = std::move(other);
}

Board& Board::operator=(Board&& other) noexcept {
    const size_t cells = other.cell_owner.size();
    cell_storage = std::move(other.cell_storage);
    other.bind_cell_lists(0);
    bind_cell_lists(cells);
    copy_fields(other);
    return *this;
}

void Board::copy_fields(const Board& other) {
    board_cols = other.board_cols;
    board_rows = other.board_rows;
    rules = other.rules;
    stamp_counter = other.stamp_counter;
    first_cell = other.first_cell;
    end_cell = other.end_cell;
    side_to_move = other.side_to_move;
    score = other.score;
    last_move_cell = other.last_move_cell;
    grounded = other.grounded;
    std::copy(std::begin(other.neighbour_offset), std::end(other.neighbour_offset),
              neighbour_offset);
}

void Board::bind_cell_lists(size_t cells) {
    int32_t* const first = cell_storage.data();
    const auto bind = [&](CellList& list, size_t start, size_t length) {
        list.first_ = cells == 0 ? nullptr : first + start * cells;
        list.size_ = cells == 0 ? 0 : length * cells;
    };
    bind(cell_owner, OWNER_LIST, 1);
    bind(cell_enclosed, ENCLOSED_LIST, 1);
    bind(cell_stamp, STAMP_LIST, 1);
    bind(region_list, REGION_LIST, 2);
    bind(cell_base, BASE_LIST, 1);
}

void init_board(Board& board, int32_t cols, int32_t rows, const RuleSet& rules) {
    board.board_cols = cols;
    board.board_rows = rows;
    board.rules = rules;
    board.first_cell = cols + 3;
    board.end_cell = (cols + 2) * (rows + 1) - 1;

    const int32_t row = cols + 2;
    const int32_t ring[8] = {-row, -row + 1, 1, row + 1, row, row - 1, -1, -row - 1};
    for (int k = 0; k < 8; ++k)
        board.neighbour_offset[k] = ring[k];

    const auto cells = static_cast<size_t>((cols + 2) * (rows + 2));
    // Stamps stay while the size does: older ones are never taken for the search's own.
    if (board.cell_owner.size() != cells) {
        board.cell_storage.assign(CELL_LIST_COUNT * cells, 0);
        board.bind_cell_lists(cells);
        board.stamp_counter = 0;
    }
    std::fill(board.cell_owner.begin(), board.cell_owner.end(), CELL_BORDER);
    std::fill(board.cell_enclosed.begin(), board.cell_enclosed.end(), 0);
    std::fill(board.cell_base.begin(), board.cell_base.end(), 0);
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < cols; ++x)
            board.cell_owner[cell_index(board, x, y)] = CELL_EMPTY;
    board.side_to_move = 1;
    board.score = 0;
    board.last_move_cell = 0;
    board.grounded = 0;
    place_start_position(board);
}

bool is_legal_dot(const Board& board, int32_t x, int32_t y) {
    const int64_t i = exact_cell_index(board, x, y);
    if (i < board.first_cell || i >= board.end_cell || board.grounded != 0)
        return false;
    const auto cell = static_cast<int32_t>(i);
    if (board.cell_owner[cell] != CELL_EMPTY || board.cell_enclosed[cell] != 0)
        return false;
    return board.rules.suicide || board.rules.kind != RuleKind::standard ||
           !would_be_suicide(board, cell);
}

int board_full(const Board& board) {
    if (board.grounded != 0)
        return 1;
    // With suicide refused, a free point where the side to move would be captured at once
    // cannot take its dot either.
    const bool suicide_refused = board.rules.kind == RuleKind::standard && !board.rules.suicide;
    for (int32_t i = board.first_cell; i < board.end_cell; ++i) {
        if (board.cell_owner[i] == CELL_EMPTY && board.cell_enclosed[i] == 0 &&
            !(suicide_refused && would_be_suicide(board, i)))
            return 0;
    }
    return 1;
}

int32_t captured_dots(const Board& board, int32_t side) {
    int32_t n = 0;
    for (int32_t i = board.first_cell; i < board.end_cell; ++i)
        n += board.cell_owner[i] == side && board.cell_enclosed[i] != 0;
    return n;
}
