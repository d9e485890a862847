#include "board_diagram.h"

#include "rules/board.h"
#include "rules/capture.h"

#include <stdexcept>

namespace {
int filler_count = 0;
}

void reset_rules_state(Board& board, int32_t cols, int32_t rows, const RuleSet& rules) {
    board = Board{};
    init_board(board, cols, rows, rules);
    filler_count = 0;
}

void play(Board& board, int32_t x, int32_t y) {
    if (!is_legal_dot(board, x, y))
        throw std::logic_error("illegal test move " + std::to_string(x) + "," + std::to_string(y));
    place_dot(board, cell_index(board, x, y));
}

void play_for(Board& board, int side, int32_t x, int32_t y) {
    if (board.side_to_move != side) {
        // Every other column of the lowest rows, every other row: no filler touches another
        // dot.
        const int32_t per_row = (board.board_cols + 1) / 2;
        const int32_t fx = (filler_count % per_row) * 2;
        const int32_t fy = board.board_rows - 1 - 2 * (filler_count / per_row);
        ++filler_count;
        play(board, fx, fy);
    }
    play(board, x, y);
}

std::string board_diagram(const Board& board, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    std::string out;
    for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
            const int32_t i = cell_index(board, x, y);
            const int32_t n = board.cell_enclosed[i];
            char ch = '?';
            switch (board.cell_owner[i]) {
            case CELL_EMPTY:
                ch = n == 0 ? '.' : n == 1 ? '+' : static_cast<char>('0' + (n > 9 ? 9 : n));
                break;
            case 1:
                ch = n ? 'x' : 'X';
                break;
            case 2:
                ch = n ? 'o' : 'O';
                break;
            }
            out += ch;
        }
        out += '\n';
    }
    return out;
}
