// The rating list and the crosstable as JSON, for other tools.
#pragma once

#include "match/stats/crosstable.h"
#include "match/stats/ratings.h"

#include <string>

// One JSON object, without a line feed: the games rated and left out, the scale, every
// engine of the list (its group, rank, status, Elo and 95% interval, games, wins, draws,
// losses, points, score and draw ratio) and every pairing of the crosstable. A number there
// is none is null: the Elo of an engine without a finite rating, an unbounded end of an
// interval. Names keep their bytes as results lines do.
std::string ratings_json(const RatingList& list, const std::vector<Pairing>& table);
