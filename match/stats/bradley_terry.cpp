#include "match/stats/bradley_terry.h"

#include <cmath>

namespace {

// Elo per natural logistic unit: a difference of d units gives a score of 1 / (1 + e^-d).
const double ELO_PER_UNIT = 400 / std::log(10.0);

// Newton steps at most, and the step in logistic units below which the fit has converged
// (a billionth of an Elo).
constexpr int MAX_STEPS = 200;
constexpr double CONVERGED_STEP = 1e-11;

// log(1 / (1 + e^-x)), without overflow at either end.
double log_logistic(double x) {
    return x >= 0 ? -std::log1p(std::exp(-x)) : x - std::log1p(std::exp(x));
}

double logistic(double x) {
    return x >= 0 ? 1 / (1 + std::exp(-x)) : std::exp(x) / (1 + std::exp(x));
}

// The log-likelihood of the results at strengths `theta` (logistic units).
double log_likelihood(const ResultMatrix& results, const std::vector<double>& theta) {
    double sum = 0;
    for (size_t i = 0; i < results.engines(); ++i)
        for (size_t j = 0; j < results.engines(); ++j)
            if (results.points(i, j) > 0)
                sum += results.points(i, j) * log_logistic(theta[i] - theta[j]);
    return sum;
}

// A symmetric positive definite matrix of size n (row by row) as its Cholesky factor L,
// in place (the lower triangle).
void cholesky(std::vector<double>& a, size_t n) {
    for (size_t j = 0; j < n; ++j) {
        double diagonal = a[j * n + j];
        for (size_t k = 0; k < j; ++k)
            diagonal -= a[j * n + k] * a[j * n + k];
        a[j * n + j] = std::sqrt(diagonal);
        for (size_t i = j + 1; i < n; ++i) {
            double sum = a[i * n + j];
            for (size_t k = 0; k < j; ++k)
                sum -= a[i * n + k] * a[j * n + k];
            a[i * n + j] = sum / a[j * n + j];
        }
    }
}

// Solves L·Lᵀ·x = b for the factor of `cholesky`, in place.
void solve_cholesky(const std::vector<double>& l, size_t n, std::vector<double>& b) {
    for (size_t i = 0; i < n; ++i) {
        for (size_t k = 0; k < i; ++k)
            b[i] -= l[i * n + k] * b[k];
        b[i] /= l[i * n + i];
    }
    for (size_t i = n; i-- > 0;) {
        for (size_t k = i + 1; k < n; ++k)
            b[i] -= l[k * n + i] * b[k];
        b[i] /= l[i * n + i];
    }
}

// The gradient of the log-likelihood and its observed information (minus its Hessian) in
// the strengths of engines 1..n-1, engine 0 held at 0; both indexed from engine 1.
void gradient_and_information(const ResultMatrix& results, const std::vector<double>& theta,
                              std::vector<double>& gradient, std::vector<double>& information) {
    const size_t n = results.engines();
    const size_t m = n - 1;
    gradient.assign(m, 0);
    information.assign(m * m, 0);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            const double games = results.games(i, j);
            if (games == 0)
                continue;
            const double expected = logistic(theta[i] - theta[j]);
            const double residual = results.points(i, j) - games * expected;
            const double curvature = games * expected * (1 - expected);
            if (i > 0) {
                gradient[i - 1] += residual;
                information[(i - 1) * m + (i - 1)] += curvature;
            }
            gradient[j - 1] -= residual;
            information[(j - 1) * m + (j - 1)] += curvature;
            if (i > 0) {
                information[(i - 1) * m + (j - 1)] -= curvature;
                information[(j - 1) * m + (i - 1)] -= curvature;
            }
        }
    }
}

} // namespace

ResultMatrix::ResultMatrix(size_t engines)
    : engines_(engines), games_(engines * engines, 0), points_(engines * engines, 0) {}

void ResultMatrix::add(size_t first, size_t second, double games, double points) {
    games_[first * engines_ + second] += games;
    games_[second * engines_ + first] += games;
    points_[first * engines_ + second] += points;
    points_[second * engines_ + first] += games - points;
}

BradleyTerryFit fit_bradley_terry(const ResultMatrix& results) {
    const size_t n = results.engines();
    BradleyTerryFit fit{std::vector<double>(n, 0), std::vector<double>(n * n, 0)};
    if (n < 2)
        return fit;
    const size_t m = n - 1;
    std::vector<double> theta(n, 0);
    std::vector<double> gradient;
    std::vector<double> information;
    for (int step = 0; step < MAX_STEPS; ++step) {
        gradient_and_information(results, theta, gradient, information);
        cholesky(information, m);
        std::vector<double> direction = gradient;
        solve_cholesky(information, m, direction);
        // The likelihood is concave, so the Newton step is uphill; halving it until the
        // likelihood does not fall keeps a first step from far out (a score near 0 or 1)
        // from overshooting.
        const double before = log_likelihood(results, theta);
        double scale = 1;
        std::vector<double> next = theta;
        for (int halving = 0; halving < 60; ++halving, scale /= 2) {
            for (size_t i = 1; i < n; ++i)
                next[i] = theta[i] + scale * direction[i - 1];
            if (log_likelihood(results, next) >= before)
                break;
        }
        double largest = 0;
        for (size_t i = 1; i < n; ++i)
            largest = std::fmax(largest, std::fabs(next[i] - theta[i]));
        theta = next;
        if (largest < CONVERGED_STEP)
            break;
    }
    // The covariance is the inverse of the information at the maximum: its columns solve
    // information · x = the unit vectors.
    gradient_and_information(results, theta, gradient, information);
    cholesky(information, m);
    for (size_t column = 0; column < m; ++column) {
        std::vector<double> unit(m, 0);
        unit[column] = 1;
        solve_cholesky(information, m, unit);
        for (size_t row = 0; row < m; ++row)
            fit.covariance[(row + 1) * n + (column + 1)] = unit[row] * ELO_PER_UNIT * ELO_PER_UNIT;
    }
    for (size_t i = 0; i < n; ++i)
        fit.elo[i] = theta[i] * ELO_PER_UNIT;
    return fit;
}

double sweep_bound(const std::vector<std::pair<double, int>>& opponents, double chance) {
    // The log-chance of the sweep grows steadily with the rating, from -inf to 0.
    auto log_chance = [&](double elo) {
        double sum = 0;
        for (const auto& [opponent, games] : opponents)
            sum += games * log_logistic((elo - opponent) / ELO_PER_UNIT);
        return sum;
    };
    double low = opponents.front().first;
    double high = low;
    for (const auto& opponent : opponents) {
        low = std::fmin(low, opponent.first);
        high = std::fmax(high, opponent.first);
    }
    // Far enough out for any number of games a double can count.
    low -= 20000;
    high += 20000;
    const double target = std::log(chance);
    for (int step = 0; step < 200; ++step) {
        const double middle = (low + high) / 2;
        (log_chance(middle) < target ? low : high) = middle;
    }
    return (low + high) / 2;
}
