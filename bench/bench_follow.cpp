// Speed of fendrel-view --follow's model: the plot's series of a field of 10 engines over
// 4500 games, at once (a finished file opened) and one more game (a game finishing), and of
// two engines; a first look at a results file of 4500 games and the model brought up to it;
// a look at a game in progress whose file grew.
#include "records/live_game.h"
#include "round_robin.h"
#include "view/follow_files.h"
#include "view/follow_model.h"
#include "view/rating_history.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// A scratch folder of the benchmark's own, emptied first.
std::string scratch(const char* name) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("bench-follow-" + std::string(name));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path.string();
}

// The games of two engines, as many as the round robin has.
std::vector<GameRecord> two_engines() {
    std::vector<GameRecord> records = round_robin();
    for (GameRecord& record : records) {
        record.side1 = record.a_side == 1 ? "new" : "old";
        record.side2 = record.a_side == 1 ? "old" : "new";
    }
    return records;
}

void BM_FieldSeriesAtOnce(benchmark::State& state) {
    const std::vector<GameRecord> records = round_robin();
    for (auto _ : state) {
        RatingHistory history;
        history.update(records, {}, {});
        benchmark::DoNotOptimize(history.series().lines.size());
    }
}
BENCHMARK(BM_FieldSeriesAtOnce)->Unit(benchmark::kMillisecond);

void BM_FieldSeriesNextGame(benchmark::State& state) {
    const std::vector<GameRecord> records = round_robin();
    RatingHistory before;
    before.update({records.begin(), records.end() - 1}, {}, {});
    for (auto _ : state) {
        state.PauseTiming();
        RatingHistory history = before;
        state.ResumeTiming();
        history.update(records, {}, {});
        benchmark::DoNotOptimize(history.series().lines.size());
    }
}
BENCHMARK(BM_FieldSeriesNextGame)->Unit(benchmark::kMicrosecond);

// What the series would cost if each point were the rating list of the games up to it, from
// scratch: every fourth game, as the series of 4500 games keeps them.
void BM_FieldSeriesEachPointFromScratch(benchmark::State& state) {
    const std::vector<GameRecord> records = round_robin();
    for (auto _ : state) {
        for (size_t games = 4; games <= records.size(); games += 4) {
            RatingField field;
            for (size_t i = 0; i < games; ++i)
                field.add(records[i]);
            benchmark::DoNotOptimize(field.ratings().engines.size());
        }
    }
}
BENCHMARK(BM_FieldSeriesEachPointFromScratch)->Unit(benchmark::kMillisecond);

void BM_TwoEngineSeriesWithSprtAtOnce(benchmark::State& state) {
    const std::vector<GameRecord> records = two_engines();
    for (auto _ : state) {
        RatingHistory history;
        history.update(records, {}, {true, 0, 5, 0.05, 0.05});
        benchmark::DoNotOptimize(history.series().llr.size());
    }
}
BENCHMARK(BM_TwoEngineSeriesWithSprtAtOnce)->Unit(benchmark::kMillisecond);

// A finished file of 4500 games of 300 dots each: the first look reads and parses it (on
// the poller's thread), and the model takes it (on the window's: the list, the standings,
// the plot's series).
std::string finished_file() {
    const std::string path = scratch("file") + "/results.jsonl";
    std::ofstream file(path, std::ios::binary);
    for (const GameRecord& record : round_robin(300))
        file << record_to_json(record) << "\n";
    return path;
}

void BM_FinishedFileFirstLook(benchmark::State& state) {
    const std::string path = finished_file();
    for (auto _ : state) {
        FollowReader reader(path);
        benchmark::DoNotOptimize(reader.poll().finished.size());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
BENCHMARK(BM_FinishedFileFirstLook)->Unit(benchmark::kMillisecond);

void BM_FinishedFileIntoTheModel(benchmark::State& state) {
    const std::string path = finished_file();
    FollowReader reader(path);
    const FollowUpdate update = reader.poll();
    for (auto _ : state) {
        state.PauseTiming();
        ViewModel view = follow_view();
        FollowState follow;
        follow.results_path = path;
        FollowUpdate copy = update;
        state.ResumeTiming();
        apply_follow_update(view, follow, std::move(copy));
        benchmark::DoNotOptimize(view.games.size());
    }
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
BENCHMARK(BM_FinishedFileIntoTheModel)->Unit(benchmark::kMillisecond);

// A look at the folder of two games in progress of 600 moves each, one of which changed: it
// is read and parsed again whole.
void BM_LookAtAGameThatGrew(benchmark::State& state) {
    const std::string folder = scratch("live");
    const std::string path = folder + "/results.jsonl";
    std::filesystem::create_directory(live_directory(path));
    GameRecord header;
    for (int game = 0; game < 2; ++game) {
        header.game = game;
        std::ofstream file(live_game_path(path, game), std::ios::binary);
        file << live_header_line(header);
        for (int i = 0; i < 600; ++i)
            file << live_move_line({i % 39, i / 39}, false, 0, 100);
    }
    FollowReader reader(path);
    reader.poll();
    int64_t stamp = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const timespec times[2] = {{0, UTIME_OMIT}, {++stamp, 0}};
        utimensat(AT_FDCWD, live_game_path(path, 0).c_str(), times, 0);
        state.ResumeTiming();
        benchmark::DoNotOptimize(reader.poll().in_progress.size());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LookAtAGameThatGrew)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
