// Speed of dotbot: dots placed on its own board, playouts from positions of a game, and whole
// searches. The positions come from seeded random games, made outside the timing. The
// search benchmark also reports a signature of the moves chosen with fixed seeds and playout
// counts: it changes exactly when a change alters what dotbot plays.
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

// The cells of a seeded random game played to its end (the rules core judges legality).
std::vector<int32_t> game_cells(uint32_t seed, Bias bias) {
    reset_rules_state(core_board);
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

// The position after the first `moves` dots of a game, with its two latest dots.
struct Position {
    FastBoard board;
    int32_t last = -1;
    int32_t previous = -1;
};

Position position_after(const std::vector<int32_t>& cells, size_t moves) {
    Position p;
    setup_board(p.board, core_board.board_rows, core_board.board_cols);
    for (size_t i = 0; i < moves && i < cells.size(); ++i) {
        put_dot(p.board, cells[i]);
        p.previous = p.last;
        p.last = cells[i];
    }
    return p;
}

// Whole random games on dotbot's board, one game per iteration.
void bm_put_dot(benchmark::State& state) {
    std::vector<std::vector<int32_t>> games;
    for (uint32_t seed = 1; seed <= 16; ++seed)
        games.push_back(game_cells(seed, Bias::uniform));
    FastBoard board;
    int64_t moves = 0;
    size_t next = 0;
    for (auto _ : state) {
        setup_board(board, FENDREL_ROWS, FENDREL_COLS);
        for (const int32_t cell : games[next])
            put_dot(board, cell);
        benchmark::DoNotOptimize(board.score);
        moves += static_cast<int64_t>(games[next].size());
        next = (next + 1) % games.size();
    }
    state.counters["dots_per_s"] =
        benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
}
BENCHMARK(bm_put_dot)->Unit(benchmark::kMillisecond);

// Playouts as the search runs them, from a position after state.range(0) dots.
void bm_playout(benchmark::State& state) {
    const Position start =
        position_after(game_cells(3, Bias::near_recent), static_cast<size_t>(state.range(0)));
    static FastBoard board;
    static MoveTrace trace;
    Rng rng = make_rng(1);
    for (auto _ : state) {
        board = start.board;
        trace.length = 0;
        benchmark::DoNotOptimize(
            run_playout(board, start.last, start.previous, Watch{{}, 0}, 60, rng, trace));
    }
    state.counters["playouts_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(bm_playout)->Arg(4)->Arg(300)->Arg(600)->Arg(900);

// Whole searches of 1000 playouts on one thread, from positions of four games: playouts per
// second, tree and priors included, and the signature of the moves chosen.
void bm_search(benchmark::State& state) {
    std::vector<Position> positions;
    for (uint32_t seed = 11; seed <= 14; ++seed) {
        const std::vector<int32_t> cells = game_cells(seed, Bias::near_recent);
        for (size_t moves : {4, 150, 400, 700})
            positions.push_back(position_after(cells, moves));
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
    state.counters["playouts_per_s"] =
        benchmark::Counter(static_cast<double>(playouts), benchmark::Counter::kIsRate);
    state.counters["signature"] = static_cast<double>(signature % 1000000007u);
}
BENCHMARK(bm_search)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
