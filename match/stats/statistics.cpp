#include "match/stats/statistics.h"

#include <cmath>
#include <limits>
#include <map>

namespace {

// A pentanomial bin with no pairs, as a weight.
constexpr double EMPTY_BIN_WEIGHT = 1e-3;

// The score of pentanomial bin i, per game: 0, 0.25, 0.5, 0.75 or 1.
double bin_score(size_t i) {
    return static_cast<double>(i) / 4;
}

// The distribution over the five pair scores with mean `mean` that gives the observed
// distribution `observed` (no bin empty) the greatest likelihood. By Lagrange it is
// p_i = o_i / (1 + λ·(x_i - mean)), where λ solves Σ o_i·(x_i - mean) / (1 + λ·(x_i - mean))
// = 0; that sum falls steadily from +∞ to -∞ as λ runs over the interval that keeps every
// p_i positive, so bisection finds λ.
void nearest_with_mean(const double (&observed)[5], double mean, double (&nearest)[5]) {
    auto gap = [&](double lambda) {
        double sum = 0;
        for (size_t i = 0; i < 5; ++i)
            sum += observed[i] * (bin_score(i) - mean) / (1 + lambda * (bin_score(i) - mean));
        return sum;
    };
    double low = -1 / (1 - mean);
    double high = 1 / mean;
    for (int step = 0; step < 100; ++step) {
        const double middle = (low + high) / 2;
        (gap(middle) > 0 ? low : high) = middle;
    }
    const double lambda = (low + high) / 2;
    for (size_t i = 0; i < 5; ++i)
        nearest[i] = observed[i] / (1 + lambda * (bin_score(i) - mean));
}

} // namespace

int game_count(const Tally& tally) {
    return tally.wins + tally.losses + tally.draws;
}

void count_game(Tally& tally, double points) {
    if (points == 1)
        ++tally.wins;
    else if (points == 0)
        ++tally.losses;
    else
        ++tally.draws;
}

double points_ratio(const Tally& tally) {
    const int games = game_count(tally);
    return games ? (tally.wins + 0.5 * tally.draws) / games : 0.5;
}

double elo_from_score(double s) {
    if (s <= 0)
        return -std::numeric_limits<double>::infinity();
    if (s >= 1)
        return std::numeric_limits<double>::infinity();
    return 400 * std::log10(s / (1 - s));
}

double score_from_elo(double elo) {
    return 1 / (1 + std::pow(10.0, -elo / 400));
}

EloEstimate elo_estimate(const Tally& tally) {
    constexpr double NAN_VALUE = std::numeric_limits<double>::quiet_NaN();
    constexpr double INF = std::numeric_limits<double>::infinity();
    const int games = game_count(tally);
    if (games == 0)
        return {NAN_VALUE, NAN_VALUE, NAN_VALUE, NAN_VALUE};
    const double s = points_ratio(tally);
    if (tally.wins == games || tally.losses == games || tally.draws == games) {
        // The least probability of the one result seen that leaves N of it a 5% chance.
        const double alike = std::pow(0.05, 1.0 / games);
        if (tally.wins == games)
            return {INF, NAN_VALUE, elo_from_score(alike), INF};
        if (tally.losses == games)
            return {-INF, NAN_VALUE, -INF, elo_from_score(1 - alike)};
        const double reach = elo_from_score(0.5 + (1 - alike) / 2);
        return {0, reach, -reach, reach};
    }
    const double w = static_cast<double>(tally.wins) / games;
    const double l = static_cast<double>(tally.losses) / games;
    const double d = static_cast<double>(tally.draws) / games;
    const double variance = w * (1 - s) * (1 - s) + l * s * s + d * (0.5 - s) * (0.5 - s);
    const double spread = Z_95 * std::sqrt(variance / games);
    // elo_from_score makes an end beyond a score of 0 or 1 infinite.
    const double low = elo_from_score(s - spread);
    const double high = elo_from_score(s + spread);
    const double margin = std::isfinite(low) && std::isfinite(high) ? (high - low) / 2 : NAN_VALUE;
    return {elo_from_score(s), margin, low, high};
}

double likelihood_of_superiority(const Tally& tally) {
    const int decisive = tally.wins + tally.losses;
    if (decisive == 0)
        return 0.5;
    return 0.5 * (1 + std::erf((tally.wins - tally.losses) / std::sqrt(2.0 * decisive)));
}

double draw_ratio(const Tally& tally) {
    const int games = game_count(tally);
    return games ? static_cast<double>(tally.draws) / games : 0;
}

Pentanomial count_pentanomial(const std::vector<std::pair<int, double>>& game_points) {
    std::map<int, std::pair<int, double>> pairs; // pair index: games seen, points
    for (const auto& [game, points] : game_points) {
        auto& pair = pairs[game / 2];
        ++pair.first;
        pair.second += points;
    }
    Pentanomial counts{};
    for (const auto& [index, pair] : pairs) {
        if (pair.first == 2)
            ++counts[static_cast<size_t>(std::lround(pair.second * 2))];
    }
    return counts;
}

double sprt_llr(const Pentanomial& pairs, double elo0, double elo1) {
    double pair_count = 0;
    double total = 0;
    double weights[5];
    for (size_t i = 0; i < 5; ++i) {
        pair_count += pairs[i];
        weights[i] = pairs[i] ? pairs[i] : EMPTY_BIN_WEIGHT;
        total += weights[i];
    }
    if (pair_count == 0)
        return 0;
    for (double& weight : weights)
        weight /= total;
    double h0[5];
    double h1[5];
    nearest_with_mean(weights, score_from_elo(elo0), h0);
    nearest_with_mean(weights, score_from_elo(elo1), h1);
    double llr = 0;
    for (size_t i = 0; i < 5; ++i)
        llr += pairs[i] * std::log(h1[i] / h0[i]);
    return llr;
}

double sprt_lower_bound(double alpha, double beta) {
    return std::log(beta / (1 - alpha));
}

double sprt_upper_bound(double alpha, double beta) {
    return std::log((1 - beta) / alpha);
}
