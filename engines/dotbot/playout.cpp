#include "engines/dotbot/playout.h"

#include "engines/dotbot/fast_bases.h"

#include <initializer_list>
#include <type_traits>

namespace {

// Free cells of a playout's board, for sampling; a cell leaves when it is played or found
// enclosed (an enclosed empty cell never becomes free again).
struct FreeCells {
    int32_t cells[FAST_CAPACITY];
    int32_t position[FAST_CAPACITY];
    int32_t count;
};

// Fills the list with the board's free cells.
void collect_free_cells(const FastBoard& b, FreeCells& free) {
    free.count = 0;
    for (int32_t i = b.first_cell; i < b.end_cell; ++i) {
        if (can_take_dot(b, i)) {
            free.position[i] = free.count;
            free.cells[free.count++] = i;
        }
    }
}

// Takes a cell off the list if it is on it.
void remove_free_cell(FreeCells& free, int32_t cell) {
    const int32_t p = free.position[cell];
    if (p < 0 || p >= free.count || free.cells[p] != cell)
        return;
    const int32_t moved = free.cells[--free.count];
    free.cells[p] = moved;
    free.position[moved] = p;
}

// Draws of cells not worth playing (empty rings) before a playout gives up looking.
constexpr int SAMPLE_ATTEMPTS = 32;

// A random free cell worth playing for the side to move, preferring one next to a dot; -1
// when none is left or none turned up.
int32_t sample_free_cell(FastBoard& b, FreeCells& free, Rng& rng) {
    int tries = 0;
    for (int attempts = 0; free.count > 0 && attempts < SAMPLE_ATTEMPTS;) {
        const int32_t cell = free.cells[random_below(rng, static_cast<uint32_t>(free.count))];
        if (!can_take_dot(b, cell)) {
            remove_free_cell(free, cell);
            continue;
        }
        ++attempts;
        if (!worth_playing(b, cell, b.side_to_move))
            continue;
        if (++tries >= 4 || touches_dot(b, cell))
            return cell;
    }
    return -1;
}

// A random cell within two steps of cell, or -1 when the one drawn is not worth playing.
int32_t sample_near(FastBoard& b, int32_t cell, Rng& rng) {
    const int32_t dx = static_cast<int32_t>(random_below(rng, 5)) - 2;
    const int32_t dy = static_cast<int32_t>(random_below(rng, 5)) - 2;
    const int32_t x = cell_x(b, cell) + dx;
    const int32_t y = cell_y(b, cell) + dy;
    if (x < 0 || y < 0 || x >= b.cols || y >= b.rows)
        return -1;
    const int32_t n = cell + dy * (b.cols + 2) + dx;
    return worth_playing(b, n, b.side_to_move) ? n : -1;
}

// The policy's tactical choice for the side to move among the watched cells and the
// neighbours of last and previous: the biggest capture, or the block of the opponent's
// biggest capture when that is bigger (and the blocking dot would not be captured at
// once); -1 when there is neither. Drops watched cells that no longer capture and adds the
// capturing neighbours.
int32_t tactical_move(FastBoard& b, int32_t last, int32_t previous, Watch& watch) {
    const int32_t mover = b.side_to_move;
    int32_t best_capture = 0;
    int32_t capture_cell = -1;
    int32_t best_block = 0;
    int32_t block_cell = -1;
    int32_t kept = 0;
    auto consider = [&](int32_t n, bool watched) {
        if (!can_take_dot(b, n))
            return;
        const int32_t gain = probe_gain(b, n, mover);
        const int32_t threat = probe_gain(b, n, mover ^ 3);
        if (gain > best_capture) {
            best_capture = gain;
            capture_cell = n;
        }
        if (threat > best_block && !is_suicide(b, n, mover)) {
            best_block = threat;
            block_cell = n;
        }
        if ((gain <= 0 && threat <= 0) || kept == MAX_WATCH)
            return;
        if (!watched) {
            for (int32_t w = 0; w < kept; ++w) {
                if (watch.cells[w] == n)
                    return;
            }
        }
        watch.cells[kept++] = n;
    };
    const int32_t watched = watch.count;
    for (int32_t w = 0; w < watched; ++w)
        consider(watch.cells[w], true);
    for (const int32_t centre : {last, previous}) {
        if (centre < 0)
            continue;
        for (int k = 0; k < 8; ++k)
            consider(centre + b.offset[k], false);
    }
    watch.count = kept;
    return best_block > best_capture ? block_cell : capture_cell;
}

// Under the standard rules, the side to move when the playout ends grounds if that wins
// it the game: ahead, and still ahead with its dots cut off from the edge counted as lost.
int32_t grounded_winner(const FastBoard& b) {
    if (b.rules.kind != RuleKind::standard || b.score <= 0)
        return 0;
    return b.score - unlinked_dots(b, b.side_to_move) > 0 ? b.side_to_move : 0;
}

} // namespace

PlayoutEnd run_playout(FastBoard& b, int32_t last, int32_t previous, Watch watch, int32_t max_moves,
                       Rng& rng, MoveTrace& trace) {
    static_assert(std::is_trivially_destructible_v<FreeCells>); // as in probe_bases
    thread_local FreeCells free;
    collect_free_cells(b, free);
    for (int32_t played = 0; played < max_moves; ++played) {
        int32_t cell = tactical_move(b, last, previous, watch);
        if (cell < 0 && last >= 0 && random_below(rng, 2) == 0)
            cell = sample_near(b, last, rng);
        if (cell < 0)
            cell = sample_free_cell(b, free, rng);
        if (cell < 0)
            break;
        put_dot(b, cell);
        remove_free_cell(free, cell);
        trace.cells[trace.length++] = cell;
        previous = last;
        last = cell;
    }
    return {b.side_to_move == 1 ? b.score : -b.score, grounded_winner(b)};
}
