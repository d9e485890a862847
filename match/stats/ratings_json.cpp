#include "match/stats/ratings_json.h"

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

const char* status_name(RatingStatus status) {
    switch (status) {
    case RatingStatus::rated:
        return "rated";
    case RatingStatus::above:
        return "above";
    case RatingStatus::below:
        return "below";
    case RatingStatus::unrated:
        return "unrated";
    case RatingStatus::no_games:
        break;
    }
    return "no games";
}

// A number, or null for none.
Json optional_number(const std::optional<double>& value) {
    return value ? Json(*value) : Json(nullptr);
}

// The engine's Elo and the ends of its 95% interval: a rated engine's estimate and
// interval; the one-sided bound of one above or below the rated engines, the other end
// and the Elo unbounded; none for the others.
void add_elo(const EngineRating& engine, Json& object) {
    std::optional<double> elo, low, high;
    if (engine.status == RatingStatus::rated) {
        elo = engine.elo;
        low = engine.low;
        high = engine.high;
    } else if (engine.status == RatingStatus::above) {
        low = engine.bound;
    } else if (engine.status == RatingStatus::below) {
        high = engine.bound;
    }
    object["elo"] = optional_number(elo);
    object["low"] = optional_number(low);
    object["high"] = optional_number(high);
}

// The tally's counts, points and ratios; the ratios are null without games.
void add_tally(const Tally& tally, Json& object) {
    const int games = game_count(tally);
    object["games"] = games;
    object["wins"] = tally.wins;
    object["draws"] = tally.draws;
    object["losses"] = tally.losses;
    object["points"] = tally.wins + 0.5 * tally.draws;
    object["score"] = games ? Json(points_ratio(tally)) : Json(nullptr);
    object["draw_ratio"] = games ? Json(draw_ratio(tally)) : Json(nullptr);
}

// A number of the list, or null for 0 (no group, no rank).
Json place(int number) {
    return number ? Json(number) : Json(nullptr);
}

} // namespace

std::string ratings_json(const RatingList& list, const std::vector<Pairing>& table) {
    Json engines = Json::array();
    for (const EngineRating& engine : list.engines) {
        Json object = {{"name", json_text(engine.name)},
                       {"group", place(engine.group)},
                       {"rank", place(engine.rank)},
                       {"status", status_name(engine.status)}};
        add_elo(engine, object);
        add_tally(engine.tally, object);
        engines.push_back(object);
    }
    Json pairings = Json::array();
    for (const Pairing& pairing : table) {
        Json object = {{"engine", json_text(pairing.engine)},
                       {"opponent", json_text(pairing.opponent)}};
        add_tally(pairing.tally, object);
        object["pentanomial"] = pairing.pentanomial;
        pairings.push_back(object);
    }
    const bool anchored = !list.scale.anchor.empty();
    const Json json = {
        {"games", list.games},
        {"self_games", list.self_games},
        {"groups", list.groups},
        {"anchor",
         anchored ? Json{{"engine", json_text(list.scale.anchor)}, {"elo", list.scale.anchor_elo}}
                  : Json(nullptr)},
        {"anchor_problem",
         list.anchor_problem.empty() ? Json(nullptr) : Json(json_text(list.anchor_problem))},
        {"engines", engines},
        {"pairings", pairings},
    };
    return json.dump();
}
