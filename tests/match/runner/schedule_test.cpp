// The schedule of a match: which pairing plays each game, with which colours, in which
// round, for two engines and for tournaments of more.
#include "match/runner/schedule.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

namespace {

MatchOptions field(int engines, Tournament tournament, int rounds) {
    MatchOptions options;
    for (int e = 0; e < engines; ++e) {
        options.engines.emplace_back();
        options.engines.back().name = "e" + std::to_string(e);
    }
    options.tournament = tournament;
    options.rounds = rounds;
    return options;
}

// Every format and field size: each round plays every pairing once as a pair, the colours
// swapped within the pair; a round robin's consecutive pairings share no engine within a
// turn of the circle; two engines keep the numbering of a two-engine match.
TEST(ScheduleTest, EveryRoundPlaysEachPairingOnceAsAPair) {
    const struct {
        int engines;
        Tournament tournament;
        size_t pairings;
    } cases[] = {
        {2, Tournament::round_robin, 1},  {2, Tournament::gauntlet, 1},
        {3, Tournament::round_robin, 3},  {4, Tournament::round_robin, 6},
        {5, Tournament::round_robin, 10}, {10, Tournament::round_robin, 45},
        {3, Tournament::gauntlet, 2},     {6, Tournament::gauntlet, 5},
    };
    for (const auto& c : cases) {
        const MatchOptions options = field(c.engines, c.tournament, 3);
        const std::vector<EnginePairing> pairings = match_pairings(options);
        ASSERT_EQ(pairings.size(), c.pairings) << c.engines;
        std::set<std::pair<int, int>> distinct;
        for (const EnginePairing& p : pairings) {
            EXPECT_LT(p.first, p.second);
            EXPECT_TRUE(c.tournament == Tournament::round_robin || p.first == 0);
            distinct.insert({p.first, p.second});
        }
        EXPECT_EQ(distinct.size(), c.pairings);
        const int games = match_games(options);
        ASSERT_EQ(games, 6 * static_cast<int>(c.pairings));
        std::map<std::pair<int, int>, int> pairs_played;
        for (int game = 0; game < games; game += 2) {
            const ScheduledGame a = scheduled_game(options, game);
            const ScheduledGame b = scheduled_game(options, game + 1);
            EXPECT_EQ(a.pairing.first, b.pairing.first);
            EXPECT_EQ(a.pairing.second, b.pairing.second);
            EXPECT_EQ(a.a_side, 1);
            EXPECT_EQ(b.a_side, 2);
            EXPECT_EQ(a.round, b.round);
            EXPECT_EQ(a.round, game / (2 * static_cast<int>(c.pairings)));
            // Before a round ends every pairing has played as many pairs as its round.
            const std::pair<int, int> pairing{a.pairing.first, a.pairing.second};
            EXPECT_EQ(pairs_played[pairing]++, a.round) << game;
        }
    }
    // A round robin of six: its first three pairings are one turn, three disjoint pairs.
    const std::vector<EnginePairing> six = match_pairings(field(6, Tournament::round_robin, 1));
    std::set<int> turn;
    for (size_t k = 0; k < 3; ++k)
        turn.insert({six[k].first, six[k].second});
    EXPECT_EQ(turn.size(), 6u);
    // --games plays that many games of the schedule, past its rounds if need be.
    MatchOptions capped = field(3, Tournament::round_robin, 1);
    capped.games = 7;
    EXPECT_EQ(match_games(capped), 7);
    EXPECT_EQ(scheduled_game(capped, 6).round, 1);
}

} // namespace
