#include "rules/board.h"

int32_t cell_owner[CELL_CAPACITY];
int32_t cell_enclosed[CELL_CAPACITY];
int32_t cell_stamp[CELL_CAPACITY];
int32_t stamp_counter;
int32_t first_cell;
int32_t end_cell;
int32_t side_to_move;
int32_t score;
int32_t last_move_cell;
int32_t neighbour_offset[8];

void init_board() {
    first_cell = board_cols + 3;
    end_cell = (board_cols + 2) * (board_rows + 1) - 1;

    const int32_t row = board_cols + 2;
    const int32_t ring[8] = {-row, -row + 1, 1, row + 1, row, row - 1, -1, -row - 1};
    for (int k = 0; k < 8; ++k)
        neighbour_offset[k] = ring[k];

    int32_t i = 0;
    for (int32_t r = 0; r <= board_rows + 1; ++r) {
        for (int32_t c = 0; c <= board_cols + 1; ++c, ++i) {
            const bool playable = r >= 1 && r <= board_rows && c >= 1 && c <= board_cols;
            cell_enclosed[i] = 0;
            cell_owner[i] = playable ? CELL_EMPTY : CELL_BORDER;
        }
    }
    side_to_move = 1;
    score = 0;
}

bool is_legal_dot(int32_t x, int32_t y) {
    const int64_t i = exact_cell_index(x, y);
    if (i < first_cell || i >= end_cell)
        return false;
    return cell_owner[i] == CELL_EMPTY && cell_enclosed[i] == 0;
}

int board_full() {
    for (int32_t i = first_cell; i < end_cell; ++i) {
        if (cell_owner[i] == CELL_EMPTY && cell_enclosed[i] == 0)
            return 0;
    }
    return 1;
}

int32_t side1_balance() {
    return side_to_move == 1 ? score : -score;
}
