// The statistics of a match, seen from the first engine (A): the score, the Elo difference
// with its 95% margin, the likelihood of superiority, the pentanomial counts of the paired
// games, and the sequential probability ratio test. Pure functions of counts.
#pragma once

#include <array>
#include <utility>
#include <vector>

// Games won, lost and drawn by engine A.
struct Tally {
    int wins = 0;
    int losses = 0;
    int draws = 0;
};

int game_count(const Tally& tally);

// Counts a game in which the engine scored `points` (1, 0.5 or 0).
void count_game(Tally& tally, double points);

// The two-sided 95% quantile of the standard normal distribution.
inline constexpr double Z_95 = 1.959963984540054;

// A's points per game, draws counting one half; 0.5 for no games.
double points_ratio(const Tally& tally);

// The logistic Elo difference that gives an expected score s: 400·log10(s / (1 - s));
// infinite at 0 and 1.
double elo_from_score(double s);

// The expected score of an Elo difference: 1 / (1 + 10^(-elo/400)).
double score_from_elo(double elo);

// The Elo difference of the points ratio and the 95% confidence interval around it, from
// the normal approximation of the mean game score. Where the interval reaches a score of 0
// or 1 that end has no Elo and is infinite, and the margin (half the width) is NaN. When
// every game ended alike the approximation has no spread at all; the interval then holds
// the strengths under which N alike results have a chance of at least 5%: a win (or loss,
// or draw) probability of at least 0.05^(1/N). A clean sweep thus has an infinite
// difference with one finite end. Without games everything is NaN.
struct EloEstimate {
    double difference;
    double margin;
    double low;
    double high;
};
EloEstimate elo_estimate(const Tally& tally);

// The probability that A is the stronger engine, from wins and losses alone (draws carry
// no information): 0.5·(1 + erf((W - L) / sqrt(2·(W + L)))); 0.5 without decisive games.
double likelihood_of_superiority(const Tally& tally);

// Drawn games per game; 0 for no games.
double draw_ratio(const Tally& tally);

// Counts of the game pairs (the two games of one opening, colours swapped) in which A
// scored 0, 0.5, 1, 1.5 and 2 points.
using Pentanomial = std::array<int, 5>;

// Pairs up games by index (games 2k and 2k + 1 form pair k) from (game index, A's points)
// and counts the complete pairs; a game whose partner is missing is left out.
Pentanomial count_pentanomial(const std::vector<std::pair<int, double>>& game_points);

// The generalised SPRT of H0: elo = elo0 against H1: elo = elo1 (logistic Elo) on the pair
// scores (M. Van den Bergh's GSPRT for the pentanomial model): LLR = Σ n_i·log(p1_i / p0_i)
// over the five pair scores, where p0 and p1 are the distributions most likely to have
// given the observed counts among those whose mean score per game is s0 and s1, the
// expected scores of elo0 and elo1. Empty bins count as 0.001 pairs, so that a run whose
// pairs all ended alike still has a spread. 0 without pairs.
double sprt_llr(const Pentanomial& pairs, double elo0, double elo1);

// Wald's bounds: H0 is accepted at or below log(beta / (1 - alpha)), H1 at or above
// log((1 - beta) / alpha).
double sprt_lower_bound(double alpha, double beta);
double sprt_upper_bound(double alpha, double beta);
