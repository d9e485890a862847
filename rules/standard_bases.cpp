#include "rules/standard_bases.h"

#include "rules/capture.h"

#include <algorithm>

namespace {

// Whether the cell stops a flood of side s: a free dot of s, or a cell of one of its bases.
bool is_wall(const Board& board, int32_t n, int32_t s) {
    return (board.cell_owner[n] == s && board.cell_enclosed[n] == 0) || board.cell_base[n] == s;
}

// Whether the cell lies next to the border frame: on the outermost rows or columns.
bool on_edge(const Board& board, int32_t cell) {
    for (int k = 0; k < 8; k += 2) {
        if (board.cell_owner[cell + board.neighbour_offset[k]] == CELL_BORDER)
            return true;
    }
    return false;
}

// Floods the region of `seed` behind side s's walls into the front of region_list with a
// new stamp; false as soon as the region shows itself open.
bool flood_region(Board& board, int32_t seed, int32_t s, int32_t& length) {
    const int32_t stamp = ++board.stamp_counter;
    int32_t* const list = board.region_list.data();
    length = 0;
    board.cell_stamp[seed] = stamp;
    list[length++] = seed;
    for (int32_t read = 0; read < length; ++read) {
        const int32_t q = list[read];
        for (int k = 0; k < 8; k += 2) {
            const int32_t n = q + board.neighbour_offset[k];
            if (board.cell_owner[n] == CELL_BORDER)
                return false;
            if (board.cell_stamp[n] == stamp || is_wall(board, n, s))
                continue;
            board.cell_stamp[n] = stamp;
            list[length++] = n;
        }
    }
    return true;
}

// Appends to the region's list, after its `length` entries, every cell the closed region
// surrounds: those of its bounding box that no step from outside the box reaches without
// entering the region. Steps from outside go diagonally too, so a hole is only what the
// region's orthogonal walls shut in. Returns the new length.
int32_t add_surrounded(Board& board, int32_t length) {
    int32_t* const list = board.region_list.data();
    const int32_t region_stamp = board.cell_stamp[list[0]];
    int32_t x0 = board.board_cols, y0 = board.board_rows, x1 = -1, y1 = -1;
    for (int32_t e = 0; e < length; ++e) {
        const int32_t x = cell_x(board, list[e]), y = cell_y(board, list[e]);
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
    // A closed region never touches the edge, so the box one point wider is on the board.
    --x0, --y0, ++x1, ++y1;
    const int32_t outside_stamp = ++board.stamp_counter;
    int32_t* const queue = list + length;
    int32_t queued = 0;
    for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
            if (x == x0 || x == x1 || y == y0 || y == y1) {
                const int32_t cell = cell_index(board, x, y);
                board.cell_stamp[cell] = outside_stamp;
                queue[queued++] = cell;
            }
        }
    }
    for (int32_t read = 0; read < queued; ++read) {
        const int32_t q = queue[read];
        for (const int32_t step : board.neighbour_offset) {
            const int32_t n = q + step;
            const int32_t x = cell_x(board, n), y = cell_y(board, n);
            if (x <= x0 || x >= x1 || y <= y0 || y >= y1)
                continue;
            if (board.cell_stamp[n] == region_stamp || board.cell_stamp[n] == outside_stamp)
                continue;
            board.cell_stamp[n] = outside_stamp;
            queue[queued++] = n;
        }
    }
    for (int32_t y = y0 + 1; y < y1; ++y) {
        for (int32_t x = x0 + 1; x < x1; ++x) {
            const int32_t cell = cell_index(board, x, y);
            if (board.cell_stamp[cell] != region_stamp && board.cell_stamp[cell] != outside_stamp)
                list[length++] = cell;
        }
    }
    return length;
}

// Makes the closed region at the front of region_list, with what it surrounds, a base of
// side s when the rules let it; returns the other side's dots it captured.
int32_t make_base(Board& board, int32_t s, int32_t length) {
    const int32_t other = s ^ 3;
    const int32_t* const list = board.region_list.data();
    length = add_surrounded(board, length);
    const bool holds_enemy = std::any_of(list, list + length, [&](int32_t n) {
        return board.cell_owner[n] == other && board.cell_enclosed[n] == 0;
    });
    if (!holds_enemy && !board.rules.capture_empty_bases)
        return 0;
    int32_t captured = 0, freed = 0;
    for (int32_t e = 0; e < length; ++e) {
        const int32_t n = list[e];
        const int32_t owner = board.cell_owner[n];
        if (owner == other && board.cell_enclosed[n] == 0) {
            board.cell_enclosed[n] = 1;
            ++captured;
        } else if (owner == s && board.cell_enclosed[n] != 0) {
            board.cell_enclosed[n] = 0;
            ++freed;
        } else if (owner == CELL_EMPTY) {
            board.cell_enclosed[n] = 1;
        }
        board.cell_base[n] = s;
    }
    // score is seen from the mover, who may be either side.
    board.score += (s == board.side_to_move ? 1 : -1) * (captured + freed);
    return captured;
}

} // namespace

void find_bases(Board& board, int32_t cell) {
    const int32_t mover = board.side_to_move;
    int32_t region_stamps[4] = {};
    int regions = 0;
    int32_t captured = 0;
    for (int k = 0; k < 8; k += 2) {
        const int32_t n = cell + board.neighbour_offset[k];
        if (board.cell_owner[n] == CELL_BORDER || is_wall(board, n, mover) ||
            std::find(region_stamps, region_stamps + regions, board.cell_stamp[n]) !=
                region_stamps + regions)
            continue;
        int32_t length = 0;
        const bool closed = flood_region(board, n, mover, length);
        region_stamps[regions++] = board.stamp_counter;
        if (closed)
            captured += make_base(board, mover, length);
    }
    // A dot that captured is no longer inside the other side's ring; a dot that did not
    // and is inside one makes it a base at once.
    int32_t length = 0;
    if (captured == 0 && flood_region(board, cell, mover ^ 3, length))
        make_base(board, mover ^ 3, length);
}

bool would_be_suicide(const Board& board, int32_t cell) {
    Board trial = board;
    place_dot(trial, cell);
    return trial.cell_enclosed[cell] != 0;
}

void ground(Board& board) {
    const int32_t s = board.side_to_move;
    auto free_dot = [&](int32_t n) {
        return board.cell_owner[n] == s && board.cell_enclosed[n] == 0;
    };
    const int32_t linked = ++board.stamp_counter;
    int32_t* const queue = board.region_list.data();
    int32_t queued = 0;
    for (int32_t i = board.first_cell; i < board.end_cell; ++i) {
        if (free_dot(i) && on_edge(board, i)) {
            board.cell_stamp[i] = linked;
            queue[queued++] = i;
        }
    }
    for (int32_t read = 0; read < queued; ++read) {
        for (const int32_t step : board.neighbour_offset) {
            const int32_t n = queue[read] + step;
            if (free_dot(n) && board.cell_stamp[n] != linked) {
                board.cell_stamp[n] = linked;
                queue[queued++] = n;
            }
        }
    }
    for (int32_t i = board.first_cell; i < board.end_cell; ++i) {
        if (free_dot(i) && board.cell_stamp[i] != linked) {
            board.cell_enclosed[i] = 1;
            --board.score;
        }
    }
    board.grounded = s;
    board.side_to_move ^= 3;
    board.score = -board.score;
}
