// The maximum-likelihood logistic (Bradley-Terry) ratings of engines from their results
// against each other, a draw half a point for each side, and the covariance of those
// ratings from the curvature of the log-likelihood at its maximum. Pure arithmetic on
// counts: which engines to fit, and on what scale to show them, is the rating list's.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// The results between engines numbered from 0.
class ResultMatrix {
  public:
    explicit ResultMatrix(size_t engines);

    size_t engines() const { return engines_; }

    // Adds games of `first` against `second` in which `first` scored `points`.
    void add(size_t first, size_t second, double games, double points);

    double games(size_t i, size_t j) const { return games_[i * engines_ + j]; }
    double points(size_t i, size_t j) const { return points_[i * engines_ + j]; }

  private:
    size_t engines_;
    std::vector<double> games_;  // symmetric
    std::vector<double> points_; // points(i, j) + points(j, i) == games(i, j)
};

struct BradleyTerryFit {
    // Elo on the usual 400·log10 scale, engine 0 at 0.
    std::vector<double> elo;
    // The covariance of `elo` (engines × engines, row by row): the inverse of the observed
    // information with engine 0 held at 0, so its row and column are 0.
    std::vector<double> covariance;
};

// The fit of results in which every engine has a finite rating: for every split of the
// engines in two, each side took points from the other (the graph of "took points from" is
// strongly connected). Newton's method with step halving on the concave log-likelihood.
BradleyTerryFit fit_bradley_terry(const ResultMatrix& results);

// The least Elo at which winning every one of the games against opponents of these Elo
// (each with its number of games, at least one opponent) has at least the chance `chance`: the
// one-sided bound of an engine whose rating a clean sweep makes infinite.
double sweep_bound(const std::vector<std::pair<double, int>>& opponents, double chance);
