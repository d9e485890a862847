// What the referee adds to the engines' own conversation. A relay is one turn of a game
// through the headless window: an engine writes its move, the referee reads it, applies it
// on the window's thread and writes the move and a clock block to the other engine, which
// answers at once. The floor is a bare ping-pong of one line between two processes: the
// same two pipe hops and two wake-ups, with nothing in between.
#include "engine/engine_io.h"
#include "engine/engine_process.h"
#include "referee/headless.h"
#include "referee/move.h"
#include "test_os.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <new>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Installs the lean relay engine for both sides.
void install_engines(const fs::path& folder) {
    for (const char* name : {"Engine1.exe", "Engine2.exe"})
        fs::copy_file(fs::path(RELAY_ENGINE), folder / name, fs::copy_options::overwrite_existing);
}

// Ends what a game left running and gives the next game fresh engine objects.
void end_game_engines() {
    for (EngineProcess* engine : {&engine1, &engine2}) {
        end_child_process(engine->process_info);
        join_reader_thread(engine->reader_thread);
        close_test_handle(engine->engine_out_read);
        close_test_handle(engine->engine_in_write);
        delete[] engine->engine_name;
        new (engine) EngineProcess();
    }
    close_engine_log();
}

void BM_RefereeRelay(benchmark::State& state) {
    const fs::path previous = fs::current_path();
    const fs::path folder = fs::temp_directory_path() / ("fendrel-bench-relay-" + std::to_string(getpid()));
    fs::create_directories(folder);
    install_engines(folder);
    fs::current_path(folder);
    int64_t moves = 0;
    for (auto _ : state) {
        const HeadlessResult result = run_headless_game({10000, false});
        moves += result.dots;
        state.PauseTiming();
        end_game_engines();
        state.ResumeTiming();
    }
    fs::current_path(previous);
    fs::remove_all(folder);
    // Seconds per relayed move, over the whole games.
    state.counters["per_relay"] = benchmark::Counter(
        static_cast<double>(moves), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RefereeRelay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// Reads one line ending in "\n" from fd into line; false at the end of input.
bool read_line_from(int fd, std::string& line) {
    line.clear();
    char c;
    while (read(fd, &c, 1) == 1) {
        if (c == '\n')
            return true;
        line += c;
    }
    return false;
}

void BM_PipePingPong(benchmark::State& state) {
    int to_child[2], from_child[2];
    if (pipe(to_child) != 0 || pipe(from_child) != 0) {
        state.SkipWithError("pipe");
        return;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(to_child[1]);
        close(from_child[0]);
        char buffer[64];
        ssize_t n;
        while ((n = read(to_child[0], buffer, sizeof buffer)) > 0)
            if (write(from_child[1], buffer, static_cast<size_t>(n)) != n)
                break;
        _exit(0);
    }
    close(to_child[0]);
    close(from_child[1]);
    const char line[] = "move 19 15\n";
    std::string answer;
    int64_t round_trips = 0;
    for (auto _ : state) {
        if (write(to_child[1], line, sizeof line - 1) != static_cast<ssize_t>(sizeof line - 1) ||
            !read_line_from(from_child[0], answer))
            state.SkipWithError("echo");
        ++round_trips;
    }
    close(to_child[1]);
    close(from_child[0]);
    waitpid(child, nullptr, 0);
    state.counters["per_round_trip"] = benchmark::Counter(
        static_cast<double>(round_trips), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PipePingPong)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
