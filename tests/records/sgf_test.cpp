// Game records in SGF: the properties other programs for this game expect, a written record
// that parses back and replays through the rules to the same position and score, and the
// files other programs write, replayed on the rules core.
#include "board_diagram.h"
#include "records/replay.h"
#include "records/sgf.h"
#include "records/sgf_replay.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/rule_set.h"
#include "rules/standard_bases.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

// The board the records are played on.
Board board;

// The mark of one point, in the letters of the board diagrams.
char mark_at(int32_t x, int32_t y) {
    return board_diagram(board, x, y, x, y)[0];
}

// Plays random legal dots until no cell can take one, or until `ground_after` dots when it is
// above 0, where the side to move grounds, as a record of a finished game on a board of
// cols x rows under the rules.
GameRecord random_finished_game(uint32_t seed, int32_t cols, int32_t rows, const RuleSet& rules,
                                size_t ground_after = 0) {
    std::mt19937 generator(seed);
    GameRecord record;
    record.side1 = "Red [1]";
    record.side2 = "Blue\\2";
    record.opening = "random:2 #0";
    record.opening_dots = 2;
    record.reason = REASON_BOARD_FULL;
    record.board_cols = cols;
    record.board_rows = rows;
    record.rules = rules;
    init_board(board, cols, rows, rules);
    while (!board_full(board)) {
        if (ground_after != 0 && record.dots.size() == ground_after) {
            record.grounded = board.side_to_move;
            record.reason = REASON_GROUNDED;
            ground(board);
            break;
        }
        std::vector<int32_t> legal;
        for (int32_t cell = board.first_cell; cell < board.end_cell; ++cell) {
            const Dot dot = dot_of_cell(board, cell);
            if (is_legal_dot(board, dot.x, dot.y))
                legal.push_back(cell);
        }
        const int32_t cell = legal[generator() % legal.size()];
        record.dots.push_back(dot_of_cell(board, cell));
        place_dot(board, cell);
    }
    record.score = side1_balance(board);
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
    return {board.cell_owner, board.cell_enclosed, side1_balance(board)};
}

// Every rule set and option, on boards from the smallest to the largest: what the writer
// writes, the reader reads back as the same size and rules, and its moves replay to the same
// position and score.
TEST(SgfTest, WrittenGamesReplayToTheSamePositionAndScore) {
    struct RoundTrip {
        const char* rules;
        int32_t cols, rows;
        uint32_t seed;
        size_t ground_after = 0; // dots before the side to move grounds; 0: none does
    };
    const RoundTrip cases[] = {
        {"fendrel", 39, 32, 1},
        {"fendrel", 39, 32, 2},
        {"fendrel,start=cross", 10, 7, 3},
        {"fendrel,start=cross4,start-seed=5", 52, 52, 4},
        {"standard", 3, 3, 5},
        {"standard", 39, 32, 6},
        {"standard,suicide=off", 12, 12, 7},
        {"standard,empty-bases=capture", 9, 20, 8},
        {"standard,start=cross2", 16, 5, 9},
        {"standard,suicide=off,empty-bases=capture,start=cross4", 20, 15, 10},
        {"standard,start=cross4,start-seed=77", 52, 9, 11},
        {"standard", 10, 10, 12, 31},
        {"standard,suicide=off", 39, 32, 13, 300},
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.rules);
        RuleSet rules;
        std::string error;
        ASSERT_TRUE(parse_rule_set(c.rules, rules, error)) << error;
        const GameRecord record =
            random_finished_game(c.seed, c.cols, c.rows, rules, c.ground_after);
        const BoardCopy played = copy_board();

        std::vector<SgfGame> games;
        ASSERT_TRUE(parse_sgf(write_sgf_game(record) + write_sgf_game(record), games, error))
            << error;
        ASSERT_EQ(games.size(), 2u);
        int32_t cols = 0, rows = 0;
        RuleSet read;
        EXPECT_EQ(sgf_board_setup(games[0], nullptr, cols, rows, read), "");
        EXPECT_EQ(cols, c.cols);
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(rule_set_text(read), rule_set_text(rules));
        std::vector<Dot> dots;
        int grounded = 0;
        for (const SgfPlacement& placement : games[0].placements) {
            if (placement.setup)
                continue;
            if (placement.ground) {
                grounded = placement.side;
                continue;
            }
            EXPECT_EQ(placement.side, 1 + static_cast<int>(dots.size() % 2));
            dots.push_back(placement.dot);
        }
        EXPECT_EQ(dots, record.dots);
        EXPECT_EQ(grounded, record.grounded);

        const SgfReplay replay = replay_sgf_game(board, games[0], ALL_SGF_MOVES);
        EXPECT_EQ(replay.error, "");
        EXPECT_EQ(replay.moves, record_moves(record));
        EXPECT_TRUE(board_full(board));
        const BoardCopy replayed = copy_board();
        EXPECT_EQ(replayed.owner, played.owner);
        EXPECT_EQ(replayed.enclosed, played.enclosed);
        EXPECT_EQ(replayed.balance, record.score);
        // The board keeps the size and rules read: the dots alone replay there too.
        ASSERT_EQ(replay_dots(board, dots), static_cast<int>(record.dots.size()));
        EXPECT_EQ(copy_board().owner, played.owner);
        // A grounded game's result is its captured dots, as a full board's is.
        if (record.grounded != 0 && record.winner != 0) {
            EXPECT_EQ(sgf_result(record).substr(2), std::to_string(std::abs(record.score)));
        }
        EXPECT_EQ(sgf_property(games[0], "PB"), "Red [1]");
        EXPECT_EQ(sgf_property(games[0], "PW"), "Blue\\2");
        EXPECT_EQ(sgf_property(games[0], "RE"), sgf_result(record));
    }
    // Past the letters: a 53rd column has none of its own.
    GameRecord wide;
    wide.board_cols = SGF_MAX_SIDE + 1;
    wide.dots = {{SGF_MAX_SIDE, 0}};
    EXPECT_EQ(write_sgf_game(wide), "");
}

TEST(SgfTest, RecordedDotsOffTheBoardStopTheReplay) {
    init_board(board);
    // The rules' cell index would take the first two as points of the rows beside theirs
    // ((38, 4) and (0, 1)), and the last two as cells outside the board's arrays.
    for (const Dot& off : {Dot{-3, 5}, Dot{41, 0}, Dot{5, -2}, Dot{0, 33}}) {
        EXPECT_EQ(replay_dots(board, {{3, 3}, off, {4, 4}}), 1) << off.x << " " << off.y;
        EXPECT_EQ(board.cell_owner[cell_index(board, 3, 3)], 1);
        EXPECT_EQ(board.cell_owner[cell_index(board, 4, 4)], CELL_EMPTY);
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
    EXPECT_EQ(
        text,
        "(;FF[4]GM[40]CA[UTF-8]AP[fendrel-match]SZ[39:32]RU[fendrel]GN[game 4]PB[A]PW[B]RE[W+F]"
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
    ASSERT_EQ(games[0].placements.size(), 3u);
    EXPECT_EQ(games[0].placements[1].dot, (Dot{1, 1}));
    EXPECT_EQ(games[0].placements[2].dot, (Dot{2, 2}));
    EXPECT_EQ(sgf_property(games[0], "C"), "a ] b");
    EXPECT_EQ(games[1].placements.size(), 1u);
}

TEST(SgfTest, RefusesBrokenText) {
    const char* broken[] = {"(;B[aa]",    "(;B[aa",      "(;B[a1])",       "(;B[abc])",
                            "x(;B[aa])",  "(;B)",        "(;b[aa])",       "(;AB[])",
                            "(;B[ab.a])", "(;B[ab.a1])", "(;AB[ab.bbcc])", "(;W[ab,bc])"};
    for (const char* text : broken) {
        std::vector<SgfGame> games;
        std::string error;
        EXPECT_FALSE(parse_sgf(text, games, error)) << text;
        EXPECT_FALSE(error.empty());
    }
}

// Side 1 closes a diamond around side 2's dot bb = (1, 1) with its fourth dot, bc = (1, 2).
const std::string DIAMOND = ";B[ba];W[bb];B[ab];W[kj];B[cb];W[jk]";

struct DialectCase {
    const char* what;
    std::string sgf;
    int played;        // moves of the last game tree that replay
    int total;         // moves of its main line
    std::string error; // the replay's error, "" for none
    size_t warnings;
    std::string black;                       // PB, in UTF-8
    std::vector<std::pair<Dot, char>> marks; // grid marks after the replay
    int balance = 0;                         // side 1's captured-dot balance
};

TEST(SgfTest, OtherProgramsDialectsReplayOnTheRules) {
    const DialectCase cases[] = {
        {"outline after the point",
         "(;GM[40]SZ[39:32]" + DIAMOND + ";B[bc.bccbbaab])",
         7,
         7,
         "",
         0,
         "",
         {{{1, 1}, 'o'}, {{1, 2}, 'X'}},
         1},
        {"outline with a point that is not the mover's",
         "(;SZ[39:32]" + DIAMOND + ";B[bc.bccbbakj])",
         7,
         7,
         "",
         1,
         "",
         {{{1, 1}, 'o'}},
         1},
        {"outline on a move that encloses nothing",
         "(;SZ[39:32];B[aa.aabbab];W[cc])",
         2,
         2,
         "",
         1,
         "",
         {{{0, 0}, 'X'}}},
        {"two chains after the point",
         "(;SZ[39:32]" + DIAMOND + ";B[bc.bccb.baab])",
         7,
         7,
         "",
         0,
         "",
         {{{1, 1}, 'o'}},
         1},
        {"set-up dots, then a capture",
         "(;SZ[39:32]AB[ba][ab]AW[bb]AB[cb];B[bc])",
         1,
         1,
         "",
         0,
         "",
         {{{1, 1}, 'o'}, {{0, 1}, 'X'}},
         1},
        {"one side twice in a row",
         "(;SZ[39:32];B[ba];B[ab];B[cb];W[bb];B[bc];B[zz])",
         6,
         6,
         "",
         0,
         "",
         {{{1, 1}, 'o'}, {{25, 25}, 'X'}},
         1},
        {"two trees, the main line of the last",
         "(;SZ[39:32];B[aa])\n(;SZ[39:32];B[bb];W[cc]"
         "(;B[dd];W[ff])(;B[ee]))",
         4,
         4,
         "",
         0,
         "",
         {{{3, 3}, 'X'}, {{4, 4}, '.'}, {{5, 5}, 'O'}}},
        {"Windows-1251 text",
         "(;CA[windows-1251]PB[\xc8\xe3\xf0\xee\xea]SZ[39:32];B[aa])",
         1,
         1,
         "",
         0,
         "\u0418\u0433\u0440\u043e\u043a",
         {}},
        {"UTF-8 text by default",
         "(;PB[\u0418\u0433\u0440\u043e\u043a];B[aa])",
         1,
         1,
         "",
         0,
         "\u0418\u0433\u0440\u043e\u043a",
         {}},
        {"unknown properties",
         "(;FF[4]GM[40]AP[Other:2.1]SZ[39:32]TM[600]XX[1][2];B[aa]BL[5]"
         "C[hm];W[bb]LB[bb:1])",
         2,
         2,
         "",
         0,
         "",
         {{{1, 1}, 'O'}}},
        {"a point inside an enclosure",
         "(;SZ[39:32];B[ba];W[kk];B[ab];W[ll];B[cb];W[mm];B[bc];"
         "W[bb];B[aa])",
         7,
         9,
         "move 8 W[bb] refused: the point is inside an enclosure",
         0,
         "",
         {{{1, 1}, '+'}, {{0, 0}, '.'}}},
        {"a point taken",
         "(;B[aa];W[aa])",
         1,
         2,
         "move 2 W[aa] refused: the point is taken",
         0,
         "",
         {{{0, 0}, 'X'}}},
        {"a point past the right edge",
         "(;SZ[39:32];B[Na])",
         0,
         1,
         "move 1 B[Na] refused: the point lies outside the board",
         0,
         "",
         {{{0, 1}, '.'}}},
        {"a set-up dot on a taken point",
         "(;AB[aa]AW[aa];B[bb])",
         0,
         1,
         "set-up dot AW[aa] refused: the point is taken",
         0,
         "",
         {{{0, 0}, 'X'}}},
        {"a square board", "(;SZ[39];B[aa])", 1, 1, "", 0, "", {{{0, 0}, 'X'}}},
        {"rows and columns swapped", "(;SZ[32:39];B[bM])", 1, 1, "", 0, "", {{{1, 38}, 'X'}}},
        {"a board too small",
         "(;SZ[2];B[aa])",
         0,
         1,
         "board SZ[2] is not from 3 to 64 points a side",
         0,
         "",
         {}},
        {"rules not played here",
         "(;RU[Japanese];B[aa])",
         0,
         1,
         "rules RU[Japanese] are not played here",
         0,
         "",
         {}},
        // The KataGo fork's game on 5 x 5 under the standard rules: W enters B's empty ring
        // and is captured at once, then B grounds with every dot linked to the edge.
        {"the KataGo fork's rules, suicide and grounding",
         "(;GM[40]FF[4]AP[katago]SZ[5]RU[dotsCaptureEmptyBase0startPosIsRandom0sui1]"
         ";B[ba];W[dd];B[ab];W[ed];B[cb];W[ee];B[bc];W[bb];B[])",
         9,
         9,
         "",
         0,
         "",
         {{{1, 1}, 'o'}, {{1, 0}, 'X'}, {{3, 3}, 'O'}},
         1},
        {"the same game under the fendrel rules",
         "(;SZ[5]RU[fendrel];B[ba];W[dd];B[ab];W[ed];B[cb];W[ee];B[bc];W[bb];B[])",
         7,
         9,
         "move 8 W[bb] refused: the point is inside an enclosure",
         0,
         "",
         {{{1, 1}, '+'}}},
    };
    for (const DialectCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<SgfGame> games;
        std::string error;
        ASSERT_TRUE(parse_sgf(c.sgf, games, error)) << error;
        ASSERT_FALSE(games.empty());
        const SgfReplay replay = replay_sgf_game(board, games.back(), ALL_SGF_MOVES);
        EXPECT_EQ(replay.moves, c.played);
        EXPECT_EQ(replay.total, c.total);
        EXPECT_EQ(replay.error, c.error);
        EXPECT_EQ(replay.warnings.size(), c.warnings);
        EXPECT_EQ(sgf_property(games.back(), "PB"), c.black);
        for (const auto& [dot, mark] : c.marks)
            EXPECT_EQ(mark_at(dot.x, dot.y), mark) << dot.x << ", " << dot.y;
        EXPECT_EQ(side1_balance(board), c.balance);
    }
}

TEST(SgfTest, ReplayStopsAtTheMoveAskedFor) {
    std::vector<SgfGame> games;
    std::string error;
    ASSERT_TRUE(parse_sgf("(;AB[cc]" + DIAMOND + ";B[bc])", games, error)) << error;
    SgfReplay replay = replay_sgf_game(board, games[0], 0);
    EXPECT_EQ(replay.moves, 0);
    EXPECT_EQ(mark_at(2, 2), 'X');
    EXPECT_EQ(board.last_move_cell, 0);
    replay = replay_sgf_game(board, games[0], 6);
    EXPECT_EQ(replay.moves, 6);
    EXPECT_TRUE(replay.error.empty());
    EXPECT_EQ(mark_at(1, 1), 'O');
    EXPECT_EQ(board.last_move_cell, cell_index(board, 9, 10));
    // The side of the next move is the one after the last move played.
    EXPECT_EQ(board.side_to_move, 1);
}

} // namespace
