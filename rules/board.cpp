#include "rules/board.h"

#include "rules/standard_bases.h"
#include "rules/start_position.h"

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
    board.cell_owner.assign(cells, CELL_BORDER);
    board.cell_enclosed.assign(cells, 0);
    board.cell_base.assign(cells, 0);
    // Stamps stay while the size does: older ones are never taken for the search's own.
    if (board.cell_stamp.size() != cells) {
        board.cell_stamp.assign(cells, 0);
        board.stamp_counter = 0;
    }
    board.region_list.assign(2 * cells, 0);
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
    for (int32_t i = board.first_cell; i < board.end_cell; ++i) {
        if (board.cell_owner[i] == CELL_EMPTY && board.cell_enclosed[i] == 0)
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
