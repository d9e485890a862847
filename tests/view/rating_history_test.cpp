// The plot's series of a watched match: every point is what the statistics give of the games
// up to it, whether the games come one by one or all at once; past the most points only
// every second, fourth, ... game keeps its point; two engines become a field when a third
// plays. The plot's axes: round ticks, and ranges that hold what is drawn.
#include "match/stats/summary.h"
#include "tournament_games.h"
#include "view/plot_axes.h"
#include "view/rating_history.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Equal, NaN and infinities included.
bool same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b || std::fabs(a - b) < 1e-9;
}

std::vector<GameRecord> prefix(const std::vector<GameRecord>& records, int games) {
    return {records.begin(), records.begin() + games};
}

// Feeds the records in pieces of these sizes (the rest at the end).
RatingHistory fed(const std::vector<GameRecord>& records, const std::vector<std::string>& field,
                  const SprtSpec& sprt, const std::vector<size_t>& pieces, size_t most = 2000) {
    RatingHistory history(most);
    size_t count = 0;
    for (const size_t piece : pieces) {
        count = std::min(count + piece, records.size());
        history.update(prefix(records, static_cast<int>(count)), field, sprt);
    }
    history.update(records, field, sprt);
    return history;
}

TEST(RatingHistory, TwoEnginesTheEloDifferenceAndTheSprtAfterEachGame) {
    std::vector<GameRecord> records =
        TournamentGames().pairs("new", "old", {2, 1, 1.5, 0.5, 2, 2, 1, 0, 1.5, 2}).records();
    // The match's first engine, whose side the summary takes, is "new".
    for (GameRecord& record : records)
        record.a_side = record.side1 == "new" ? 1 : 2;
    const SprtSpec sprt{true, 0, 10, 0.05, 0.05};
    for (const std::vector<size_t>& pieces : {std::vector<size_t>{}, {1, 1, 3, 7}}) {
        const RatingHistory history = fed(records, {}, sprt, pieces);
        const RatingSeries& series = history.series();
        ASSERT_TRUE(series.difference);
        ASSERT_TRUE(series.sprt);
        ASSERT_EQ(series.lines.size(), 1u);
        EXPECT_EQ(series.lines[0].name, "new - old");
        EXPECT_EQ(series.lower_bound, sprt_lower_bound(0.05, 0.05));
        ASSERT_EQ(series.lines[0].points.size(), records.size());
        ASSERT_EQ(series.llr.size(), records.size());
        for (int games = 1; games <= static_cast<int>(records.size()); ++games) {
            const MatchTotals totals = match_totals(prefix(records, games));
            const EloEstimate elo = elo_estimate(totals.tally);
            const PlotPoint& point = series.lines[0].points[static_cast<size_t>(games - 1)];
            EXPECT_EQ(point.games, games);
            EXPECT_TRUE(same(point.value, elo.difference)) << games;
            EXPECT_TRUE(same(point.low, elo.low)) << games;
            EXPECT_TRUE(same(point.high, elo.high)) << games;
            EXPECT_TRUE(same(series.llr[static_cast<size_t>(games - 1)].value,
                             sprt_llr(totals.pentanomial, 0, 10)))
                << games;
        }
        // The first game won: no finite difference yet, and an interval open above.
        EXPECT_TRUE(std::isinf(series.lines[0].points[0].value));
    }
}

TEST(RatingHistory, AFieldEachEnginesRatingAfterEachGameThinnedPastTheMostPoints) {
    TournamentGames games;
    for (int round = 0; round < 4; ++round)
        games.results("a", "b", 2, 1, 1)
            .results("c", "d", 1, 0, 2)
            .results("a", "c", 2, 0, 1)
            .results("b", "d", 1, 1, 1)
            .results("a", "d", 1, 0, 1);
    const std::vector<GameRecord>& records = games.records();
    const std::vector<std::string> field = {"a", "b", "c", "d", "idle"};
    // Every point, and then thinned to at most 8 (plus the latest game's), fed one game at a
    // time or at once: the same points.
    for (const size_t most : {size_t{2000}, size_t{8}}) {
        std::vector<size_t> one_by_one(records.size(), 1);
        const RatingHistory by_game = fed(records, field, {}, one_by_one, most);
        const RatingHistory at_once = fed(records, field, {}, {}, most);
        for (const RatingHistory* history : {&by_game, &at_once}) {
            const RatingSeries& series = history->series();
            ASSERT_FALSE(series.difference);
            ASSERT_EQ(series.lines.size(), field.size());
            EXPECT_EQ(series.games, static_cast<int>(records.size()));
            for (size_t e = 0; e < field.size(); ++e) {
                const std::vector<PlotPoint>& points = series.lines[e].points;
                EXPECT_EQ(series.lines[e].name, field[e]);
                if (most == 8) {
                    // 60 games: every 8th, and the last.
                    std::vector<int> at;
                    for (const PlotPoint& point : points)
                        at.push_back(point.games);
                    EXPECT_EQ(at, (std::vector<int>{8, 16, 24, 32, 40, 48, 56, 60}));
                } else {
                    ASSERT_EQ(points.size(), records.size());
                }
                for (const PlotPoint& point : points) {
                    const RatingList list = rating_list(prefix(records, point.games), {}, field);
                    double elo = NAN;
                    for (const EngineRating& engine : list.engines)
                        if (engine.name == field[e] && engine.status == RatingStatus::rated)
                            elo = engine.elo;
                    EXPECT_TRUE(same(point.value, elo)) << field[e] << " after " << point.games;
                }
            }
        }
    }
}

TEST(RatingHistory, TwoEnginesBecomeAFieldAndFewerGamesStartAgain) {
    const std::vector<GameRecord> records =
        TournamentGames().results("a", "b", 2, 0, 2).results("a", "c", 1, 0, 1).records();
    RatingHistory history;
    history.update(prefix(records, 4), {}, {});
    EXPECT_TRUE(history.series().difference);
    EXPECT_EQ(history.series().lines.at(0).points.size(), 4u);
    history.update(records, {}, {});
    ASSERT_FALSE(history.series().difference);
    ASSERT_EQ(history.series().lines.size(), 3u);
    EXPECT_EQ(history.series().lines[0].points.size(), records.size());
    history.update(prefix(records, 2), {}, {});
    EXPECT_TRUE(history.series().difference);
    EXPECT_EQ(history.series().games, 2);
    EXPECT_EQ(history.series().lines.at(0).points.size(), 2u);
}

TEST(PlotAxes, TicksAtRoundNumbersAndRangesThatHoldWhatIsDrawn) {
    const struct {
        double low, high;
        int count;
        double axis_low, axis_high;
        size_t ticks;
        int decimals;
    } cases[] = {
        {0, 12, 6, 0, 12, 7, 0},       {-37, 112, 5, -50, 150, 5, 0},  {0, 1, 6, 0, 1, 6, 1},
        {-2.94, 2.94, 4, -4, 4, 5, 0}, {0, 4500, 6, 0, 5000, 6, 0},    {5, 5, 5, 4, 6, 5, 1},
        {0, 0, 5, -1, 1, 5, 1},        {0.01, 0.07, 3, 0, 0.08, 5, 2},
    };
    for (const auto& c : cases) {
        const Axis axis = axis_over(c.low, c.high, c.count);
        EXPECT_DOUBLE_EQ(axis.low, c.axis_low) << c.low << " " << c.high;
        EXPECT_DOUBLE_EQ(axis.high, c.axis_high) << c.low << " " << c.high;
        EXPECT_EQ(axis.ticks.size(), c.ticks) << c.low << " " << c.high;
        EXPECT_EQ(axis.decimals, c.decimals) << c.low << " " << c.high;
        EXPECT_LE(axis.low, c.low);
        EXPECT_GE(axis.high, c.high);
    }
    EXPECT_EQ(tick_label(-50, 0), "-50");
    EXPECT_EQ(tick_label(-1e-12, 1), "0.0");
    EXPECT_EQ(tick_label(2.5, 1), "2.5");

    // The Elo range: every value, the last interval (an infinite end left out) and 0.
    RatingSeries series;
    series.difference = true;
    series.lines = {{"a - b", {{1, INFINITY, 30, INFINITY}, {2, 40, -10, 90}, {3, 20, -5, 45}}}};
    double low = 0;
    double high = 0;
    elo_range(series, low, high);
    EXPECT_EQ(low, -5);
    EXPECT_EQ(high, 45);
    series.lower_bound = -2.9;
    series.upper_bound = 2.9;
    series.llr = {{1, 0.5, NAN, NAN}, {2, 3.5, NAN, NAN}};
    llr_range(series, low, high);
    EXPECT_EQ(low, -2.9);
    EXPECT_EQ(high, 3.5);
}

} // namespace
