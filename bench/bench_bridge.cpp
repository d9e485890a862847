// What fendrel-bridge adds to a move. A bridged move is the referee's side of one turn: the
// clock block and "go" written to the bridge, until its "move" line has been read; the bridge
// asks the engine, checks the answer on its board and (pointsai) commits it with play. The
// direct move is the same engine asked the same in its own protocol by this program, as a
// referee speaking that protocol would: gen_move_with_time and play for pointsai, time_left
// and genmove for gtp. The difference is the bridge's cost: two more pipe hops and its work.
// Each counter is over single moves: median, 99th percentile and worst, in microseconds.
#include "child_process.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

// Moves in one game before the programs are started again, well before the board is full.
constexpr int MOVES_PER_GAME = 500;
// A guard against a program that stopped answering, not a measure.
constexpr std::chrono::milliseconds GUARD{10000};

// Reads lines until one starts with `start`; false at the end of output or past the guard.
bool line_starting(ChildProcess& child, const std::string& start, std::string& line) {
    while (read_child_line(child, line, GUARD))
        if (line.rfind(start, 0) == 0)
            return true;
    return false;
}

// A game of moves timed one by one: `restart` starts the programs of a game, `move` plays
// one move; both false when the programs fail.
template <typename Restart, typename Move>
void time_moves(benchmark::State& state, ChildProcess& child, Restart restart, Move move) {
    std::vector<int64_t> moves_ns;
    int moves = MOVES_PER_GAME;
    for (auto _ : state) {
        if (moves == MOVES_PER_GAME) {
            state.PauseTiming();
            end_child(child);
            if (!restart())
                state.SkipWithError("the programs did not start");
            moves = 0;
            state.ResumeTiming();
        }
        const auto start = std::chrono::steady_clock::now();
        if (!move(moves)) {
            state.SkipWithError("no move");
            break;
        }
        moves_ns.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count());
        ++moves;
    }
    end_child(child);
    if (moves_ns.empty())
        return;
    std::sort(moves_ns.begin(), moves_ns.end());
    state.counters["median_us"] = static_cast<double>(moves_ns[moves_ns.size() / 2]) / 1000;
    state.counters["p99_us"] = static_cast<double>(moves_ns[moves_ns.size() * 99 / 100]) / 1000;
    state.counters["worst_us"] = static_cast<double>(moves_ns.back()) / 1000;
}

// One move through the bridge, the engine playing both sides.
void BM_BridgedMove(benchmark::State& state, const char* protocol) {
    ChildProcess bridge;
    std::string line;
    time_moves(
        state, bridge,
        [&] {
            return start_child(bridge, FENDREL_BRIDGE,
                               {protocol, "--", FOREIGN_ENGINE, protocol}) &&
                   write_to_child(bridge, "new 32 39\nincrement 100000\n") &&
                   read_child_line(bridge, line, GUARD);
        },
        [&](int) {
            return write_to_child(bridge, "time 100000\notime 0\ngo\n") &&
                   line_starting(bridge, "move ", line);
        });
}

// The same move asked of the engine directly in its protocol.
void BM_DirectMove(benchmark::State& state, const char* protocol) {
    const bool gtp = std::string(protocol) == "gtp";
    ChildProcess engine;
    std::string line;
    int id = 0;
    time_moves(
        state, engine,
        [&] {
            id = 3;
            return start_child(engine, FOREIGN_ENGINE, {protocol}) &&
                   write_to_child(engine, gtp ? "1 boardsize 39:32\n2 clear_board\n"
                                              : "1 init 39 32 1\n2 name\n") &&
                   line_starting(engine, gtp ? "=2" : "= 2", line);
        },
        [&](int moves) {
            const std::string first = std::to_string(id);
            const std::string second = std::to_string(id + 1);
            id += 2;
            if (gtp) {
                const std::string colour = moves % 2 ? "W" : "B";
                return write_to_child(engine, first + " time_left " + colour + " 75 1\n" + second +
                                                  " genmove " + colour + "\n") &&
                       line_starting(engine, "=" + second, line);
            }
            const std::string player = std::to_string(moves % 2);
            if (!write_to_child(engine, first + " gen_move_with_time " + player + " 75000\n") ||
                !line_starting(engine, "= " + first, line))
                return false;
            const std::string point = line.substr(line.find("time ") + 5);
            return write_to_child(engine, second + " play " + point + "\n") &&
                   line_starting(engine, "= " + second, line);
        });
}

BENCHMARK_CAPTURE(BM_DirectMove, pointsai, "pointsai")->UseRealTime()->Iterations(2000);
BENCHMARK_CAPTURE(BM_BridgedMove, pointsai, "pointsai")->UseRealTime()->Iterations(2000);
BENCHMARK_CAPTURE(BM_DirectMove, gtp, "gtp")->UseRealTime()->Iterations(2000);
BENCHMARK_CAPTURE(BM_BridgedMove, gtp, "gtp")->UseRealTime()->Iterations(2000);

} // namespace

BENCHMARK_MAIN();
