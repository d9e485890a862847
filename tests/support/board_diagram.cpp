#include "board_diagram.h"

#include "rules/board.h"
#include "rules/capture.h"

#include <cstring>
#include <stdexcept>

namespace {
int filler_count = 0;
}

void reset_rules_state() {
    std::memset(cell_owner, 0, sizeof cell_owner);
    std::memset(cell_enclosed, 0, sizeof cell_enclosed);
    std::memset(cell_stamp, 0, sizeof cell_stamp);
    stamp_counter = 0;
    filler_count = 0;
    init_board();
}

void play(int32_t x, int32_t y) {
    if (!is_legal_dot(x, y))
        throw std::logic_error("illegal test move " + std::to_string(x) + "," + std::to_string(y));
    place_dot(cell_index(x, y));
}

void play_for(int side, int32_t x, int32_t y) {
    if (side_to_move != side) {
        // Every other column of the two lowest rows: no filler touches another dot.
        const int32_t fx = (filler_count % 20) * 2;
        const int32_t fy = board_rows - 1 - 2 * (filler_count / 20);
        ++filler_count;
        play(fx, fy);
    }
    play(x, y);
}

std::string board_diagram(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    std::string out;
    for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
            const int32_t i = cell_index(x, y);
            const int32_t n = cell_enclosed[i];
            char ch = '?';
            switch (cell_owner[i]) {
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
