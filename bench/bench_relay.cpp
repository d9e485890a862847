// What the referee adds to the engines' own conversation. A relay is the way of one move
// through the headless window: an engine writes its move, the referee reads it, applies it
// and writes the move and a clock block to the other engine; it ends when that engine has
// read its "go". The relay engines note both moments on one monotonic clock. The floor is a
// bare ping-pong of one line between two processes: the same two pipe hops and two wake-ups,
// with nothing in between. A whole turn adds the answering engine's own work.
#include "engine/engine_io.h"
#include "engine/engine_process.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "referee/windowless/windowless_game.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Installs the lean relay engine for both sides.
void install_engines(const fs::path& folder) {
    for (const char* name : {"Engine1.exe", "Engine2.exe"})
        fs::copy_file(fs::path(RELAY_ENGINE), folder / name, fs::copy_options::overwrite_existing);
}

// Ends what a game left running and gives the next game fresh engine objects. The engines
// were told to quit, so their readers end with them, once their times are saved.
void end_game_engines() {
    for (EngineProcess* engine : {&engine1, &engine2}) {
        join_thread(engine->reader_thread);
        kill_engine(*engine);
        close_handle(engine->engine_out_read);
        end_engine_input(*engine);
        delete[] engine->engine_name;
        new (engine) EngineProcess();
    }
    close_engine_log();
}

// What a relay engine noted: when it wrote its moves, and when it had read each "go".
struct EngineTimes {
    std::vector<int64_t> sent;
    std::vector<int64_t> asked;
};

EngineTimes read_times(const fs::path& file) {
    EngineTimes times;
    std::FILE* input = std::fopen(file.string().c_str(), "rb");
    int64_t counts[2] = {0, 0};
    if (input && std::fread(counts, sizeof counts, 1, input) == 1) {
        times.sent.resize(static_cast<size_t>(counts[0]));
        times.asked.resize(static_cast<size_t>(counts[1]));
        if (std::fread(times.sent.data(), sizeof(int64_t), times.sent.size(), input) !=
                times.sent.size() ||
            std::fread(times.asked.data(), sizeof(int64_t), times.asked.size(), input) !=
                times.asked.size())
            times = {};
    }
    if (input)
        std::fclose(input);
    return times;
}

// Adds the game's relays, in nanoseconds, to `relays`. Engine1 is asked first by the start
// of the game, so its k-th move reaches Engine2 as Engine2's k-th "go", and Engine2's k-th
// move reaches Engine1 as its (k+1)-th; the last move of the game is relayed to nobody.
void collect_relays(const EngineTimes& first, const EngineTimes& second,
                    std::vector<int64_t>& relays) {
    for (size_t k = 0; k < first.sent.size() && k < second.asked.size(); ++k)
        relays.push_back(second.asked[k] - first.sent[k]);
    for (size_t k = 0; k < second.sent.size() && k + 1 < first.asked.size(); ++k)
        relays.push_back(first.asked[k + 1] - second.sent[k]);
}

// The dots on the board when the game stopped.
int64_t dots_on_board() {
    int64_t dots = 0;
    for (int32_t i = game_board.first_cell; i < game_board.end_cell; ++i)
        dots += game_board.cell_owner[i] == 1 || game_board.cell_owner[i] == 2;
    return dots;
}

void BM_RefereeRelay(benchmark::State& state) {
    const fs::path previous = fs::current_path();
    const fs::path folder =
        fs::temp_directory_path() / ("fendrel-bench-relay-" + std::to_string(getpid()));
    fs::create_directories(folder);
    install_engines(folder);
    fs::current_path(folder);
    int64_t moves = 0;
    std::vector<int64_t> relays;
    for (auto _ : state) {
        WindowlessOptions game;
        game.rules.stall_timeout_ms = 10000;
        play_windowless_game(game, [] {
            init_board(game_board);
            start_game();
        });
        moves += dots_on_board();
        state.PauseTiming();
        end_game_engines();
        collect_relays(read_times(folder / "Engine1.exe.times"),
                       read_times(folder / "Engine2.exe.times"), relays);
        state.ResumeTiming();
    }
    fs::current_path(previous);
    fs::remove_all(folder);
    if (relays.empty()) {
        state.SkipWithError("the relay engines noted no times");
        return;
    }
    // Seconds per turn over the whole games, and per relay: mean and median.
    state.counters["per_turn"] = benchmark::Counter(
        static_cast<double>(moves), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    double sum = 0;
    for (const int64_t relay : relays)
        sum += static_cast<double>(relay);
    std::nth_element(relays.begin(), relays.begin() + relays.size() / 2, relays.end());
    state.counters["relay_mean_us"] = sum / static_cast<double>(relays.size()) / 1000;
    state.counters["relay_median_us"] = static_cast<double>(relays[relays.size() / 2]) / 1000;
}
BENCHMARK(BM_RefereeRelay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// Reads one line ending in "\n" from the handle into line; false at the end of input.
bool read_line_from(OsHandle handle, std::string& line) {
    line.clear();
    char c;
    while (read_handle(handle, &c, 1) == 1) {
        if (c == '\n')
            return true;
        line += c;
    }
    return false;
}

// The same two pipe hops and wake-ups as a relay, with cat answering each line.
void BM_PipePingPong(benchmark::State& state) {
    OsHandle to_child = NO_HANDLE, child_input = NO_HANDLE;
    OsHandle from_child = NO_HANDLE, child_output = NO_HANDLE;
    ProcessInfo echo;
    ProgramStart start;
    start.program = "cat";
    if (make_pipe(child_input, to_child) && make_pipe(from_child, child_output)) {
        start.input = ChildStream::to(child_input);
        start.output = ChildStream::to(child_output);
        start_program(start, echo);
    }
    close_handle(child_input);
    close_handle(child_output);
    if (echo.process == NO_HANDLE) {
        state.SkipWithError("cat");
        return;
    }
    const char line[] = "move 19 15\n";
    std::string answer;
    int64_t round_trips = 0;
    for (auto _ : state) {
        if (!write_handle(to_child, line, sizeof line - 1) || !read_line_from(from_child, answer))
            state.SkipWithError("echo");
        ++round_trips;
    }
    close_handle(to_child);
    close_handle(from_child);
    int status = 0;
    wait_for_exit(echo, -1, status);
    state.counters["per_round_trip"] =
        benchmark::Counter(static_cast<double>(round_trips),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PipePingPong)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
