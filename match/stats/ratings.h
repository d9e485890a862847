// The rating list of a field of engines: each engine's maximum-likelihood Elo (Bradley-Terry,
// draws half a point for each side) with its 95% interval, its games, points and draws.
//
// A rating is finite only where the results allow it. Engines connected by games form a
// group; groups that never met have no common scale, so each is rated on its own. Within a
// group the rated engines are the largest set in which, however it is split in two, each
// side took points from the other (two engines at least). An engine outside that set either
// won every game against it (above: its rating is infinite, with the 95% one-sided bound
// its games against rated engines leave), lost every game against it (below), or stands
// apart from it; an engine whose group has no such set has no rating at all.
#pragma once

#include "match/stats/statistics.h"
#include "records/game_record.h"

#include <optional>
#include <string>
#include <vector>

// The scale of the ratings: the mean of each group's rated engines is 0, unless `anchor`
// names a rated engine, whose rating is then `anchor_elo` (it has no interval of its own).
struct RatingScale {
    std::string anchor; // "" for none
    double anchor_elo = 0;
};

enum class RatingStatus {
    rated,    // a finite rating
    above,    // won every game against the rated engines of its group: infinitely above
    below,    // lost every game against them: infinitely below
    unrated,  // its group has no rated engines, or it stands apart from them
    no_games, // played no game
};

struct EngineRating {
    std::string name;
    RatingStatus status = RatingStatus::no_games;
    int group = 0; // its group, from 1; 0 with no games
    int rank = 0;  // its place in its group, from 1; 0 with no games
    // rated: the estimate and its 95% interval.
    double elo = 0;
    double low = 0;
    double high = 0;
    // above: the least rating, below: the greatest, that leaves its results against the
    // rated engines a chance of 5%; none when it played none of them.
    std::optional<double> bound;
    Tally tally; // its games, from its side
};

struct RatingList {
    // Group by group (the one with the most games first), each by rank; the engines without
    // games last.
    std::vector<EngineRating> engines;
    int groups = 0;
    int games = 0;      // the games rated
    int self_games = 0; // games of an engine against itself, left out
    RatingScale scale;  // as asked
    // Why the anchor fixes no rating ("" when it does or there is none): the ratings then
    // have mean 0.
    std::string anchor_problem;
};

// The rating list of the records' engines and of `field` (names that belong in the list
// even before their first game), from distinct games.
RatingList rating_list(const std::vector<GameRecord>& records, const RatingScale& scale = {},
                       const std::vector<std::string>& field = {});

// The names of `field` and of the records' engines, each once, in the order they first
// appear.
std::vector<std::string> engine_names(const std::vector<GameRecord>& records,
                                      const std::vector<std::string>& field = {});
