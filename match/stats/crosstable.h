// The crosstable of a field: for each two engines that met, the first one's wins, draws and
// losses against the other, and the pentanomial counts of their pairs of games.
#pragma once

#include "match/stats/ratings.h"
#include "match/stats/statistics.h"
#include "records/game_record.h"

#include <string>
#include <vector>

struct Pairing {
    std::string engine;   // the one listed first in the rating list
    std::string opponent; // the other
    Tally tally;          // the engine's
    Pentanomial pentanomial{};
};

// The pairings of the list's engines that played each other, engine by engine in the order
// of the list, from distinct games (games 2k and 2k + 1 of the two engines form a pair).
// Games of an engine against itself are left out, as in the list.
std::vector<Pairing> crosstable(const std::vector<GameRecord>& records, const RatingList& list);
