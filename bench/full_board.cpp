#include "full_board.h"

#include "referee/move.h"
#include "rules/board.h"

void set_up_full_board() {
    init_board();
    for (int32_t y = 0; y < board_rows; ++y) {
        for (int32_t x = 0; x < board_cols; ++x) {
            const int32_t cell = cell_index(x, y);
            cell_owner[cell] = 1 + (y / 2) % 2;
            cell_enclosed[cell] = y >= board_rows / 2 ? 1 : 0;
        }
    }
    last_move_cell = cell_index(board_cols - 1, board_rows - 1);
}
