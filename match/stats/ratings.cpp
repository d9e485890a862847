#include "match/stats/ratings.h"
#include "match/stats/bradley_terry.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// The chance that a one-sided bound leaves a clean sweep: 5%, as the 95% intervals.
constexpr double SWEEP_CHANCE = 0.05;

// Ratings closer than this are equal: far below what the fit resolves or the text shows.
constexpr double ELO_TIE = 1e-9;

// The engines by number, in the order they first appear.
struct Names {
    std::vector<std::string> names;
    std::map<std::string, size_t> numbers;

    size_t number(const std::string& name) {
        const auto [at, added] = numbers.emplace(name, names.size());
        if (added)
            names.push_back(name);
        return at->second;
    }
};

// Every game and tally of the field.
struct FieldResults {
    Names names;
    std::vector<Tally> tallies;
    ResultMatrix matrix{0};
};

// The groups of engines connected by games (an engine without games is in none), each in
// the order of the engines' numbers, the group with the most games first.
std::vector<std::vector<size_t>> groups_of(const FieldResults& field) {
    const size_t n = field.names.names.size();
    std::vector<int> group(n, -1);
    std::vector<std::vector<size_t>> groups;
    for (size_t start = 0; start < n; ++start) {
        if (group[start] >= 0 || game_count(field.tallies[start]) == 0)
            continue;
        const int number = static_cast<int>(groups.size());
        std::vector<size_t> members{start};
        group[start] = number;
        for (size_t next = 0; next < members.size(); ++next)
            for (size_t other = 0; other < n; ++other)
                if (group[other] < 0 && field.matrix.games(members[next], other) > 0) {
                    group[other] = number;
                    members.push_back(other);
                }
        std::sort(members.begin(), members.end());
        groups.push_back(members);
    }
    auto games = [&](const std::vector<size_t>& members) {
        int sum = 0;
        for (const size_t engine : members)
            sum += game_count(field.tallies[engine]);
        return sum;
    };
    std::stable_sort(groups.begin(), groups.end(), [&](const auto& a, const auto& b) {
        return games(a) != games(b) ? games(a) > games(b) : a.size() > b.size();
    });
    return groups;
}

// reach[a][b]: member a took points from member b, or from one that took points from b, and
// so on (indexed by place in `members`).
std::vector<std::vector<bool>> reach_of(const FieldResults& field,
                                        const std::vector<size_t>& members) {
    const size_t k = members.size();
    std::vector<std::vector<bool>> reach(k, std::vector<bool>(k, false));
    for (size_t a = 0; a < k; ++a) {
        std::vector<size_t> frontier{a};
        while (!frontier.empty()) {
            const size_t from = frontier.back();
            frontier.pop_back();
            for (size_t to = 0; to < k; ++to)
                if (!reach[a][to] && field.matrix.points(members[from], members[to]) > 0) {
                    reach[a][to] = true;
                    frontier.push_back(to);
                }
        }
    }
    return reach;
}

// The places in `members` of the rated engines: the largest set of two or more in which each
// reaches each (the one with more games on a tie, then the earlier); empty when none.
std::vector<size_t> rated_core(const FieldResults& field, const std::vector<size_t>& members,
                               const std::vector<std::vector<bool>>& reach) {
    const size_t k = members.size();
    std::vector<bool> placed(k, false);
    std::vector<size_t> best;
    double best_games = 0;
    for (size_t a = 0; a < k; ++a) {
        if (placed[a])
            continue;
        std::vector<size_t> set;
        for (size_t b = 0; b < k; ++b)
            if (b == a || (reach[a][b] && reach[b][a])) {
                set.push_back(b);
                placed[b] = true;
            }
        double games = 0;
        for (const size_t x : set)
            for (const size_t y : set)
                games += field.matrix.games(members[x], members[y]);
        if (set.size() >= 2 &&
            (set.size() > best.size() || (set.size() == best.size() && games > best_games))) {
            best = set;
            best_games = games;
        }
    }
    return best;
}

// The fitted ratings of the core on the list's scale; true when the anchor is among them.
bool rate_core(const FieldResults& field, const std::vector<size_t>& core, const RatingScale& scale,
               std::vector<EngineRating>& rated) {
    const size_t c = core.size();
    ResultMatrix matrix(c);
    for (size_t a = 0; a < c; ++a)
        for (size_t b = a + 1; b < c; ++b)
            matrix.add(a, b, field.matrix.games(core[a], core[b]),
                       field.matrix.points(core[a], core[b]));
    const BradleyTerryFit fit = fit_bradley_terry(matrix);
    // The scale: shifted by w·elo, with weights w that sum to 1, the anchor's alone or every
    // core engine's alike; the variance of elo_i - w·elo follows from the covariance.
    std::vector<double> weights(c, 1.0 / static_cast<double>(c));
    bool anchored = false;
    for (size_t a = 0; a < c; ++a)
        if (!scale.anchor.empty() && field.names.names[core[a]] == scale.anchor) {
            weights.assign(c, 0);
            weights[a] = 1;
            anchored = true;
        }
    double shift = 0;
    double weighted_variance = 0;
    std::vector<double> covariance_with_weights(c, 0);
    for (size_t a = 0; a < c; ++a) {
        shift += weights[a] * fit.elo[a];
        for (size_t b = 0; b < c; ++b)
            covariance_with_weights[a] += fit.covariance[a * c + b] * weights[b];
    }
    for (size_t a = 0; a < c; ++a)
        weighted_variance += weights[a] * covariance_with_weights[a];
    for (size_t a = 0; a < c; ++a) {
        EngineRating engine;
        engine.name = field.names.names[core[a]];
        engine.status = RatingStatus::rated;
        engine.tally = field.tallies[core[a]];
        engine.elo = fit.elo[a] - shift + (anchored ? scale.anchor_elo : 0);
        const double variance =
            fit.covariance[a * c + a] - 2 * covariance_with_weights[a] + weighted_variance;
        // Rounding can leave the anchor's own variance a hair below 0.
        const double margin = Z_95 * std::sqrt(std::fmax(variance, 0));
        engine.low = engine.elo - margin;
        engine.high = engine.elo + margin;
        rated.push_back(engine);
    }
    return anchored;
}

// The one-sided bound of an engine above (or below) the rated engines, from its games
// against them; none when it played none.
std::optional<double> bound_against(const FieldResults& field, size_t engine,
                                    const std::vector<size_t>& core,
                                    const std::vector<EngineRating>& rated, bool above) {
    std::vector<std::pair<double, int>> opponents;
    for (size_t a = 0; a < core.size(); ++a) {
        const int games = static_cast<int>(field.matrix.games(engine, core[a]));
        if (games > 0)
            opponents.emplace_back(above ? rated[a].elo : -rated[a].elo, games);
    }
    if (opponents.empty())
        return std::nullopt;
    const double bound = sweep_bound(opponents, SWEEP_CHANCE);
    return above ? bound : -bound;
}

// An engine of a group with what its place depends on when it has no finite rating: how
// many of the group it took points from, directly or through others, and how many took
// points from it so. An engine that won every game against another ranks above it, and
// reaches all that one reaches and that one too.
struct Placed {
    EngineRating rating;
    int reaches = 0;
    int reached_by = 0;
};

// Where a status stands in a group: above, rated, below, then those apart.
int status_order(RatingStatus status) {
    switch (status) {
    case RatingStatus::above:
        return 0;
    case RatingStatus::rated:
        return 1;
    case RatingStatus::below:
        return 2;
    default:
        return 3;
    }
}

// Whether a ranks before b in their group: by status; the rated by Elo; the others by whom
// they reach and are reached by, then by their bounds and scores; then by name.
bool ranks_before(const Placed& a, const Placed& b) {
    const EngineRating& x = a.rating;
    const EngineRating& y = b.rating;
    if (x.status != y.status)
        return status_order(x.status) < status_order(y.status);
    // Ratings equal but for rounding (a field of equal results) rank by name.
    if (x.status == RatingStatus::rated && std::fabs(x.elo - y.elo) > ELO_TIE)
        return x.elo > y.elo;
    if (a.reaches != b.reaches)
        return a.reaches > b.reaches;
    if (a.reached_by != b.reached_by)
        return a.reached_by < b.reached_by;
    if (x.bound.has_value() != y.bound.has_value())
        return x.bound.has_value();
    if (x.bound && *x.bound != *y.bound)
        return *x.bound > *y.bound;
    if (points_ratio(x.tally) != points_ratio(y.tally))
        return points_ratio(x.tally) > points_ratio(y.tally);
    return x.name < y.name;
}

// The ratings of one group, ranked; true when the anchor fixed its scale.
bool rate_group(const FieldResults& field, const std::vector<size_t>& members,
                const RatingScale& scale, std::vector<EngineRating>& out) {
    const std::vector<std::vector<bool>> reach = reach_of(field, members);
    const std::vector<size_t> core_places = rated_core(field, members, reach);
    std::vector<size_t> core;
    for (const size_t place : core_places)
        core.push_back(members[place]);
    std::vector<EngineRating> rated;
    const bool anchored = !core.empty() && rate_core(field, core, scale, rated);
    std::vector<Placed> group;
    for (size_t place = 0; place < members.size(); ++place) {
        Placed placed;
        EngineRating& engine = placed.rating;
        const auto in_core = std::find(core_places.begin(), core_places.end(), place);
        if (in_core != core_places.end()) {
            engine = rated[static_cast<size_t>(in_core - core_places.begin())];
        } else {
            engine.name = field.names.names[members[place]];
            engine.tally = field.tallies[members[place]];
            engine.status = RatingStatus::unrated;
        }
        for (size_t other = 0; other < members.size(); ++other) {
            placed.reaches += other != place && reach[place][other];
            placed.reached_by += other != place && reach[other][place];
        }
        if (in_core == core_places.end() && !core.empty()) {
            const bool above = reach[place][core_places.front()];
            const bool below = reach[core_places.front()][place];
            if (above || below) {
                engine.status = above ? RatingStatus::above : RatingStatus::below;
                engine.bound = bound_against(field, members[place], core, rated, above);
            }
        }
        group.push_back(placed);
    }
    std::sort(group.begin(), group.end(), ranks_before);
    for (size_t i = 0; i < group.size(); ++i) {
        group[i].rating.rank = static_cast<int>(i) + 1;
        out.push_back(group[i].rating);
    }
    return anchored;
}

// Why the anchor fixed no rating.
std::string anchor_problem(const RatingList& list) {
    for (const EngineRating& engine : list.engines) {
        if (engine.name != list.scale.anchor)
            continue;
        if (engine.status == RatingStatus::no_games)
            return list.scale.anchor + " played no games";
        return list.scale.anchor + " has no finite rating";
    }
    return "no engine is named " + list.scale.anchor;
}

} // namespace

RatingList rating_list(const std::vector<GameRecord>& records, const RatingScale& scale,
                       const std::vector<std::string>& field_names) {
    RatingList list;
    list.scale = scale;
    FieldResults field;
    for (const std::string& name : engine_names(records, field_names))
        field.names.number(name);
    const size_t n = field.names.names.size();
    field.tallies.assign(n, Tally{});
    field.matrix = ResultMatrix(n);
    for (const GameRecord& record : records) {
        if (record.side1 == record.side2) {
            ++list.self_games;
            continue;
        }
        const size_t first = field.names.numbers.at(record.side1);
        const size_t second = field.names.numbers.at(record.side2);
        field.matrix.add(first, second, 1, side_points(record, 1));
        count_game(field.tallies[first], side_points(record, 1));
        count_game(field.tallies[second], side_points(record, 2));
        ++list.games;
    }
    bool anchored = false;
    const std::vector<std::vector<size_t>> groups = groups_of(field);
    for (const std::vector<size_t>& members : groups) {
        const size_t start = list.engines.size();
        anchored = rate_group(field, members, scale, list.engines) || anchored;
        ++list.groups;
        for (size_t i = start; i < list.engines.size(); ++i)
            list.engines[i].group = list.groups;
    }
    for (size_t engine = 0; engine < n; ++engine) {
        if (game_count(field.tallies[engine]) == 0) {
            EngineRating idle;
            idle.name = field.names.names[engine];
            list.engines.push_back(idle);
        }
    }
    if (!scale.anchor.empty() && !anchored)
        list.anchor_problem = anchor_problem(list);
    return list;
}

std::vector<std::string> engine_names(const std::vector<GameRecord>& records,
                                      const std::vector<std::string>& field) {
    Names names;
    for (const std::string& name : field)
        names.number(name);
    for (const GameRecord& record : records) {
        names.number(record.side1);
        names.number(record.side2);
    }
    return names.names;
}
