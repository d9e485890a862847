#include "full_board.h"

#include "referee/game_board.h"
#include "referee/move.h"

void set_up_full_board() {
    init_board(game_board);
    for (int32_t y = 0; y < game_board.board_rows; ++y) {
        for (int32_t x = 0; x < game_board.board_cols; ++x) {
            const int32_t cell = cell_index(game_board, x, y);
            game_board.cell_owner[cell] = 1 + (y / 2) % 2;
            game_board.cell_enclosed[cell] = y >= game_board.board_rows / 2 ? 1 : 0;
        }
    }
    game_board.last_move_cell =
        cell_index(game_board, game_board.board_cols - 1, game_board.board_rows - 1);
}
