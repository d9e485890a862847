// The greedy test engine: a fixed, simple opponent for measuring dotbot. On "go" it takes
// the biggest capture it has; failing that it blocks the opponent's biggest capture by
// taking that point itself; failing that it plays a random free point next to a dot, or
// anywhere on an empty board. Under the standard rules it never places a dot that would be
// captured at once while it has another move, and never grounds. It shares dotbot's board
// and protocol loop.
//
// Usage: greedy_engine [--seed N]
#include "engines/dotbot/engine_loop.h"
#include "engines/dotbot/random.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <random>

namespace {

Rng rng;

// The best cell offered so far: the highest value, at least the starting one, with ties
// broken uniformly at random.
struct Pick {
    int32_t cell;
    int32_t value;
    uint32_t ties; // cells offered with the kept value
};

// Offers a cell: a higher value replaces the pick; the k-th cell of an equal value
// replaces it with chance 1/k, so that each of them is kept equally often.
void offer(Pick& pick, int32_t cell, int32_t value) {
    if (value < pick.value)
        return;
    if (value > pick.value || pick.cell < 0) {
        pick = Pick{cell, value, 1};
        return;
    }
    if (random_below(rng, ++pick.ties) == 0)
        pick.cell = cell;
}

// Capture, else block, else a random point near the dots.
MoveChoice choose_greedy_move(const FastBoard& board, const TurnInfo&, const std::atomic<bool>&) {
    static FastBoard probe; // probing marks the board's stamps, so it works on a copy
    probe = board;
    const int32_t me = probe.side_to_move;
    Pick capture{-1, 1, 0};
    Pick block{-1, 1, 0};
    Pick near{-1, 0, 0};
    Pick anywhere{-1, 0, 0};
    Pick suicide{-1, 0, 0};
    for (int32_t cell = probe.first_cell; cell < probe.end_cell; ++cell) {
        if (!is_legal_move(probe, cell))
            continue;
        if (is_suicide(probe, cell, me)) {
            offer(suicide, cell, 0);
            continue;
        }
        offer(capture, cell, probe_gain(probe, cell, me));
        offer(block, cell, probe_gain(probe, cell, me ^ 3));
        if (touches_dot(probe, cell))
            offer(near, cell, 0);
        offer(anywhere, cell, 0);
    }
    MoveChoice choice{suicide.cell, {}, false};
    for (const Pick* pick : {&capture, &block, &near, &anywhere}) {
        if (pick->cell >= 0) {
            choice.cell = pick->cell;
            break;
        }
    }
    return choice;
}

} // namespace

int main(int argc, char** argv) {
    uint64_t seed = std::random_device{}();
    if (argc == 3 && std::strcmp(argv[1], "--seed") == 0) {
        seed = std::strtoull(argv[2], nullptr, 10);
    } else if (argc != 1) {
        std::fputs("usage: greedy_engine [--seed N]\n", stderr);
        return 2;
    }
    rng = make_rng(seed);
    return run_engine("greedy", choose_greedy_move);
}
