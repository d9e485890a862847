// Speed of the end of a tournament's output: the rating list of 10 engines over 4500 games (a
// round robin of 100 games a pairing, in pairs of openings), then with its crosstable, text
// and JSON. The games are drawn once, seeded, from engines 40 Elo apart, with some draws.
#include "match/stats/crosstable.h"
#include "match/stats/ratings.h"
#include "match/stats/ratings_json.h"
#include "match/stats/tournament_text.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

// The games of the round robin.
std::vector<GameRecord> round_robin() {
    constexpr int ENGINES = 10;
    constexpr int GAMES_A_PAIRING = 100;
    std::mt19937_64 random(4500);
    std::vector<GameRecord> records;
    for (int a = 0; a < ENGINES; ++a)
        for (int b = a + 1; b < ENGINES; ++b)
            for (int g = 0; g < GAMES_A_PAIRING; ++g) {
                GameRecord record;
                record.game = static_cast<int>(records.size());
                const int first = g % 2 ? b : a;
                const int second = g % 2 ? a : b;
                record.side1 = "engine-" + std::to_string(first);
                record.side2 = "engine-" + std::to_string(second);
                const double p = 1 / (1 + std::pow(10.0, -(first - second) * 40 / 400.0));
                const double roll = static_cast<double>(random() >> 11) * 0x1.0p-53;
                record.winner = roll < p - 0.05 ? 1 : roll < p + 0.05 ? 0 : 2;
                records.push_back(record);
            }
    return records;
}

void BM_RatingList(benchmark::State& state) {
    const std::vector<GameRecord> records = round_robin();
    for (auto _ : state)
        benchmark::DoNotOptimize(rating_list(records));
    state.counters["games"] = static_cast<double>(records.size());
}
BENCHMARK(BM_RatingList)->Unit(benchmark::kMillisecond);

void BM_RatingListCrosstableTextAndJson(benchmark::State& state) {
    const std::vector<GameRecord> records = round_robin();
    for (auto _ : state) {
        const RatingList list = rating_list(records);
        const std::vector<Pairing> table = crosstable(records, list);
        benchmark::DoNotOptimize(rating_list_text(list) + crosstable_text(table));
        benchmark::DoNotOptimize(ratings_json(list, table));
    }
}
BENCHMARK(BM_RatingListCrosstableTextAndJson)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
