// The final board as text, drawn from a replayed position, and the outcome in words.
#include "records/replay.h"
#include "review/board_text.h"
#include "rules/board.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The board the records are played on.
Board board;

// The lines of a text.
std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

TEST(BoardTextTest, DotsCapturesAndEnclosedPointsToldApart) {
    // Side 1 closes a diamond around side 2's dot at (1, 1); side 2 closes one around the
    // empty point (10, 10).
    ASSERT_EQ(replay_dots(board, {{1, 0},
                                  {1, 1},
                                  {0, 1},
                                  {10, 9},
                                  {2, 1},
                                  {9, 10},
                                  {1, 2},
                                  {11, 10},
                                  {20, 20},
                                  {10, 11}}),
              10);
    const std::vector<std::string> lines = lines_of(board_text(board));
    ASSERT_EQ(lines.size(), 2u + 32u + 2u);
    EXPECT_EQ(lines[0], "                       1 1 1 1 1 1 1 1 1 1 2 2 2 2 2 2 2 2 2 2 3 3 3 3 3 "
                        "3 3 3 3");
    EXPECT_EQ(lines[1], "   0 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 8 9 0 1 2 3 4 "
                        "5 6 7 8");
    EXPECT_EQ(lines[2].substr(0, 27), " 0 . X . . . . . . . . . . ");
    EXPECT_EQ(lines[3].substr(0, 27), " 1 X o X . . . . . . . . . ");
    EXPECT_EQ(lines[4].substr(0, 27), " 2 . X . . . . . . . . . . ");
    EXPECT_EQ(lines[11].substr(0, 27), " 9 . . . . . . . . . . O . ");
    EXPECT_EQ(lines[12].substr(0, 27), "10 . . . . . . . . . O + O ");
    EXPECT_EQ(lines[13].substr(0, 27), "11 . . . . . . . . . . O . ");
    EXPECT_EQ(lines[22], "20 . . . . . . . . . . . . . . . . . . . . X . . . . . . . . . . . . "
                         ". . . . . .");
    EXPECT_EQ(lines[34].substr(0, 5), "  X s");
    EXPECT_NE(lines[34].find("x side 1's dot, captured"), std::string::npos);
    EXPECT_NE(lines[34].find("+ empty point inside an enclosure"), std::string::npos);
    EXPECT_NE(lines[35].find("o side 2's dot, captured"), std::string::npos);
    EXPECT_EQ(side1_balance(board), 1);
}

// A finished game between "A" (side 1) and "B" (side 2).
GameRecord finished(int winner, const char* reason, int32_t score, const char* detail = "") {
    GameRecord record;
    record.side1 = "A";
    record.side2 = "B";
    record.winner = winner;
    record.reason = reason;
    record.detail = detail;
    record.score = score;
    record.dots = {{1, 1}, {2, 2}, {3, 3}};
    return record;
}

TEST(BoardTextTest, OutcomeNamesTheSidesAndTheWinner) {
    EXPECT_EQ(outcome_text(finished(2, REASON_BOARD_FULL, -7)),
              "Side 1 (red, X): A; side 2 (blue, O): B; 3 dots\n"
              "Score: side 1 -7 (captured dots: side 2 took 7 more)\n"
              "Winner: side 2 (blue, O) B, on captured dots once no point could take a dot\n");
    EXPECT_EQ(outcome_text(finished(0, REASON_BOARD_FULL, 0)),
              "Side 1 (red, X): A; side 2 (blue, O): B; 3 dots\n"
              "Score: side 1 0 (captured dots: even)\n"
              "Result: a draw (board full)\n");
    // A win by the other side's fault, against the run of the score.
    EXPECT_EQ(lines_of(outcome_text(
                  finished(1, REASON_TIME, -2, "clock used up by more than 200 ms")))[2],
              "Winner: side 1 (red, X) A, as side 2 (blue, O) B lost by time (clock used up "
              "by more than 200 ms)");
    EXPECT_EQ(lines_of(outcome_text(finished(2, REASON_CRASH, 4)))[1],
              "Score: side 1 +4 (captured dots: side 1 took 4 more)");
    // A game still being played has no reason yet.
    EXPECT_EQ(lines_of(outcome_text(finished(0, "", 1)))[2],
              "Result: none yet, the game is being played");
}

} // namespace
