// The rating list and crosstable of a set of games as JSON in a file, for other tools: what
// --ratings-json asks of a match and of merge.
#pragma once

#include "match/stats/ratings.h"
#include "records/game_record.h"

#include <string>
#include <vector>

// Writes the JSON of the games' ratings on the scale (and of `field`'s engines without
// games) to the file, whole; false when it cannot.
bool write_ratings_json(const std::string& path, const std::vector<GameRecord>& games,
                        const RatingScale& scale, const std::vector<std::string>& field = {});
