// The plot of a match's ratings against the games played, as fendrel-view --follow draws it:
// for two engines the first one's Elo difference with its 95% interval (and the SPRT's
// log-likelihood ratio with its bounds when the match has an SPRT), for more each engine's
// rating. Kept up game by game: a new game adds a point without going over the games before
// it, and past `most_points` points only every second, fourth, ... game keeps its point.
#pragma once

#include "match/stats/ratings.h"
#include "records/game_record.h"
#include "records/match_definition.h"

#include <cstddef>
#include <string>
#include <vector>

// The value after `games` finished games; NaN where there is none (an engine without a
// finite rating yet), and `low`, `high` NaN or infinite where the interval has no such end.
struct PlotPoint {
    int games = 0;
    double value = 0;
    double low = 0;
    double high = 0;
};

struct PlotLine {
    std::string name; // an engine's name, or "A - B" for the difference
    std::vector<PlotPoint> points;
};

struct RatingSeries {
    bool difference = false;     // two engines: one line with its interval band
    std::vector<PlotLine> lines; // more: one line an engine, in the order the match names them
    bool sprt = false;
    std::vector<PlotPoint> llr; // the SPRT's log-likelihood ratio (value only)
    double lower_bound = 0;     // and its bounds
    double upper_bound = 0;
    int games = 0; // the games finished
};

class RatingHistory {
  public:
    explicit RatingHistory(size_t most_points = 2000);

    // Brings the series up to `finished`, the games so far in the order they finished (the
    // records before are taken as those already added; fewer than before starts again).
    // `field` names the match's engines, as its match.json gives them; `sprt` its test.
    void update(const std::vector<GameRecord>& finished, const std::vector<std::string>& field,
                const SprtSpec& sprt);

    const RatingSeries& series() const { return series_; }

  private:
    void start_again(const std::vector<std::string>& names, const SprtSpec& sprt);
    // Counts one more game, and puts its point on the plot when `plotted`.
    void add(const GameRecord& record, bool plotted);
    void plot_point();
    // Keeps every second point once there are too many (the last one always).
    void thin();

    size_t most_points;
    size_t added = 0;
    int stride = 1;                 // the games between two kept points
    bool last_is_extra = false;     // the last point is the latest game's, off the stride
    std::vector<std::string> names; // the engines the series is of
    SprtSpec sprt;
    RatingField field;
    Tally tally; // the first engine's, with two
    PentanomialCounter pairs;
    RatingSeries series_;
};
