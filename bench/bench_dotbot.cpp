// Speed of dotbot under each rule set: dots placed on its own board, probes, playouts from
// positions of a game, and whole searches; beside them the rules core's board doing the
// same placements, copies and probes, the price of searching on it instead. The positions
// come from seeded random games on 39 x 32, made outside the timing. The search benchmark
// also reports a signature of the moves chosen with fixed seeds and playout counts: it
// changes exactly when a change alters what dotbot plays.
//
// Each case takes the rule set as its last argument: 0 for fendrel, 1 for standard.
#include "board_diagram.h"
#include "engines/dotbot/fast_board.h"
#include "engines/dotbot/playout.h"
#include "engines/dotbot/search.h"
#include "random_play.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// The rules core's board, beside the engine's own.
Board core_board;

RuleSet rules_of(int64_t arg) {
    return arg == 0 ? RuleSet{} : RuleSet{RuleKind::standard};
}

const char* rules_label(int64_t arg) {
    return arg == 0 ? "fendrel" : "standard";
}

// The cells of a seeded random game played to its end (the rules core judges legality).
std::vector<int32_t> game_cells(uint32_t seed, Bias bias, const RuleSet& rules) {
    reset_rules_state(core_board, FENDREL_COLS, FENDREL_ROWS, rules);
    RandomPlayer player;
    start_random_player(player, seed, bias);
    std::vector<int32_t> cells;
    Point p{};
    while (next_random_move(
        player, [](Point q) { return is_legal_dot(core_board, q.x, q.y); }, p)) {
        cells.push_back(cell_index(core_board, p.x, p.y));
        place_dot(core_board, cells.back());
    }
    return cells;
}

// Sixteen whole random games under the rules.
std::vector<std::vector<int32_t>> random_games(const RuleSet& rules) {
    std::vector<std::vector<int32_t>> games;
    for (uint32_t seed = 1; seed <= 16; ++seed)
        games.push_back(game_cells(seed, Bias::uniform, rules));
    return games;
}

// The position after the first `moves` dots of a game, with its two latest dots.
struct Position {
    FastBoard board;
    int32_t last = -1;
    int32_t previous = -1;
};

Position position_after(const std::vector<int32_t>& cells, size_t moves, const RuleSet& rules) {
    Position p;
    setup_board(p.board, FENDREL_ROWS, FENDREL_COLS, rules);
    for (size_t i = 0; i < moves && i < cells.size(); ++i) {
        put_dot(p.board, cells[i]);
        p.previous = p.last;
        p.last = cells[i];
    }
    return p;
}

// Whole random games, one game per iteration, on dotbot's board or the rules core's.
template <bool CORE> void bm_place_dots(benchmark::State& state) {
    const RuleSet rules = rules_of(state.range(0));
    const std::vector<std::vector<int32_t>> games = random_games(rules);
    static FastBoard fast;
    int64_t moves = 0;
    size_t next = 0;
    for (auto _ : state) {
        if constexpr (CORE) {
            init_board(core_board, FENDREL_COLS, FENDREL_ROWS, rules);
            for (const int32_t cell : games[next])
                place_dot(core_board, cell);
            benchmark::DoNotOptimize(core_board.score);
        } else {
            setup_board(fast, FENDREL_ROWS, FENDREL_COLS, rules);
            for (const int32_t cell : games[next])
                put_dot(fast, cell);
            benchmark::DoNotOptimize(fast.score);
        }
        moves += static_cast<int64_t>(games[next].size());
        next = (next + 1) % games.size();
    }
    state.SetLabel(rules_label(state.range(0)));
    state.counters["dots_per_s"] =
        benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
}
BENCHMARK(bm_place_dots<false>)->Name("bm_put_dot")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(bm_place_dots<true>)
    ->Name("bm_core_place_dot")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// A copy of a position after 400 dots, as every playout starts with one.
template <bool CORE> void bm_copy(benchmark::State& state) {
    const RuleSet rules = rules_of(state.range(0));
    static Position start;
    start = position_after(game_cells(3, Bias::near_recent, rules), 400, rules);
    static FastBoard fast;
    Board core;
    for (auto _ : state) {
        if constexpr (CORE) {
            core = core_board;
            benchmark::DoNotOptimize(core.score);
        } else {
            fast = start.board;
            benchmark::DoNotOptimize(fast.score);
        }
    }
    state.SetLabel(rules_label(state.range(0)));
}
BENCHMARK(bm_copy<false>)->Name("bm_copy")->Arg(0)->Arg(1);
BENCHMARK(bm_copy<true>)->Name("bm_core_copy")->Arg(0)->Arg(1);

// What a dot of the side to move would gain on each free cell of a position after 400 dots:
// dotbot's probe, or on the rules core (which has none) a copy with the dot placed.
template <bool CORE> void bm_probe(benchmark::State& state) {
    const RuleSet rules = rules_of(state.range(0));
    const std::vector<int32_t> cells = game_cells(3, Bias::near_recent, rules);
    static Position start;
    start = position_after(cells, 400, rules);
    init_board(core_board, FENDREL_COLS, FENDREL_ROWS, rules);
    for (size_t i = 0; i < 400; ++i)
        place_dot(core_board, cells[i]);
    std::vector<int32_t> free_cells;
    for (int32_t c = start.board.first_cell; c < start.board.end_cell; ++c) {
        if (can_take_dot(start.board, c))
            free_cells.push_back(c);
    }
    static Board trial;
    int64_t probes = 0;
    for (auto _ : state) {
        int32_t total = 0;
        for (const int32_t c : free_cells) {
            if constexpr (CORE) {
                trial = core_board;
                place_dot(trial, c);
                total += trial.score;
            } else {
                total += probe_gain(start.board, c, start.board.side_to_move);
            }
        }
        benchmark::DoNotOptimize(total);
        probes += static_cast<int64_t>(free_cells.size());
    }
    state.SetLabel(rules_label(state.range(0)));
    state.counters["probes_per_s"] =
        benchmark::Counter(static_cast<double>(probes), benchmark::Counter::kIsRate);
}
BENCHMARK(bm_probe<false>)->Name("bm_probe")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(bm_probe<true>)->Name("bm_core_probe")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Playouts as the search runs them, from a position after state.range(0) dots.
void bm_playout(benchmark::State& state) {
    const RuleSet rules = rules_of(state.range(1));
    const Position start = position_after(game_cells(3, Bias::near_recent, rules),
                                          static_cast<size_t>(state.range(0)), rules);
    static FastBoard board;
    static MoveTrace trace;
    Rng rng = make_rng(1);
    for (auto _ : state) {
        board = start.board;
        trace.length = 0;
        benchmark::DoNotOptimize(
            run_playout(board, start.last, start.previous, Watch{{}, 0}, 60, rng, trace).balance);
    }
    state.SetLabel(rules_label(state.range(1)));
    state.counters["playouts_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(bm_playout)->ArgsProduct({{4, 300, 600, 900}, {0, 1}});

// Whole searches of 1000 playouts on one thread, from positions of four games: playouts per
// second, tree and priors included, and the signature of the moves chosen.
void bm_search(benchmark::State& state) {
    const RuleSet rules = rules_of(state.range(0));
    std::vector<Position> positions;
    for (uint32_t seed = 11; seed <= 14; ++seed) {
        const std::vector<int32_t> cells = game_cells(seed, Bias::near_recent, rules);
        for (size_t moves : {4, 150, 400, 700})
            positions.push_back(position_after(cells, moves, rules));
    }
    const std::atomic<bool> stop{false};
    int64_t playouts = 0;
    uint64_t signature = 0;
    for (auto _ : state) {
        signature = 0;
        for (const Position& p : positions) {
            const SearchLimits limits{std::chrono::steady_clock::time_point::max(), 1000, 1, 5};
            const SearchReport report = search_move(p.board, p.last, p.previous, limits, stop);
            playouts += report.playouts;
            signature = signature * 31 + static_cast<uint64_t>(report.cell);
        }
    }
    state.SetLabel(rules_label(state.range(0)));
    state.counters["playouts_per_s"] =
        benchmark::Counter(static_cast<double>(playouts), benchmark::Counter::kIsRate);
    state.counters["signature"] = static_cast<double>(signature % 1000000007u);
}
BENCHMARK(bm_search)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
