// The axes of the rating plot: the range each shows and its ticks at round numbers, and the
// ranges the series need, so that the window only draws.
#pragma once

#include "view/rating_history.h"

#include <string>
#include <vector>

struct Axis {
    double low = 0;
    double high = 1;
    std::vector<double> ticks; // from low to high, both included
    int decimals = 0;          // what the labels of the ticks need
};

// An axis over at least [low, high], its ends widened to ticks that are about `count` steps
// of 1, 2 or 5 times a power of ten apart; a range without width is widened around its value.
Axis axis_over(double low, double high, int count);

// A tick's label with the decimals of its axis: "-50", "2.5".
std::string tick_label(double value, int decimals);

// The values the Elo panel shows: every finite value of the lines, the interval of their last
// points (earlier intervals may be wide past all use, and are cut at the edge) and 0.
void elo_range(const RatingSeries& series, double& low, double& high);

// The values the SPRT panel shows: the log-likelihood ratios and both bounds.
void llr_range(const RatingSeries& series, double& low, double& high);
