// The match statistics against values worked out by hand from the published formulas:
//   Elo:    the logistic model, elo = -400·log10(1/s - 1) for a points ratio s;
//   margin: the 95% normal interval of the mean game score, s ± 1.95996·sd/sqrt(N) with
//           sd² = w(1 - s)² + l·s² + d(0.5 - s)² (w, l, d the fractions of games), mapped
//           to Elo and halved;
//   LOS:    0.5·(1 + erf((W - L) / sqrt(2(W + L))));
//   SPRT:   the generalised SPRT of the pentanomial model (M. Van den Bergh),
//           LLR = Σ n_i·log(p1_i / p0_i) with p0 and p1 the maximum-likelihood distributions
//           of the pair scores whose means are the scores of elo0 and elo1, and Wald's
//           bounds log(β/(1 - α)) and log((1 - β)/α).
// Each expected value was computed separately from these formulas: the Elo, margin and LOS
// values with a calculator, the SPRT ones by a direct numerical search for the most likely
// distributions (not the Lagrange solution the code uses).
#include "match/stats/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

TEST(EloTest, WorkedExamples) {
    // 52 wins, 40 losses, 8 draws: s = 0.56.
    const EloEstimate mixed = elo_estimate({52, 40, 8});
    EXPECT_NEAR(points_ratio({52, 40, 8}), 0.56, 1e-12);
    EXPECT_NEAR(mixed.difference, 41.894, 1e-3);
    EXPECT_NEAR(mixed.margin, 66.588, 1e-3);

    // Mostly draws narrows the interval: 30 - 10 - 60, s = 0.6.
    const EloEstimate drawish = elo_estimate({30, 10, 60});
    EXPECT_NEAR(drawish.difference, 70.437, 1e-3);
    EXPECT_NEAR(drawish.margin, 42.801, 1e-3);

    const EloEstimate even = elo_estimate({10, 10, 0});
    EXPECT_NEAR(even.difference, 0, 1e-12);
    EXPECT_NEAR(even.margin, 163.321, 1e-3);
}

TEST(EloTest, NoGamesGiveNoFigure) {
    EXPECT_EQ(points_ratio({}), 0.5);
    const EloEstimate none = elo_estimate({});
    EXPECT_TRUE(std::isnan(none.difference));
    EXPECT_TRUE(std::isnan(none.margin));
    EXPECT_TRUE(std::isnan(none.low));
    EXPECT_TRUE(std::isnan(none.high));
}

TEST(EloTest, IntervalOpenWhereItReachesAScoreOfZeroOrOne) {
    // 7 - 3 stays inside: both ends finite, the margin half the width.
    const EloEstimate inside = elo_estimate({7, 3, 0});
    EXPECT_NEAR(inside.margin, 387.390, 1e-3);
    EXPECT_NEAR(inside.high - inside.low, 2 * inside.margin, 1e-9);
    // 3 - 1: s = 0.75 ± 0.4244 reaches past 1, so only the lower end has an Elo.
    const EloEstimate open_above = elo_estimate({3, 1, 0});
    EXPECT_NEAR(open_above.difference, 190.849, 1e-3);
    EXPECT_NEAR(open_above.low, -126.449, 1e-3);
    EXPECT_TRUE(std::isinf(open_above.high) && open_above.high > 0);
    EXPECT_TRUE(std::isnan(open_above.margin));
    // 1 - 1: s = 0.5 ± 0.693 leaves both ends open.
    const EloEstimate open = elo_estimate({1, 1, 0});
    EXPECT_TRUE(std::isinf(open.low) && open.low < 0);
    EXPECT_TRUE(std::isinf(open.high) && open.high > 0);
}

TEST(EloTest, GamesAllAlikeBoundTheDifferenceByTheChanceOfSuchARun) {
    // Every game won: the difference is unbounded above; a win probability below
    // 0.05^(1/N) would make N wins in a row rarer than 5%, which bounds it below.
    const EloEstimate sweep = elo_estimate({200, 0, 0});
    EXPECT_TRUE(std::isinf(sweep.difference) && sweep.difference > 0);
    EXPECT_NEAR(sweep.low, 728.508, 1e-3);
    EXPECT_TRUE(std::isinf(sweep.high));
    EXPECT_TRUE(std::isnan(sweep.margin));
    // One win says little: the bound is far below even.
    EXPECT_NEAR(elo_estimate({1, 0, 0}).low, -511.501, 1e-3);
    // Every game lost mirrors it.
    const EloEstimate swept = elo_estimate({0, 200, 0});
    EXPECT_TRUE(std::isinf(swept.difference) && swept.difference < 0);
    EXPECT_TRUE(std::isinf(swept.low));
    EXPECT_NEAR(swept.high, -728.508, 1e-3);
    // Every game drawn: the decisive share is at most 1 - 0.05^(1/N), which bounds the
    // score to 0.5 ± half of it, not to exactly even.
    const EloEstimate drawn = elo_estimate({0, 0, 100});
    EXPECT_EQ(drawn.difference, 0);
    EXPECT_NEAR(drawn.margin, 10.257, 1e-3);
    EXPECT_NEAR(drawn.low, -10.257, 1e-3);
    EXPECT_NEAR(elo_estimate({0, 0, 4}).margin, 203.653, 1e-3);
}

TEST(EloTest, ScoreAndEloAreInverse) {
    for (double elo : {-600.0, -35.5, 0.0, 5.0, 400.0})
        EXPECT_NEAR(elo_from_score(score_from_elo(elo)), elo, 1e-9);
    EXPECT_NEAR(score_from_elo(400), 10.0 / 11.0, 1e-12);
}

TEST(LosTest, WorkedExamples) {
    EXPECT_NEAR(likelihood_of_superiority({52, 40, 8}), 0.89455, 1e-5);
    EXPECT_NEAR(likelihood_of_superiority({30, 10, 60}), 0.99922, 1e-5);
    EXPECT_NEAR(likelihood_of_superiority({1, 0, 0}), 0.84134, 1e-5);
    EXPECT_EQ(likelihood_of_superiority({0, 0, 9}), 0.5);
    EXPECT_EQ(likelihood_of_superiority({4, 4, 1}), 0.5);
}

TEST(LosTest, ExtremesStayWithinZeroAndOne) {
    EXPECT_EQ(likelihood_of_superiority({}), 0.5);
    EXPECT_EQ(likelihood_of_superiority({200, 0, 0}), 1);
    EXPECT_EQ(likelihood_of_superiority({0, 200, 0}), 0);
    EXPECT_NEAR(likelihood_of_superiority({0, 1, 0}), 1 - 0.84134, 1e-5);
}

TEST(DrawRatioTest, Fractions) {
    EXPECT_EQ(draw_ratio({}), 0);
    EXPECT_NEAR(draw_ratio({30, 10, 60}), 0.6, 1e-12);
    EXPECT_EQ(draw_ratio({0, 0, 7}), 1);
    EXPECT_EQ(draw_ratio({200, 0, 0}), 0);
}

TEST(PentanomialTest, CountsOnlyCompletePairs) {
    // Pair 0: 1 + 1; pair 1: 0.5 + 0; pair 2: 1 + 0; pair 3: 0 + 0.5 given in reverse order;
    // game 8 has no partner; pair 5: 0.5 + 0.5; pair 6: 0 + 0; pair 7 has three games, a
    // game twice, and counts as no pair.
    const Pentanomial counts = count_pentanomial({{0, 1},
                                                  {1, 1},
                                                  {2, 0.5},
                                                  {3, 0},
                                                  {4, 1},
                                                  {5, 0},
                                                  {7, 0.5},
                                                  {6, 0},
                                                  {8, 1},
                                                  {10, 0.5},
                                                  {11, 0.5},
                                                  {12, 0},
                                                  {13, 0},
                                                  {14, 1},
                                                  {15, 1},
                                                  {14, 1}});
    EXPECT_EQ(counts, (Pentanomial{1, 2, 2, 0, 1}));
    EXPECT_EQ(count_pentanomial({}), (Pentanomial{}));
}

TEST(SprtTest, WorkedLogLikelihoodRatios) {
    EXPECT_NEAR(sprt_llr({10, 20, 40, 25, 5}, 0, 5), -0.178564, 1e-6);
    EXPECT_NEAR(sprt_llr({2, 10, 20, 12, 6}, -5, 5), 0.545697, 1e-6);
    EXPECT_NEAR(sprt_llr({0, 3, 10, 30, 7}, 0, 20), 2.795435, 1e-6);
    EXPECT_EQ(sprt_llr({}, 0, 5), 0);
}

TEST(SprtTest, FewOrAlikePairsGiveLittleEvidence) {
    // One lost pair: the likeliest distributions put 1 - s0 and 1 - s1 on a lost pair.
    EXPECT_NEAR(sprt_llr({1, 0, 0, 0, 0}, 0, 5), std::log((1 - score_from_elo(5)) / 0.5), 1e-6);
    // Ten pairs won twice: each counts log(s1 / s0), however clear the wins look.
    EXPECT_NEAR(sprt_llr({0, 0, 0, 0, 10}, 0, 5), 0.142876, 1e-6);
    EXPECT_NEAR(sprt_llr({0, 0, 0, 0, 10}, 0, 5), 10 * std::log(score_from_elo(5) / 0.5), 1e-3);
}

TEST(SprtTest, ExtremeRunsGiveFiniteRatios) {
    // 100 pairs all won, all lost or all drawn, tested at the widest hypotheses allowed.
    for (const Pentanomial& pairs :
         {Pentanomial{0, 0, 0, 0, 100}, Pentanomial{100, 0, 0, 0, 0}, Pentanomial{0, 0, 100, 0, 0}})
        for (const auto& [elo0, elo1] : {std::pair{0.0, 5.0}, std::pair{-1000.0, 1000.0}})
            EXPECT_TRUE(std::isfinite(sprt_llr(pairs, elo0, elo1)));
    // All drawn pairs count against any hypothesis away from even: elo1 = 5 is further
    // than elo0 = 0, so the evidence is for H0.
    EXPECT_LT(sprt_llr({0, 0, 100, 0, 0}, 0, 5), 0);
    EXPECT_GT(sprt_llr({0, 0, 0, 0, 100}, 0, 5), 0);
    EXPECT_LT(sprt_llr({100, 0, 0, 0, 0}, 0, 5), 0);
}

TEST(SprtTest, WaldBounds) {
    EXPECT_NEAR(sprt_lower_bound(0.05, 0.05), -2.94444, 1e-5);
    EXPECT_NEAR(sprt_upper_bound(0.05, 0.05), 2.94444, 1e-5);
    EXPECT_NEAR(sprt_lower_bound(0.05, 0.1), std::log(0.1 / 0.95), 1e-12);
    EXPECT_NEAR(sprt_upper_bound(0.05, 0.1), std::log(0.9 / 0.05), 1e-12);
}

} // namespace
