// What fendrel-bridge adds to a move. A bridged move is the referee's side of one turn: the
// clock block and "go" written to the bridge, until its "move" line has been read; the bridge
// asks the engine, checks the answer on its board and (pointsai) commits it with play. The
// direct move is the same engine asked the same in its own protocol by this program, as a
// referee speaking that protocol would: gen_move_with_time and play for pointsai, time_left
// and genmove for gtp. The difference is the bridge's cost: two more pipe hops and its work.
// Each counter is over single moves: median and worst, in microseconds.
#include "os/process.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

// Moves in one game before both sides are restarted, well before the board is full.
constexpr int MOVES_PER_GAME = 500;

struct Child {
    ProcessInfo process;
    OsHandle input = NO_HANDLE;
    OsHandle output = NO_HANDLE;
    std::string pending;
};

bool start_child(const std::string& program, const std::vector<std::string>& arguments,
                 Child& child) {
    OsHandle child_input = NO_HANDLE, child_output = NO_HANDLE;
    ProgramStart start;
    start.program = program;
    start.arguments = arguments;
    const bool piped = make_pipe(child_input, child.input) && make_pipe(child.output, child_output);
    start.input = ChildStream::to(child_input);
    start.output = ChildStream::to(child_output);
    const bool started = piped && start_program(start, child.process);
    close_handle(child_input);
    close_handle(child_output);
    return started;
}

void end_child(Child& child) {
    close_handle(child.input);
    close_handle(child.output);
    int status = 0;
    if (!wait_for_exit(child.process, 1000, status))
        kill_process(child.process);
    child = Child{};
}

bool send(Child& child, const std::string& text) {
    return write_handle(child.input, text.data(), text.size());
}

// The next line from the child, without its "\n"; false at the end of its output.
bool next_line(Child& child, std::string& line) {
    for (;;) {
        const size_t end = child.pending.find('\n');
        if (end != std::string::npos) {
            line = child.pending.substr(0, end);
            child.pending.erase(0, end + 1);
            return true;
        }
        char buffer[4096];
        const int got = read_handle(child.output, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        child.pending.append(buffer, static_cast<size_t>(got));
    }
}

// Reads lines until one starts with `start`; that line, or "" at the end of output.
std::string line_starting(Child& child, const std::string& start) {
    std::string line;
    while (next_line(child, line))
        if (line.rfind(start, 0) == 0)
            return line;
    return "";
}

void report(benchmark::State& state, std::vector<int64_t>& moves_ns) {
    if (moves_ns.empty())
        return;
    std::sort(moves_ns.begin(), moves_ns.end());
    state.counters["median_us"] = static_cast<double>(moves_ns[moves_ns.size() / 2]) / 1000;
    state.counters["worst_us"] = static_cast<double>(moves_ns.back()) / 1000;
}

int64_t now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One move through the bridge, the engine playing both sides.
void BM_BridgedMove(benchmark::State& state, const char* protocol) {
    Child bridge;
    std::vector<int64_t> moves_ns;
    int moves = MOVES_PER_GAME;
    for (auto _ : state) {
        if (moves == MOVES_PER_GAME) {
            state.PauseTiming();
            end_child(bridge);
            std::string name;
            if (!start_child(FENDREL_BRIDGE, {protocol, "--", FOREIGN_ENGINE, protocol}, bridge) ||
                !send(bridge, "new 32 39\nincrement 100000\n") || !next_line(bridge, name))
                state.SkipWithError("the bridge did not start");
            moves = 0;
            state.ResumeTiming();
        }
        const int64_t start = now_ns();
        if (!send(bridge, "time 100000\notime 0\ngo\n") || line_starting(bridge, "move ").empty()) {
            state.SkipWithError("no move from the bridge");
            break;
        }
        moves_ns.push_back(now_ns() - start);
        ++moves;
    }
    end_child(bridge);
    report(state, moves_ns);
}

// The same move asked of the engine directly in its protocol.
void BM_DirectMove(benchmark::State& state, const char* protocol) {
    const bool gtp = std::string(protocol) == "gtp";
    Child engine;
    std::vector<int64_t> moves_ns;
    int moves = MOVES_PER_GAME;
    int id = 1;
    for (auto _ : state) {
        if (moves == MOVES_PER_GAME) {
            state.PauseTiming();
            end_child(engine);
            if (!start_child(FOREIGN_ENGINE, {protocol}, engine) ||
                !send(engine, gtp ? "1 boardsize 39:32\n2 clear_board\n" : "1 init 39 32 1\n"))
                state.SkipWithError("the engine did not start");
            line_starting(engine, gtp ? "=2" : "= 1");
            id = 3;
            moves = 0;
            state.ResumeTiming();
        }
        const std::string player = gtp ? (moves % 2 ? "W" : "B") : std::to_string(moves % 2);
        const int64_t start = now_ns();
        bool answered = false;
        if (gtp) {
            const std::string ask = std::to_string(id) + " time_left " + player + " 75 1\n" +
                                    std::to_string(id + 1) + " genmove " + player + "\n";
            answered =
                send(engine, ask) && !line_starting(engine, "=" + std::to_string(id + 1)).empty();
            id += 2;
        } else {
            const std::string answer =
                send(engine, std::to_string(id) + " gen_move_with_time " + player + " 75000\n")
                    ? line_starting(engine, "= " + std::to_string(id))
                    : "";
            const std::string point = answer.substr(answer.find("time ") + 5);
            answered = !answer.empty() &&
                       send(engine, std::to_string(id + 1) + " play " + point + "\n") &&
                       !line_starting(engine, "= " + std::to_string(id + 1)).empty();
            id += 2;
        }
        if (!answered) {
            state.SkipWithError("no move from the engine");
            break;
        }
        moves_ns.push_back(now_ns() - start);
        ++moves;
    }
    end_child(engine);
    report(state, moves_ns);
}

BENCHMARK_CAPTURE(BM_DirectMove, pointsai, "pointsai")->UseRealTime()->Iterations(2000);
BENCHMARK_CAPTURE(BM_BridgedMove, pointsai, "pointsai")->UseRealTime()->Iterations(2000);
BENCHMARK_CAPTURE(BM_DirectMove, gtp, "gtp")->UseRealTime()->Iterations(2000);
BENCHMARK_CAPTURE(BM_BridgedMove, gtp, "gtp")->UseRealTime()->Iterations(2000);

} // namespace

BENCHMARK_MAIN();
