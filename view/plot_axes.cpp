#include "view/plot_axes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

void widen(double value, double& low, double& high) {
    if (std::isfinite(value)) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
}

} // namespace

Axis axis_over(double low, double high, int count) {
    if (!(high > low)) {
        const double half = std::max(std::fabs(low) / 10, 1.0);
        low -= half;
        high += half;
    }
    const double rough = (high - low) / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / power;
    const double step = (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * power;
    Axis axis;
    // A hair of rounding must not add a step at either end.
    axis.low = std::floor(low / step + 1e-9) * step;
    axis.high = std::ceil(high / step - 1e-9) * step;
    const int steps = static_cast<int>(std::lround((axis.high - axis.low) / step));
    for (int i = 0; i <= steps; ++i)
        axis.ticks.push_back(axis.low + i * step);
    axis.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    return axis;
}

std::string tick_label(double value, int decimals) {
    char text[32];
    // No "-0" for a tick at zero that rounding left a hair below it.
    std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(value) < 1e-9 ? 0.0 : value);
    return text;
}

void elo_range(const RatingSeries& series, double& low, double& high) {
    low = high = 0;
    for (const PlotLine& line : series.lines) {
        for (const PlotPoint& point : line.points)
            widen(point.value, low, high);
        if (!line.points.empty() && series.difference) {
            widen(line.points.back().low, low, high);
            widen(line.points.back().high, low, high);
        }
    }
}

void llr_range(const RatingSeries& series, double& low, double& high) {
    low = series.lower_bound;
    high = series.upper_bound;
    for (const PlotPoint& point : series.llr)
        widen(point.value, low, high);
}
