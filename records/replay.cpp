#include "records/replay.h"

#include "rules/board.h"
#include "rules/capture.h"

Dot dot_of_cell(int32_t cell) {
    return {cell % (board_cols + 2) - 1, cell / (board_cols + 2) - 1};
}

const char* dot_refusal(const Dot& dot) {
    // The rules would take a column past either edge as a cell of another row.
    if (dot.x < 0 || dot.y < 0 || dot.x >= board_cols || dot.y >= board_rows)
        return "the point lies outside the board";
    const int32_t cell = cell_index(dot.x, dot.y);
    if (cell_owner[cell] != CELL_EMPTY)
        return "the point is taken";
    if (cell_enclosed[cell] != 0)
        return "the point is inside an enclosure";
    return nullptr;
}

int replay_dots(const std::vector<Dot>& dots) {
    init_board();
    last_move_cell = 0;
    int played = 0;
    for (const Dot& dot : dots) {
        if (dot_refusal(dot))
            break;
        last_move_cell = cell_index(dot.x, dot.y);
        place_dot(last_move_cell);
        ++played;
    }
    return played;
}
