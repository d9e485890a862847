// The rating list and the crosstable as text: the columns line up whatever the names and
// numbers, and every engine without a plain rating says why.
#include "match/stats/tournament_text.h"
#include "tournament_games.h"

#include <gtest/gtest.h>

namespace {

TEST(TournamentTextTest, RatingListAndCrosstableOfATournament) {
    TournamentGames games;
    games.pairs("alpha", "beta", {2, 1.5, 1, 1})
        .pairs("alpha", "gamma", {2, 2, 1.5})
        .pairs("beta", "gamma", {1, 0.5, 1.5, 1})
        .pairs("crasher", "alpha", {0, 0})
        .pairs("beta", "crasher", {2});
    const RatingList list = rating_list(games.records(), {"beta", 1500}, {"idle"});
    EXPECT_EQ(
        rating_list_text(list),
        "Ratings: 4 engines, 28 games; Elo of beta fixed at 1500.0, 95% intervals\n"
        "Rank  Engine      Elo  95% interval      Games  Points  Score  Draws  Note\n"
        "   1  alpha    1703.9  [1466.8, 1941.1]     18    15.0  83.3%  11.1%\n"
        "   2  beta     1500.0  [1500.0, 1500.0]     18     8.5  47.2%  16.7%  anchor\n"
        "   3  gamma    1446.5  [1231.6, 1661.4]     14     4.5  32.1%  21.4%\n"
        "   4  crasher    -inf  [  -inf, 1543.9]      6     0.0   0.0%   0.0%  lost every game\n"
        "No games: idle\n");
    EXPECT_EQ(crosstable_text(crosstable(games.records(), list)),
              "Engine  Opponent  Games  W  D  L  Score  Ptnml(0-2)\n"
              "alpha   beta          8  5  1  2  0.688  [0, 0, 2, 1, 1]\n"
              "alpha   gamma         6  5  1  0  0.917  [0, 0, 0, 1, 2]\n"
              "alpha   crasher       4  4  0  0  1.000  [0, 0, 0, 0, 2]\n"
              "beta    gamma         8  3  2  3  0.500  [0, 1, 2, 1, 0]\n"
              "beta    crasher       2  2  0  0  1.000  [0, 0, 0, 0, 1]\n");
}

TEST(TournamentTextTest, GroupsAndEnginesWithoutAFiniteRating) {
    struct Case {
        const char* what;
        TournamentGames games;
        RatingScale scale;
        std::string text;
    };
    const Case cases[] = {
        // Two groups that never met, an engine that won its every game, one against itself,
        // an anchor that cannot be used, and a name in UTF-8 as wide as its letters.
        {"groups",
         TournamentGames()
             .results("A", "B", 3, 0, 1)
             .results("C", "D", 2, 4, 6)
             .results("top", "C", 3, 0, 0)
             .results("E", "E", 1, 0, 0)
             .results("\xd0\x98\xd0\xb3\xd1\x80\xd0\xbe\xd0\xba", "D", 1, 1, 1),
         {"top", 7},
         "Ratings: 6 engines, 22 games in 2 groups that never played each other, each on a "
         "scale of its own\n"
         "Group 1: 4 engines, 18 games; Elo mean 0 over the rated engines, 95% intervals\n"
         "Rank  Engine    Elo  95% interval     Games  Points   Score  Draws  Note\n"
         "   1  top       inf  [-173.9,   inf]      3     3.0  100.0%   0.0%  won every game\n"
         "   2  D        40.1  [-108.2, 188.5]     15     9.5   63.3%  33.3%\n"
         "   3  \xd0\x98\xd0\xb3\xd1\x80\xd0\xbe\xd0\xba    40.1  [-231.0, 311.3]      3     1.5 "
         "  50.0%  33.3%\n"
         "   4  C       -80.3  [-271.3, 110.8]     15     4.0   26.7%  26.7%\n"
         "Group 2: 2 engines, 4 games; Elo mean 0 over the rated engines, 95% intervals\n"
         "Rank  Engine    Elo  95% interval     Games  Points  Score  Draws  Note\n"
         "   1  A        95.4  [-101.2, 292.0]      4     3.0  75.0%   0.0%\n"
         "   2  B       -95.4  [-292.0, 101.2]      4     1.0  25.0%   0.0%\n"
         "The anchor fixes no rating: top has no finite rating\n"
         "1 game of an engine against itself was left out\n"
         "No games: E\n"},
        // Each engine won every game against those below it: none has a finite rating.
        {"a strict order",
         TournamentGames()
             .results("A", "B", 2, 0, 0)
             .results("B", "C", 2, 0, 0)
             .results("A", "C", 1, 0, 0),
         {},
         "Ratings: 3 engines, 5 games; no finite Elo: no two engines took points from each "
         "other\n"
         "Rank  Engine  Elo  95% interval  Games  Points   Score  Draws  Note\n"
         "   1  A         -                    3     3.0  100.0%   0.0%  won every game\n"
         "   2  B         -                    4     2.0   50.0%   0.0%  no finite rating\n"
         "   3  C         -                    3     0.0    0.0%   0.0%  lost every game\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rating_list_text(rating_list(c.games.records(), c.scale)), c.text) << c.what;
}

} // namespace
