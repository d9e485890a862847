// The match statistics against values worked out by hand from the published formulas:
//   Elo:    the logistic model, elo = -400·log10(1/s - 1) for a points ratio s;
//   margin: the 95% normal interval of the mean game score, s ± 1.95996·sd/sqrt(N) with
//           sd² = w(1 - s)² + l·s² + d(0.5 - s)² (w, l, d the fractions of games), mapped
//           to Elo and halved;
//   LOS:    0.5·(1 + erf((W - L) / sqrt(2(W + L))));
//   SPRT:   the generalised SPRT in its normal approximation (M. Van den Bergh),
//           LLR = N·((m - s0)² - (m - s1)²) / (2v) over the N pairs' scores, with Wald's
//           bounds log(β/(1 - α)) and log((1 - β)/α).
// Each expected value was computed separately with a calculator from these formulas.
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
    // m = 0.4875 and v = 0.06546875 over 100 pairs, s0 = 0.5, s1 = 0.507195.
    EXPECT_NEAR(sprt_llr({10, 20, 40, 25, 5}, 0, 5), -0.17691, 1e-5);
    // m = 0.55, v = 0.065 over 50 pairs, against elo -5 and 5.
    EXPECT_NEAR(sprt_llr({2, 10, 20, 12, 6}, -5, 5), 0.55347, 1e-5);
    // Every pair won twice: the empty bins' small weight keeps the ratio finite and large.
    EXPECT_NEAR(sprt_llr({0, 0, 0, 0, 10}, 0, 5), 190.532, 1e-3);
    EXPECT_EQ(sprt_llr({}, 0, 5), 0);
}

TEST(SprtTest, WaldBounds) {
    EXPECT_NEAR(sprt_lower_bound(0.05, 0.05), -2.94444, 1e-5);
    EXPECT_NEAR(sprt_upper_bound(0.05, 0.05), 2.94444, 1e-5);
    EXPECT_NEAR(sprt_lower_bound(0.05, 0.1), std::log(0.1 / 0.95), 1e-12);
    EXPECT_NEAR(sprt_upper_bound(0.05, 0.1), std::log(0.9 / 0.05), 1e-12);
}

} // namespace
