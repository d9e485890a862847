// The rating list and the crosstable as text for the end of a tournament's output, in
// aligned columns.
#pragma once

#include "match/stats/crosstable.h"
#include "match/stats/ratings.h"

#include <string>

// The pentanomial counts as "[0, 3, 10, 5, 2]".
std::string pentanomial_text(const Pentanomial& pairs);

// A heading line and a table per group: rank, engine, Elo, its 95% interval, games, points,
// score, draws and a note for what has no plain rating; then the games left out and the
// engines without games.
std::string rating_list_text(const RatingList& list);

// A line per pairing: the engine, its opponent, games, wins, draws and losses, the score
// and the pentanomial counts of the pairs, all from the engine's side.
std::string crosstable_text(const std::vector<Pairing>& table);
