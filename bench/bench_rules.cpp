// Speed of dot placement in the rules core. The games are played once beforehand and
// recorded as cell indices, so the timed loops replay placements and nothing else; the
// cells each move flooded are counted outside the timing, from the stamps.
#include "board_diagram.h"
#include "random_play.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

// The board of these cases.
Board board;

constexpr int RECORDED_GAMES = 64;

// One random game played to its end: its moves and the cells they flooded in all.
struct RecordedGame {
    std::vector<int32_t> cells;
    int64_t flooded = 0;
};

std::vector<RecordedGame> recorded_games;

// The number of cells whose stamp is newer than `since`: those the searches since then visited.
int64_t cells_stamped_after(int32_t since) {
    int64_t n = 0;
    for (const int32_t stamp : board.cell_stamp)
        n += stamp > since;
    return n;
}

// Plays the seeded game on a fresh board and records it.
RecordedGame record_game(uint32_t seed) {
    reset_rules_state(board);
    RandomPlayer player;
    start_random_player(player, seed, Bias::uniform);
    RecordedGame game;
    const auto legal = [](Point p) { return is_legal_dot(board, p.x, p.y); };
    Point p{};
    while (next_random_move(player, legal, p)) {
        const int32_t stamps_before = board.stamp_counter;
        game.cells.push_back(cell_index(board, p.x, p.y));
        place_dot(board, game.cells.back());
        game.flooded += cells_stamped_after(stamps_before);
    }
    return game;
}

// Replays the recorded games in turn, one game per iteration; the board is reset (stamps
// too, so stamp_counter stays far from overflow) outside the timing.
void bm_random_games(benchmark::State& state) {
    if (recorded_games.empty()) {
        for (uint32_t seed = 1; seed <= RECORDED_GAMES; ++seed)
            recorded_games.push_back(record_game(seed));
    }
    int64_t moves = 0, flooded = 0;
    size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const RecordedGame& game = recorded_games[next++ % recorded_games.size()];
        reset_rules_state(board);
        state.ResumeTiming();
        for (const int32_t cell : game.cells)
            place_dot(board, cell);
        benchmark::ClobberMemory();
        moves += static_cast<int64_t>(game.cells.size());
        flooded += game.flooded;
    }
    using benchmark::Counter;
    state.counters["time_per_move"] =
        Counter(static_cast<double>(moves), Counter::kIsRate | Counter::kInvert);
    state.counters["moves_per_game"] = Counter(static_cast<double>(moves), Counter::kAvgIterations);
    state.counters["flooded_per_move"] = static_cast<double>(flooded) / static_cast<double>(moves);
}

// Builds the position before the costliest move: side 1's dots on the whole outer ring of
// the board but (0, 1), and (38, 30) too when `leave_exit` is set; side 2's dots spread over
// the inside, none touching another. Side 1 is to move; (0, 1) then floods the whole inside.
void build_ring_position(bool leave_exit) {
    reset_rules_state(board);
    std::vector<Point> ring;
    for (int32_t x = 0; x < board.board_cols; ++x) {
        ring.push_back({x, 0});
        ring.push_back({x, board.board_rows - 1});
    }
    for (int32_t y = 1; y < board.board_rows - 1; ++y) {
        if (y > 1)
            ring.push_back({0, y});
        if (!leave_exit || y < board.board_rows - 2)
            ring.push_back({board.board_cols - 1, y});
    }
    int32_t inside = 0;
    for (const Point p : ring) {
        place_dot(board, cell_index(board, p.x, p.y));
        const int32_t x = 2 + 2 * (inside % 18), y = 2 + 2 * (inside / 18);
        ++inside;
        place_dot(board, cell_index(board, x, y));
    }
}

// Times the one move (0, 1) from the ring position, restored outside the timing.
void bm_worst_move(benchmark::State& state, bool leave_exit) {
    build_ring_position(leave_exit);
    const std::vector<int32_t> owner = board.cell_owner;
    const std::vector<int32_t> enclosed = board.cell_enclosed;
    const int32_t side = board.side_to_move, balance = board.score;
    const int32_t move = cell_index(board, 0, 1);
    const int32_t stamps_before = board.stamp_counter;
    place_dot(board, move);
    state.counters["flooded_per_move"] = static_cast<double>(cells_stamped_after(stamps_before));
    state.counters["captured"] = static_cast<double>(-board.score - balance);
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(owner.begin(), owner.end(), board.cell_owner.begin());
        std::copy(enclosed.begin(), enclosed.end(), board.cell_enclosed.begin());
        board.side_to_move = side;
        board.score = balance;
        state.ResumeTiming();
        place_dot(board, move);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(bm_random_games)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(bm_worst_move, enclosing_the_board, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(bm_worst_move, open_at_far_corner, true)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
