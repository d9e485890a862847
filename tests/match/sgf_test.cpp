// Game records in SGF: the properties other programs for this game expect, and a written
// record that parses back and replays through the rules to the same position and score.
#include "match/records/replay.h"
#include "match/records/sgf.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Plays random legal dots until no cell can take one, as a record of a finished game.
GameRecord random_finished_game(uint32_t seed) {
    std::mt19937 generator(seed);
    GameRecord record;
    record.side1 = "Red [1]";
    record.side2 = "Blue\\2";
    record.opening = "random:2 #0";
    record.opening_dots = 2;
    record.reason = REASON_BOARD_FULL;
    init_board();
    while (!board_full()) {
        std::vector<int32_t> legal;
        for (int32_t cell = first_cell; cell < end_cell; ++cell) {
            const Dot dot = dot_of_cell(cell);
            if (is_legal_dot(dot.x, dot.y))
                legal.push_back(cell);
        }
        const int32_t cell = legal[generator() % legal.size()];
        record.dots.push_back(dot_of_cell(cell));
        place_dot(cell);
    }
    record.score = side1_balance();
    record.winner = record.score > 0 ? 1 : record.score < 0 ? 2 : 0;
    return record;
}

struct BoardCopy {
    std::vector<int32_t> owner;
    std::vector<int32_t> enclosed;
    int32_t balance;
};

// The board arrays and the balance as they stand.
BoardCopy copy_board() {
    return {{cell_owner, cell_owner + CELL_CAPACITY},
            {cell_enclosed, cell_enclosed + CELL_CAPACITY},
            side1_balance()};
}

TEST(SgfTest, WrittenGamesReplayToTheSamePositionAndScore) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        const GameRecord record = random_finished_game(seed);
        const BoardCopy played = copy_board();

        std::vector<SgfGame> games;
        std::string error;
        ASSERT_TRUE(parse_sgf(write_sgf_game(record) + write_sgf_game(record), games, error))
            << error;
        ASSERT_EQ(games.size(), 2u);
        std::vector<Dot> dots;
        for (size_t i = 0; i < games[0].moves.size(); ++i) {
            EXPECT_EQ(games[0].moves[i].first, 1 + static_cast<int>(i % 2));
            dots.push_back(games[0].moves[i].second);
        }
        ASSERT_EQ(replay_dots(dots), static_cast<int>(record.dots.size()));
        EXPECT_TRUE(board_full());
        const BoardCopy replayed = copy_board();
        EXPECT_EQ(replayed.owner, played.owner);
        EXPECT_EQ(replayed.enclosed, played.enclosed);
        EXPECT_EQ(replayed.balance, record.score);
        EXPECT_EQ(sgf_property(games[0], "PB"), "Red [1]");
        EXPECT_EQ(sgf_property(games[0], "PW"), "Blue\\2");
        EXPECT_EQ(sgf_property(games[0], "RE"), sgf_result(record));
    }
}

TEST(SgfTest, RootPropertiesAndCoordinates) {
    GameRecord record;
    record.game = 4;
    record.side1 = "A";
    record.side2 = "B";
    record.opening = "empty";
    record.winner = 2;
    record.reason = REASON_ILLEGAL;
    record.detail = "move 0 0 refused";
    // a to z, then A to Z: column 25 is z, 26 is A, 38 is M; row 31 is F.
    record.dots = {{0, 0}, {25, 26}, {38, 31}};
    const std::string text = write_sgf_game(record);
    EXPECT_EQ(text, "(;FF[4]GM[40]CA[UTF-8]AP[fendrel-match]SZ[39:32]GN[game 4]PB[A]PW[B]RE[W+F]"
                    "GC[illegal move: move 0 0 refused; opening empty]\n;B[aa];W[zA];B[MF])\n");
}

TEST(SgfTest, ResultCodes) {
    GameRecord record;
    record.winner = 1;
    record.reason = REASON_BOARD_FULL;
    record.score = 7;
    EXPECT_EQ(sgf_result(record), "B+7");
    record.winner = 2;
    record.score = -2;
    EXPECT_EQ(sgf_result(record), "W+2");
    record.reason = REASON_TIME;
    EXPECT_EQ(sgf_result(record), "W+T");
    for (const char* forfeit : {REASON_CRASH, REASON_STALL, REASON_OUT_OF_TURN, REASON_ILLEGAL}) {
        record.reason = forfeit;
        EXPECT_EQ(sgf_result(record), "W+F");
    }
    record.winner = 0;
    record.reason = REASON_BOARD_FULL;
    EXPECT_EQ(sgf_result(record), "Draw");
}

TEST(SgfTest, ReadsTheMainLineOnly) {
    std::vector<SgfGame> games;
    std::string error;
    ASSERT_TRUE(parse_sgf("(;GM[40]SZ[39:32]C[a \\] b];B[aa]C[x](;W[bb];B[cc])(;W[dd]))\n"
                          "( ; GM[40] ; B[dd] )",
                          games, error))
        << error;
    ASSERT_EQ(games.size(), 2u);
    ASSERT_EQ(games[0].moves.size(), 3u);
    EXPECT_EQ(games[0].moves[1].second, (Dot{1, 1}));
    EXPECT_EQ(games[0].moves[2].second, (Dot{2, 2}));
    EXPECT_EQ(sgf_property(games[0], "C"), "a ] b");
    EXPECT_EQ(games[1].moves.size(), 1u);
}

TEST(SgfTest, RefusesBrokenText) {
    const char* broken[] = {"(;B[aa]",   "(;B[aa", "(;B[a1])", "(;B[abc])",
                            "x(;B[aa])", "(;B)",   "(;b[aa])"};
    for (const char* text : broken) {
        std::vector<SgfGame> games;
        std::string error;
        EXPECT_FALSE(parse_sgf(text, games, error)) << text;
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
