#include "match/records/replay.h"

#include "rules/board.h"
#include "rules/capture.h"

Dot dot_of_cell(int32_t cell) {
    return {cell % (board_cols + 2) - 1, cell / (board_cols + 2) - 1};
}

int replay_dots(const std::vector<Dot>& dots) {
    init_board();
    int played = 0;
    for (const Dot& dot : dots) {
        if (!is_legal_dot(dot.x, dot.y))
            break;
        place_dot(cell_index(dot.x, dot.y));
        ++played;
    }
    return played;
}

int32_t side1_balance() {
    return side_to_move == 1 ? score : -score;
}
