// The crosstable of a small made-up tournament: each pairing's wins, draws and losses from
// the side of the engine listed first, and the pentanomial counts of its complete pairs.
#include "match/stats/crosstable.h"
#include "tournament_games.h"

#include <gtest/gtest.h>

namespace {

TEST(CrosstableTest, PairingsOfASmallTournament) {
    TournamentGames games;
    games.pairs("alpha", "beta", {2, 1.5, 1, 1})
        .pairs("alpha", "gamma", {2, 2, 1.5})
        .pairs("beta", "gamma", {1, 0.5, 1.5, 1})
        .pairs("crasher", "alpha", {0, 0})
        .pairs("beta", "crasher", {2})
        // Games 30 and 31 share a pair number but not a pairing: each counts in its
        // pairing's score, neither in its pairs.
        .game("gamma", "beta", 2, REASON_TIME)
        .game("alpha", "beta", 1)
        // Game 32's partner is an engine against itself, which is left out.
        .game("gamma", "alpha", 0)
        .game("beta", "beta", 1);
    const RatingList list = rating_list(games.records(), {}, {"idle"});
    const std::vector<Pairing> table = crosstable(games.records(), list);
    struct Row {
        const char* engine;
        const char* opponent;
        int wins, draws, losses;
        Pentanomial pairs;
    };
    // In the list's order: alpha, beta, gamma, then crasher, which lost every game.
    const Row expected[] = {
        {"alpha", "beta", 6, 1, 2, {0, 0, 2, 1, 1}},
        {"alpha", "gamma", 5, 2, 0, {0, 0, 0, 1, 2}},
        {"alpha", "crasher", 4, 0, 0, {0, 0, 0, 0, 2}},
        {"beta", "gamma", 4, 2, 3, {0, 1, 2, 1, 0}},
        {"beta", "crasher", 2, 0, 0, {0, 0, 0, 0, 1}},
    };
    ASSERT_EQ(table.size(), std::size(expected));
    for (size_t i = 0; i < table.size(); ++i) {
        const Row& row = expected[i];
        EXPECT_EQ(table[i].engine, row.engine) << i;
        EXPECT_EQ(table[i].opponent, row.opponent) << i;
        EXPECT_EQ(table[i].tally.wins, row.wins) << row.engine << " " << row.opponent;
        EXPECT_EQ(table[i].tally.draws, row.draws) << row.engine << " " << row.opponent;
        EXPECT_EQ(table[i].tally.losses, row.losses) << row.engine << " " << row.opponent;
        EXPECT_EQ(table[i].pentanomial, row.pairs) << row.engine << " " << row.opponent;
    }
    // The scores of the pairings add up to each engine's in the list.
    for (const EngineRating& engine : list.engines) {
        double points = 0;
        for (const Pairing& pairing : table) {
            const double engine_points = pairing.tally.wins + 0.5 * pairing.tally.draws;
            if (pairing.engine == engine.name)
                points += engine_points;
            else if (pairing.opponent == engine.name)
                points += game_count(pairing.tally) - engine_points;
        }
        EXPECT_EQ(points, engine.tally.wins + 0.5 * engine.tally.draws) << engine.name;
    }
}

} // namespace
