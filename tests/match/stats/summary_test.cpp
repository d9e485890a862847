// The summary of a set of results lines: counts from A's side whichever colour it had,
// pairs, losses by reason, and the SPRT verdict.
#include "match/stats/summary.h"
#include "match/stats/tournament_text.h"
#include "records/game_record.h"
#include "tournament_games.h"

#include <gtest/gtest.h>

namespace {

// A game of the match "A vs B"; A plays side 1 in even games and side 2 in odd ones.
GameRecord game(int index, int winner, const char* reason = REASON_BOARD_FULL) {
    GameRecord record;
    record.game = index;
    record.a_side = index % 2 ? 2 : 1;
    record.side1 = index % 2 ? "B" : "A";
    record.side2 = index % 2 ? "A" : "B";
    record.winner = winner;
    record.reason = reason;
    return record;
}

TEST(SummaryTest, CountsFromTheFirstEnginesSide) {
    // Pair 0: A wins as side 1, then loses as side 2 on time. Pair 1: A wins as side 2 after
    // a draw. Game 4 has no partner yet.
    const std::vector<GameRecord> records = {game(0, 1), game(1, 1, REASON_TIME), game(2, 0),
                                             game(3, 2, REASON_CRASH), game(4, 2)};
    const MatchTotals totals = match_totals(records);
    EXPECT_EQ(totals.engine_a, "A");
    EXPECT_EQ(totals.engine_b, "B");
    EXPECT_EQ(totals.tally.wins, 2);
    EXPECT_EQ(totals.tally.losses, 2);
    EXPECT_EQ(totals.tally.draws, 1);
    EXPECT_EQ(totals.pentanomial, (Pentanomial{0, 0, 1, 1, 0}));
    EXPECT_EQ(totals.a_losses, (std::map<std::string, int>{{"board full", 1}, {"time", 1}}));
    EXPECT_EQ(totals.b_losses, (std::map<std::string, int>{{"board full", 1}, {"crash", 1}}));

    const std::string text = summary_text(records, SprtSpec{});
    EXPECT_EQ(text, "Score of A vs B: 2 - 2 - 1  [0.500] 5\n"
                    "Elo difference: 0.0 +/- 366.8, LOS: 50.0 %, DrawRatio: 20.0 %\n"
                    "Ptnml(0-2): [0, 0, 1, 1, 0]\n"
                    "A lost 2: board full 1, time 1\n"
                    "B lost 2: board full 1, crash 1\n");
    EXPECT_EQ(progress_text(records, 10, 2), "Games 5/10: 2 - 2 - 1, Elo 0.0 +/- 366.8, running 2");
}

// Games of another board or rules say so first; a merge of several says how many of each.
TEST(SummaryTest, BoardAndRulesLead) {
    std::vector<GameRecord> records = {game(0, 1), game(1, 2)};
    for (GameRecord& record : records) {
        record.board_cols = 10;
        record.board_rows = 8;
        record.rules.kind = RuleKind::standard;
    }
    EXPECT_EQ(
        summary_text(records, SprtSpec{}).rfind("Board 10 x 8, rules standard\nScore of A", 0), 0u);
    records.push_back(game(2, 0));
    EXPECT_EQ(summary_text(records, SprtSpec{})
                  .rfind("Board 10 x 8, rules standard (2 games); 39 x 32, rules fendrel (1 game)\n"
                         "Score of A",
                         0),
              0u);
}

TEST(SummaryTest, SprtLineAndVerdicts) {
    // Bounds far apart, so that 20 pairs are enough.
    SprtSpec sprt{true, 0, 300, 0.05, 0.05};
    std::vector<GameRecord> records;
    for (int i = 0; i < 40; ++i)
        records.push_back(game(i, i % 2 ? 2 : 1)); // A wins every game
    EXPECT_EQ(sprt_verdict(match_totals(records), sprt), SprtVerdict::accept_h1);
    const std::string text = summary_text(records, sprt);
    EXPECT_NE(text.find("SPRT: llr "), std::string::npos);
    EXPECT_NE(text.find(", lbound -2.944, ubound 2.944 - H1 was accepted\n"), std::string::npos);
    EXPECT_NE(text.find("Elo difference: at least 443.7 (95% one-sided; every game won), LOS: "
                        "100.0 %, DrawRatio: 0.0 %\n"),
              std::string::npos);

    for (GameRecord& record : records)
        record.winner = 3 - record.winner; // now B wins every game
    EXPECT_EQ(sprt_verdict(match_totals(records), sprt), SprtVerdict::accept_h0);
    EXPECT_NE(summary_text(records, sprt)
                  .find("Elo difference: at most -443.7 (95% one-sided; every game lost), LOS: "
                        "0.0 %, DrawRatio: 0.0 %\n"),
              std::string::npos);
    EXPECT_EQ(sprt_verdict(match_totals({game(0, 1), game(1, 2)}), sprt), SprtVerdict::undecided);
    EXPECT_EQ(sprt_verdict(match_totals(records), SprtSpec{}), SprtVerdict::undecided);
}

TEST(SummaryTest, EloInWordsWhereTheIntervalHasNoEnd) {
    // Six draws: the interval is the one that six draws in a row leave.
    std::vector<GameRecord> records;
    for (int i = 0; i < 6; ++i)
        records.push_back(game(i, 0));
    EXPECT_NE(summary_text(records, SprtSpec{})
                  .find("Elo difference: 0.0 +/- 144.3, LOS: 50.0 %, DrawRatio: 100.0 %\n"),
              std::string::npos);
    // 3 - 1: open above.
    records = {game(0, 1), game(1, 2), game(2, 1), game(3, 1)};
    EXPECT_NE(summary_text(records, SprtSpec{})
                  .find("Elo difference: 190.8 (95% interval: -126.4 to unbounded), "),
              std::string::npos);
    // The progress line before the first game is done.
    EXPECT_EQ(progress_text({}, 10, 2), "Games 0/10: 0 - 0 - 0, Elo none (no games), running 2");
}

TEST(SummaryTest, MatchSummaryOfTwoEnginesOrOfAField) {
    const SprtSpec sprt{true, 0, 300, 0.05, 0.05};
    // Two engines (or one against itself): the summary of a match, SPRT and all.
    const std::vector<GameRecord> two = {game(0, 1), game(1, 1, REASON_TIME), game(2, 0),
                                         game(3, 2, REASON_CRASH)};
    EXPECT_EQ(match_summary_text(two, sprt), summary_text(two, sprt));
    EXPECT_EQ(match_summary_text(two, sprt, {"B", 10}, {"B", "A"}), summary_text(two, sprt));
    const std::vector<GameRecord> self = TournamentGames().results("X", "X", 2, 0, 0).records();
    EXPECT_EQ(match_summary_text(self, sprt), summary_text(self, sprt));

    // More: the rating list, the crosstable and each engine's losses, without the SPRT.
    const std::vector<GameRecord> field = TournamentGames()
                                              .results("A", "B", 3, 0, 1)
                                              .results("B", "C", 2, 1, 1)
                                              .game("C", "A", 1, REASON_TIME)
                                              .game("A", "C", 2, REASON_CRASH)
                                              .records();
    const RatingList list = rating_list(field);
    EXPECT_EQ(match_summary_text(field, sprt), rating_list_text(list) + "\n" +
                                                   crosstable_text(crosstable(field, list)) +
                                                   "\n"
                                                   "C lost 2: board full 2\n"
                                                   "A lost 3: board full 1, crash 1, time 1\n"
                                                   "B lost 4: board full 4\n");
    // A field of three of whom two have played so far is listed as a field.
    const std::string pending = match_summary_text(two, sprt, {}, {"A", "B", "C"});
    EXPECT_EQ(pending.find("SPRT"), std::string::npos);
    EXPECT_NE(pending.find("No games: C\n"), std::string::npos) << pending;
    // Before its first game, a field is its names.
    EXPECT_EQ(match_summary_text({}, sprt, {}, {"A", "B", "C"}), "No games: A, B, C\n");
}

TEST(SummaryTest, CostsLineGivesEachEnginesCpuTimeWhenKnown) {
    // A plays side 1 in game 0 and side 2 in game 1.
    std::vector<GameRecord> records = {game(0, 1), game(1, 1)};
    records[0].side_cpu_ms[0] = 1200; // A
    records[0].side_cpu_ms[1] = 300;  // B
    records[1].side_cpu_ms[0] = 400;  // B
    records[1].side_cpu_ms[1] = 1100; // A
    EXPECT_EQ(costs_text(2, 10, 1000, 3000, engine_cpu(records, 0)),
              "Played 2 games in 10.0 s (12.0 games per minute); CPU: referee 1.0 s, engines "
              "3.0 s (referee 25.0 %; A 2.3 s, B 0.7 s)\n");
    // Only the games of this run count.
    EXPECT_EQ(engine_cpu(records, 1).a_ms, 1100);
    // A line of an older run keeps both engines together: no engine's own is known.
    records[1].side_cpu_ms[0] = records[1].side_cpu_ms[1] = -1;
    EXPECT_FALSE(engine_cpu(records, 0).known);
    EXPECT_FALSE(engine_cpu(records, 2).known);
    EXPECT_EQ(costs_text(2, 10, 1000, 3000, engine_cpu(records, 0)),
              "Played 2 games in 10.0 s (12.0 games per minute); CPU: referee 1.0 s, engines "
              "3.0 s (referee 25.0 %)\n");
}

} // namespace
