#include "view/rating_history.h"

#include <algorithm>
#include <limits>

namespace {

constexpr double NONE = std::numeric_limits<double>::quiet_NaN();

bool same_test(const SprtSpec& a, const SprtSpec& b) {
    return a.enabled == b.enabled && (!a.enabled || (a.elo0 == b.elo0 && a.elo1 == b.elo1 &&
                                                     a.alpha == b.alpha && a.beta == b.beta));
}

// The names of `known`, then those of `field` and of the records from `first` on that it
// lacks, in the order they first appear.
std::vector<std::string> names_with(std::vector<std::string> known,
                                    const std::vector<std::string>& field,
                                    const std::vector<GameRecord>& records, size_t first) {
    auto add = [&](const std::string& name) {
        if (std::find(known.begin(), known.end(), name) == known.end())
            known.push_back(name);
    };
    for (const std::string& name : field)
        add(name);
    for (size_t i = first; i < records.size(); ++i) {
        add(records[i].side1);
        add(records[i].side2);
    }
    return known;
}

} // namespace

RatingHistory::RatingHistory(size_t most) : most_points(std::max<size_t>(most, 2)) {}

void RatingHistory::start_again(const std::vector<std::string>& engines, const SprtSpec& test) {
    added = 0;
    stride = 1;
    last_is_extra = false;
    names = engines;
    sprt = test;
    field = RatingField(engines);
    tally = {};
    pairs = {};
    series_ = {};
    series_.difference = engines.size() <= 2;
    series_.sprt = series_.difference && test.enabled;
    if (series_.sprt) {
        series_.lower_bound = sprt_lower_bound(test.alpha, test.beta);
        series_.upper_bound = sprt_upper_bound(test.alpha, test.beta);
    }
    if (series_.difference && engines.size() == 2)
        series_.lines.push_back({engines[0] + " - " + engines[1], {}});
    for (size_t i = 0; !series_.difference && i < engines.size(); ++i)
        series_.lines.push_back({engines[i], {}});
}

void RatingHistory::update(const std::vector<GameRecord>& finished,
                           const std::vector<std::string>& match_field, const SprtSpec& test) {
    const bool again = finished.size() < added || !same_test(test, sprt);
    std::vector<std::string> engines = names_with(again ? std::vector<std::string>{} : names,
                                                  match_field, finished, again ? 0 : added);
    // Two engines are seen from the one a two-engine summary is seen from: the first one
    // named, or the first game's a-side engine.
    if (engines.size() == 2 && match_field.empty() && !finished.empty()) {
        const GameRecord& first = finished.front();
        const std::string& a = first.a_side == 1 ? first.side1 : first.side2;
        if (engines[0] != a)
            std::swap(engines[0], engines[1]);
    }
    const bool grew = engines.size() != names.size();
    if (again || (grew && (series_.difference || names.empty())) ||
        (engines.size() == 2 && engines != names)) {
        start_again(engines, test);
    } else if (grew) {
        for (size_t i = names.size(); i < engines.size(); ++i)
            series_.lines.push_back({engines[i], {}});
        names = engines;
    }
    // A batch from the start plots only the points of the stride it ends with.
    while (added == 0 &&
           (finished.size() + static_cast<size_t>(stride) - 1) / static_cast<size_t>(stride) >
               most_points)
        stride *= 2;
    for (size_t i = added; i < finished.size(); ++i)
        add(finished[i], (i + 1) % static_cast<size_t>(stride) == 0 || i + 1 == finished.size());
    thin();
}

void RatingHistory::add(const GameRecord& record, bool plotted) {
    field.add(record);
    // The game as the first engine's, when it is one of the two.
    if (series_.difference && names.size() == 2 &&
        (record.side1 == names[0] || record.side2 == names[0])) {
        const double points = side_points(record, record.side1 == names[0] ? 1 : 2);
        count_game(tally, points);
        pairs.add(record.game, points);
    }
    ++added;
    series_.games = static_cast<int>(added);
    if (plotted)
        plot_point();
}

void RatingHistory::plot_point() {
    if (last_is_extra) {
        for (PlotLine& line : series_.lines)
            line.points.pop_back();
        if (series_.sprt)
            series_.llr.pop_back();
    }
    const int games = static_cast<int>(added);
    if (series_.difference && !series_.lines.empty()) {
        const EloEstimate elo = elo_estimate(tally);
        series_.lines[0].points.push_back({games, elo.difference, elo.low, elo.high});
        if (series_.sprt)
            series_.llr.push_back(
                {games, sprt_llr(pairs.counts(), sprt.elo0, sprt.elo1), NONE, NONE});
    } else if (!series_.difference) {
        const RatingList list = field.ratings();
        for (PlotLine& line : series_.lines) {
            PlotPoint point{games, NONE, NONE, NONE};
            for (const EngineRating& engine : list.engines)
                if (engine.name == line.name && engine.status == RatingStatus::rated)
                    point = {games, engine.elo, engine.low, engine.high};
            line.points.push_back(point);
        }
    }
    last_is_extra = games % stride != 0;
}

void RatingHistory::thin() {
    auto count = [&] { return series_.lines.empty() ? 0 : series_.lines[0].points.size(); };
    while (count() > most_points) {
        stride *= 2;
        auto keep = [&](std::vector<PlotPoint>& points) {
            const PlotPoint last = points.back();
            std::erase_if(points, [&](const PlotPoint& p) { return p.games % stride != 0; });
            if (points.empty() || points.back().games != last.games)
                points.push_back(last);
        };
        for (PlotLine& line : series_.lines)
            keep(line.points);
        if (series_.sprt)
            keep(series_.llr);
        last_is_extra = static_cast<int>(added) % stride != 0;
    }
}
