#include "rules/start_position.h"

#include <random>

namespace {

struct Cross {
    int32_t x0;
    int32_t y0;
    bool turned; // side 2 on (x0, y0) and (x0 + 1, y0 + 1), side 1 on the others
};

void place_cross(Board& board, const Cross& cross) {
    const int32_t a = cross.turned ? 2 : 1;
    board.cell_owner[cell_index(board, cross.x0, cross.y0)] = a;
    board.cell_owner[cell_index(board, cross.x0 + 1, cross.y0 + 1)] = a;
    board.cell_owner[cell_index(board, cross.x0 + 1, cross.y0)] = a ^ 3;
    board.cell_owner[cell_index(board, cross.x0, cross.y0 + 1)] = a ^ 3;
}

// The corner points of cross4's crosses: a third of the way in from each side.
int32_t cross4_a(int32_t side) {
    return (side - 3) / 3;
}

} // namespace

bool start_position_fits(StartPosition start, int32_t cols, int32_t rows) {
    switch (start) {
    case StartPosition::empty:
    case StartPosition::cross:
        return true;
    case StartPosition::cross2:
        return cols >= 4;
    case StartPosition::cross4:
        // The two crosses of a row (and of a column) must not share a point.
        return cols - 2 - 2 * cross4_a(cols) >= 2 && rows - 2 - 2 * cross4_a(rows) >= 2;
    }
    return false;
}

void place_start_position(Board& board) {
    const int32_t w = board.board_cols, h = board.board_rows;
    const StartPosition start = board.rules.start;
    if (!start_position_fits(start, w, h))
        return;
    switch (start) {
    case StartPosition::empty:
        break;
    case StartPosition::cross:
        place_cross(board, {(w + 1) / 2 - 1, h / 2 - 1, false});
        break;
    case StartPosition::cross2:
        // Mirrored side by side: the upper row reads side 1, side 2, side 2, side 1.
        place_cross(board, {(w + 1) / 2 - 2, h / 2 - 1, false});
        place_cross(board, {(w + 1) / 2, h / 2 - 1, true});
        break;
    case StartPosition::cross4: {
        const int32_t a = cross4_a(w), b = cross4_a(h);
        const Cross crosses[4] = {{a, b, false},
                                  {w - 2 - a, b, false},
                                  {w - 2 - a, h - 2 - b, false},
                                  {a, h - 2 - b, false}};
        std::mt19937 rng(board.rules.start_seed);
        for (Cross cross : crosses) {
            // A seed turns each cross at random, as the dots world's random cross4 does.
            cross.turned = board.rules.start_seed != 0 && (rng() & 1) != 0;
            place_cross(board, cross);
        }
        break;
    }
    }
}
