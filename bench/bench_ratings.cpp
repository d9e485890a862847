// Speed of the end of a tournament's output: the rating list of 10 engines over 4500 games (a
// round robin of 100 games a pairing, in pairs of openings), then with its crosstable, text
// and JSON. The games are drawn once, seeded, from engines 40 Elo apart, with some draws.
#include "match/stats/crosstable.h"
#include "match/stats/ratings.h"
#include "match/stats/ratings_json.h"
#include "match/stats/tournament_text.h"
#include "round_robin.h"

#include <benchmark/benchmark.h>

namespace {

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
