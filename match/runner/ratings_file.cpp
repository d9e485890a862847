#include "match/runner/ratings_file.h"

#include "match/stats/crosstable.h"
#include "match/stats/ratings_json.h"

#include <fstream>

bool write_ratings_json(const std::string& path, const std::vector<GameRecord>& games,
                        const RatingScale& scale, const std::vector<std::string>& field) {
    const RatingList list = rating_list(games, scale, field);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << ratings_json(list, crosstable(games, list)) << "\n";
    file.close();
    return !file.fail();
}
