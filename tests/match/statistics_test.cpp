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
#include "match/statistics.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST(EloTest, EdgesHaveNoFiniteValue) {
    // No games: nothing is known.
    EXPECT_EQ(points_ratio({}), 0.5);
    EXPECT_TRUE(std::isnan(elo_estimate({}).margin));
    // A clean sweep has an infinite difference and no interval.
    EXPECT_TRUE(std::isinf(elo_estimate({5, 0, 0}).difference));
    EXPECT_GT(elo_estimate({5, 0, 0}).difference, 0);
    EXPECT_LT(elo_estimate({0, 5, 0}).difference, 0);
    EXPECT_TRUE(std::isnan(elo_estimate({5, 0, 0}).margin));
    // An interval that reaches a score of 0 has no margin either: 7 - 3 is wide enough not to.
    EXPECT_NEAR(elo_estimate({7, 3, 0}).margin, 387.390, 1e-3);
    EXPECT_TRUE(std::isnan(elo_estimate({3, 1, 0}).margin));
    // All draws: s = 0.5 with no spread at all.
    EXPECT_NEAR(elo_estimate({0, 0, 4}).margin, 0, 1e-12);
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

TEST(DrawRatioTest, Fractions) {
    EXPECT_EQ(draw_ratio({}), 0);
    EXPECT_NEAR(draw_ratio({30, 10, 60}), 0.6, 1e-12);
}

TEST(PentanomialTest, CountsOnlyCompletePairs) {
    // Pair 0: 1 + 1; pair 1: 0.5 + 0; pair 2: 1 + 0; pair 3: 0 + 0.5 given in reverse order;
    // game 8 has no partner; pair 5: 0.5 + 0.5; pair 6: 0 + 0.
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
                                                  {13, 0}});
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

TEST(SprtTest, WaldBounds) {
    EXPECT_NEAR(sprt_lower_bound(0.05, 0.05), -2.94444, 1e-5);
    EXPECT_NEAR(sprt_upper_bound(0.05, 0.05), 2.94444, 1e-5);
    EXPECT_NEAR(sprt_lower_bound(0.05, 0.1), std::log(0.1 / 0.95), 1e-12);
    EXPECT_NEAR(sprt_upper_bound(0.05, 0.1), std::log(0.9 / 0.05), 1e-12);
}

} // namespace
