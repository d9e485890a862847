#include "records/replay.h"

#include "rules/capture.h"

Dot dot_of_cell(const Board& board, int32_t cell) {
    return {cell_x(board, cell), cell_y(board, cell)};
}

const char* dot_refusal(const Board& board, const Dot& dot) {
    // The rules would take a column past either edge as a cell of another row.
    if (dot.x < 0 || dot.y < 0 || dot.x >= board.board_cols || dot.y >= board.board_rows)
        return "the point lies outside the board";
    if (board.grounded != 0)
        return "the game ended when a side grounded";
    const int32_t cell = cell_index(board, dot.x, dot.y);
    if (board.cell_owner[cell] != CELL_EMPTY)
        return "the point is taken";
    if (board.cell_enclosed[cell] != 0)
        return board.rules.kind == RuleKind::fendrel ? "the point is inside an enclosure"
                                                     : "the point is inside a base";
    if (!is_legal_dot(board, dot.x, dot.y))
        return "the dot would be captured at once (suicide=off)";
    return nullptr;
}

int replay_dots(Board& board, const std::vector<Dot>& dots) {
    init_board(board, board.board_cols, board.board_rows, board.rules);
    int played = 0;
    for (const Dot& dot : dots) {
        if (dot_refusal(board, dot))
            break;
        board.last_move_cell = cell_index(board, dot.x, dot.y);
        place_dot(board, board.last_move_cell);
        ++played;
    }
    return played;
}
