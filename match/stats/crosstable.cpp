#include "match/stats/crosstable.h"

#include <map>
#include <utility>

std::vector<Pairing> crosstable(const std::vector<GameRecord>& records, const RatingList& list) {
    std::map<std::string, size_t> place;
    for (size_t i = 0; i < list.engines.size(); ++i)
        place.emplace(list.engines[i].name, i);
    struct Games {
        Tally tally;
        std::vector<std::pair<int, double>> points; // (game, the engine's points)
    };
    std::map<std::pair<size_t, size_t>, Games> pairings;
    for (const GameRecord& record : records) {
        const auto one = place.find(record.side1);
        const auto two = place.find(record.side2);
        if (one == place.end() || two == place.end() || one == two)
            continue;
        const bool side1_first = one->second < two->second;
        Games& games = pairings[side1_first ? std::pair{one->second, two->second}
                                            : std::pair{two->second, one->second}];
        const double points = side_points(record, side1_first ? 1 : 2);
        games.points.emplace_back(record.game, points);
        count_game(games.tally, points);
    }
    std::vector<Pairing> table;
    for (const auto& [engines, games] : pairings)
        table.push_back({list.engines[engines.first].name, list.engines[engines.second].name,
                         games.tally, count_pentanomial(games.points)});
    return table;
}
