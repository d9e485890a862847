// The rating list and the crosstable as JSON: every engine and pairing with its numbers,
// null where there is no number, and names that keep their bytes.
#include "match/stats/ratings_json.h"
#include "tournament_games.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::json;

TEST(RatingsJsonTest, EveryEngineAndPairingWithNullsWhereThereIsNoNumber) {
    // A name in Windows-1251 bytes, which are not UTF-8.
    const std::string cp1251 = "\xc8\xe3\xf0\xee\xea";
    TournamentGames games;
    games.results("A", "B", 3, 1, 1)
        .results("B", cp1251, 1, 1, 2)
        .results("A", cp1251, 2, 0, 2)
        .results("top", "A", 2, 0, 0)
        .results("low", "B", 0, 0, 1)
        .results("X", "X", 0, 1, 0);
    const RatingList list = rating_list(games.records(), {"B", 100}, {"idle"});
    const std::string text = ratings_json(list, crosstable(games.records(), list));
    EXPECT_EQ(text.find('\n'), std::string::npos);
    const Json json = Json::parse(text, nullptr, false);
    ASSERT_TRUE(json.is_object()) << text;
    EXPECT_EQ(json["games"], 16);
    EXPECT_EQ(json["self_games"], 1);
    EXPECT_EQ(json["groups"], 1);
    EXPECT_EQ(json["anchor"], (Json{{"engine", "B"}, {"elo", 100.0}}));
    EXPECT_TRUE(json["anchor_problem"].is_null());

    const Json& engines = json["engines"];
    ASSERT_EQ(engines.size(), list.engines.size());
    ASSERT_EQ(engines.size(), 7u);
    for (size_t i = 0; i < engines.size(); ++i) {
        const EngineRating& engine = list.engines[i];
        const Json& object = engines[i];
        EXPECT_EQ(object["name"], json_text(engine.name));
        EXPECT_EQ(object["games"], game_count(engine.tally));
        EXPECT_EQ(object["wins"], engine.tally.wins);
        EXPECT_EQ(object["draws"], engine.tally.draws);
        EXPECT_EQ(object["losses"], engine.tally.losses);
        EXPECT_EQ(object["points"], engine.tally.wins + 0.5 * engine.tally.draws);
        const bool rated = engine.status == RatingStatus::rated;
        EXPECT_EQ(object["elo"].is_null(), !rated) << engine.name;
        if (rated) {
            EXPECT_EQ(object["elo"], engine.elo);
            EXPECT_EQ(object["low"], engine.low);
            EXPECT_EQ(object["high"], engine.high);
            EXPECT_EQ(object["status"], "rated");
        }
    }
    // The one-sided bounds of the engines above and below, the other end unbounded.
    const Json& top = engines[0];
    EXPECT_EQ(top["name"], "top");
    EXPECT_EQ(top["status"], "above");
    EXPECT_EQ(top["low"], *list.engines[0].bound);
    EXPECT_TRUE(top["high"].is_null());
    const Json& low = engines[4];
    EXPECT_EQ(low["name"], "low");
    EXPECT_EQ(low["status"], "below");
    EXPECT_TRUE(low["low"].is_null());
    EXPECT_EQ(low["high"], *list.engines[4].bound);
    // No games: no group, rank, score or ratios.
    EXPECT_EQ(engines[6]["name"], "X");
    EXPECT_EQ(engines[5], (Json{{"name", "idle"},
                                {"group", nullptr},
                                {"rank", nullptr},
                                {"status", "no games"},
                                {"elo", nullptr},
                                {"low", nullptr},
                                {"high", nullptr},
                                {"games", 0},
                                {"wins", 0},
                                {"draws", 0},
                                {"losses", 0},
                                {"points", 0.0},
                                {"score", nullptr},
                                {"draw_ratio", nullptr}}));
    // The Windows-1251 name as results lines write it, each byte a code point of its own.
    EXPECT_NE(text.find(json_text(cp1251)), std::string::npos);
    EXPECT_EQ(json_text(cp1251).size(), 3 * cp1251.size());

    const Json& pairings = json["pairings"];
    ASSERT_EQ(pairings.size(), 5u);
    const Json& first = pairings[0];
    EXPECT_EQ(first["engine"], "top");
    EXPECT_EQ(first["opponent"], "A");
    EXPECT_EQ(first["wins"], 2);
    EXPECT_EQ(first["score"], 1.0);
    EXPECT_EQ(first["pentanomial"], (Json{0, 0, 0, 0, 1}));
}

TEST(RatingsJsonTest, AnAnchorThatFixesNothingSaysWhy) {
    const std::vector<GameRecord> games = TournamentGames().results("A", "B", 1, 0, 1).records();
    const RatingList list = rating_list(games, {"C", 5});
    const Json json = Json::parse(ratings_json(list, crosstable(games, list)));
    EXPECT_EQ(json["anchor_problem"], "no engine is named C");
    EXPECT_EQ(json["engines"][0]["elo"], 0.0);
}

} // namespace
