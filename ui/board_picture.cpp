#include "ui/board_picture.h"

#include "rules/board.h"

void build_board_picture(const Board& board, int32_t client_width, int32_t client_height,
                         std::vector<DrawCommand>& picture) {
    picture.clear();
    picture.push_back(
        {Shape::fill, 0, 0, client_width, client_height - STATUS_BAR_HEIGHT, BACKGROUND_COLOUR});

    // Horizontal lines stop one pixel short of the last column, where the last vertical
    // line passes; vertical lines reach the last row's grid point.
    for (int32_t i = 0; i < board.board_rows; ++i)
        picture.push_back(
            {Shape::line, 20, 20 + 20 * i, 20 * board.board_cols, 20 + 20 * i, GRID_COLOUR});
    for (int32_t j = 0; j < board.board_cols; ++j)
        picture.push_back(
            {Shape::line, 20 + 20 * j, 20, 20 + 20 * j, 20 * board.board_rows + 1, GRID_COLOUR});

    for (int32_t y = 0; y < board.board_rows; ++y) {
        for (int32_t x = 0; x < board.board_cols; ++x) {
            const int32_t cell = cell_index(board, x, y);
            const int32_t left = 6 + 20 * x;
            const int32_t top = 6 + 20 * y;
            const bool enclosed = board.cell_enclosed[cell] != 0;
            if (enclosed)
                picture.push_back({Shape::disc, left, top, left + 29, top + 29, ENCLOSURE_COLOUR});
            const int32_t owner = board.cell_owner[cell];
            if (owner == CELL_EMPTY)
                continue;
            const Colour dot = owner == 1 ? (enclosed ? SIDE1_ENCLOSED_COLOUR : SIDE1_COLOUR)
                                          : (enclosed ? SIDE2_ENCLOSED_COLOUR : SIDE2_COLOUR);
            picture.push_back({Shape::disc, left + 8, top + 8, left + 22, top + 22, dot});
            if (cell == board.last_move_cell)
                picture.push_back(
                    {Shape::disc, left + 11, top + 11, left + 19, top + 19, LATEST_MARK_COLOUR});
        }
    }
}
