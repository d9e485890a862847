// Speed of fendrel-match at concurrency 2: two random engines, which spend next to nothing
// on their moves, and two greedy ones, which look at the board a little. Reports games per
// minute and the referee's share of the CPU time, that is of the match runner and its game
// workers; the rest is the engines'. Each run plays whole games through the built program,
// as an engine author would run it. The `_logs` cases keep every game's logs (--logs). The
// round robins of ten random engines play as many games as the two-engine match of that
// size, and 4500 (45 pairings of 100 games); their peak_rss_mb is the most memory any process
// of the run held, the runner's own for a tournament of that many games.
//
// FENDREL_BENCH_MATCH=PATH times another build of fendrel-match with the same engines, so
// that two builds can be measured in alternating runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

struct MatchCost {
    double games_per_minute = 0;
    double referee_percent = 0;
    double referee_seconds = 0;
    double engine_seconds = 0;
};

// Runs a match of `engines` copies of the engine in `folder`, with a copy of the engine there
// (the test engines keep records beside their program), and reads the closing "Played ..."
// line; false when it did not run. `games` is --games for two engines, --rounds for more.
bool run_match(const std::filesystem::path& folder, const char* program, int engines, int games,
               bool logs, MatchCost& cost) {
    std::filesystem::copy_file(program, folder / "engine",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove_all(folder / "logs");
    const char* other = std::getenv("FENDREL_BENCH_MATCH");
    const std::string match = other && *other ? other : FENDREL_MATCH;
    std::string command = "cd '" + folder.string() + "' && '" + match + "'";
    for (int e = 1; e <= engines; ++e)
        command += " --engine name=E" + std::to_string(e) + " cmd=./engine";
    command += std::string(" --concurrency 2 ") + (engines == 2 ? "--games " : "--rounds ") +
               std::to_string(games) + (logs ? " --logs logs" : "") + " 2>/dev/null";
    std::FILE* output = popen(command.c_str(), "r");
    if (!output)
        return false;
    char line[512];
    bool found = false;
    while (std::fgets(line, sizeof line, output)) {
        size_t played = 0;
        double seconds = 0;
        if (std::sscanf(line,
                        "Played %zu games in %lf s (%lf games per minute); CPU: referee %lf s, "
                        "engines %lf s (referee %lf %%)",
                        &played, &seconds, &cost.games_per_minute, &cost.referee_seconds,
                        &cost.engine_seconds, &cost.referee_percent) == 6)
            found = true;
    }
    return pclose(output) == 0 && found;
}

// A match of state.range(2) copies of `program`, of state.range(0) games (rounds with more
// than two), with its logs kept when state.range(1) is 1.
void BM_MatchAtConcurrency2(benchmark::State& state, const char* program) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "fendrel-bench-match-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path folder = pattern;
    MatchCost cost;
    bool ran = true;
    for (auto _ : state)
        ran = ran && run_match(folder, program, static_cast<int>(state.range(2)),
                               static_cast<int>(state.range(0)), state.range(1) == 1, cost);
    std::filesystem::remove_all(folder);
    if (!ran) {
        state.SkipWithError("fendrel-match did not run");
        return;
    }
    state.counters["games_per_minute"] = cost.games_per_minute;
    state.counters["referee_cpu_percent"] = cost.referee_percent;
    state.counters["referee_cpu_s"] = cost.referee_seconds;
    state.counters["engines_cpu_s"] = cost.engine_seconds;
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

BENCHMARK_CAPTURE(BM_MatchAtConcurrency2, random_engines, RANDOM_ENGINE)
    ->Args({200, 0, 2})
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_CAPTURE(BM_MatchAtConcurrency2, random_engines_logs, RANDOM_ENGINE)
    ->Args({200, 1, 2})
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_CAPTURE(BM_MatchAtConcurrency2, greedy_engines, GREEDY_ENGINE)
    ->Args({40, 0, 2})
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The two-engine match and the round robin of ten of the same size (45 pairings, 10 rounds),
// then the round robin of 4500 games.
BENCHMARK_CAPTURE(BM_MatchAtConcurrency2, random_engines_900, RANDOM_ENGINE)
    ->Args({900, 0, 2})
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_CAPTURE(BM_MatchAtConcurrency2, random_round_robin_of_10_900, RANDOM_ENGINE)
    ->Args({10, 0, 10})
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_CAPTURE(BM_MatchAtConcurrency2, random_round_robin_of_10_4500, RANDOM_ENGINE)
    ->Args({50, 0, 10})
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
