// fendrel-board show on the files people look at: an SGF file in another program's style
// and a results file, at a chosen game and move. The printed grid must be the position the
// rules core reaches by replaying the same game to the same move in this process.
#include "match_program.h"
#include "records/replay.h"
#include "records/results_file.h"
#include "records/sgf.h"
#include "records/sgf_replay.h"
#include "review/board_text.h"
#include "rules/board.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The board the records are played on.
Board board;

class BoardShowTest : public MatchProgramTest {
  protected:
    // replay_dots plays on the size and rules of the board it is given: each test starts from
    // the window's, whatever game an earlier test left on it.
    void SetUp() override {
        MatchProgramTest::SetUp();
        board = Board{};
    }
    // Runs fendrel-board with the words in the test's folder; killed after a minute.
    ProgramRun show(std::vector<std::string> words) {
        words.insert(words.begin(), {FENDREL_BOARD, "show"});
        const pid_t pid = start_program(words, "board");
        EXPECT_NE(pid, -1);
        return pid != -1 ? wait_match(pid, "board", 60000) : ProgramRun{};
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(path(name), std::ios::binary) << text;
    }
};

// The grid's rows as printed (not the column numbers), the marks without their spaces.
std::vector<std::string> printed_grid(const std::string& out) {
    std::istringstream in(out);
    std::vector<std::string> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.size() != 2u + 2 * board.board_cols || line[1] == ' ')
            continue;
        std::string row;
        for (int32_t x = 0; x < board.board_cols; ++x)
            row += line[3 + 2 * static_cast<size_t>(x)];
        rows.push_back(row);
    }
    return rows;
}

// The grid of the board as it stands in this process.
std::vector<std::string> replayed_grid() {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < board.board_rows; ++y) {
        std::string row;
        for (int32_t x = 0; x < board.board_cols; ++x)
            row += point_mark(board, x, y);
        rows.push_back(row);
    }
    return rows;
}

// Two game trees as another program writes them: set-up dots, a capture with its outline,
// the same side twice; the second stops at a move inside an enclosure.
const std::string OTHER_PROGRAM =
    "(;FF[4]GM[40]CA[UTF-8]AP[Other:1.0]SZ[39:32]PB[north]PW[south]RE[B+1]AB[tt]AW[uu]"
    ";B[ba];W[bb];B[ab];W[kj];B[cb];W[jk];B[bc.bccbbaab];B[dd];W[ee])\n"
    "(;SZ[39:32]PB[east]PW[west];B[ba];W[kk];B[ab];W[ll];B[cb];W[mm];B[bc];W[bb];B[aa])\n";

TEST_F(BoardShowTest, SgfGamesAtAMoveAndUpToTheMoveTheRulesRefuse) {
    write("games.sgf", OTHER_PROGRAM);
    std::vector<SgfGame> games;
    std::string error;
    ASSERT_TRUE(parse_sgf(OTHER_PROGRAM, games, error)) << error;

    ProgramRun run = show({"games.sgf", "--game", "0", "--move", "8", "at8.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    replay_sgf_game(board, games[0], 8);
    EXPECT_EQ(printed_grid(run.out), replayed_grid()) << run.out;
    EXPECT_EQ(point_mark(board, 1, 1), 'o');
    EXPECT_NE(run.out.find("Position after move 8 of 9\n"
                           "Side 1 (red, X): north; side 2 (blue, O): south; 10 dots\n"
                           "Score: side 1 +1 (captured dots: side 1 took 1 more)\n"
                           "Result: B+1\n"),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(std::filesystem::file_size(path("at8.png")) > 0);

    // The last game by default, to its end: it stops at move 8, which is named.
    run = show({"games.sgf"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "fendrel-board: move 8 W[bb] refused: the point is inside an enclosure; shown up "
              "to move 7\n");
    replay_sgf_game(board, games[1], ALL_SGF_MOVES);
    EXPECT_EQ(printed_grid(run.out), replayed_grid()) << run.out;
    EXPECT_NE(run.out.find("Position after move 7 of 9\n"), std::string::npos) << run.out;
}

// A game of the KataGo fork's dots on 20 x 16 under the standard rules its RU names: the
// start cross as set-up dots, a dot into an empty ring (captured there at once), a capture
// by each side, and grounding, which captures the grounding side's two start dots cut off
// from the edge. Under our own rules the empty ring is an enclosure, which stops the game.
TEST_F(BoardShowTest, AnotherProgramsStandardGameToItsEndAndUnderOurRules) {
    const std::string fixture = std::string(MATCH_FIXTURES) + "/katago_20x16.sgf";
    struct Case {
        const char* rules; // --rules, or nullptr for the file's RU
        std::string err;
        std::string lines; // the lines under the board
        std::vector<std::pair<int32_t, int32_t>> captured;
    };
    const Case cases[] = {
        {nullptr,
         "",
         "Side 1 (red, X): kata-b; side 2 (blue, O): kata-w; 21 dots\n"
         "Score: side 1 +3 (captured dots: side 1 took 3 more)\n"
         "Result: B+3\n"
         "Captured dots: side 1 took 4, side 2 took 1\n",
         {{4, 4}, {12, 3}, {1, 12}, {10, 7}, {9, 8}}},
        {"fendrel",
         "fendrel-board: move 8 W[ee] refused: the point is inside an enclosure; shown up to "
         "move 7\n",
         "Position after move 7 of 18\n"
         "Side 1 (red, X): kata-b; side 2 (blue, O): kata-w; 11 dots\n"
         "Score: side 1 0 (captured dots: even)\n"
         "Result: B+3\n"
         "Captured dots: side 1 took 0, side 2 took 0\n",
         {}},
    };
    std::vector<SgfGame> games;
    std::string error;
    ASSERT_TRUE(parse_sgf(file_text(fixture), games, error)) << error;
    ASSERT_EQ(games.size(), 1u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rules ? c.rules : "RU");
        const ProgramRun run = show(c.rules ? std::vector<std::string>{fixture, "--rules", c.rules}
                                            : std::vector<std::string>{fixture});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, c.err);
        RuleSet rules;
        ASSERT_TRUE(!c.rules || parse_rule_set(c.rules, rules, error)) << error;
        replay_sgf_game(board, games[0], ALL_SGF_MOVES, c.rules ? &rules : nullptr);
        ASSERT_EQ(board.board_cols, 20);
        ASSERT_EQ(board.board_rows, 16);
        EXPECT_EQ(printed_grid(run.out), replayed_grid()) << run.out;
        EXPECT_NE(run.out.find("\n" + c.lines), std::string::npos) << run.out;
        int captured = 0;
        for (int32_t y = 0; y < board.board_rows; ++y)
            for (int32_t x = 0; x < board.board_cols; ++x)
                captured += point_mark(board, x, y) == 'x' || point_mark(board, x, y) == 'o';
        EXPECT_EQ(captured, static_cast<int>(c.captured.size()));
        for (const auto& [x, y] : c.captured)
            EXPECT_TRUE(point_mark(board, x, y) == 'x' || point_mark(board, x, y) == 'o')
                << x << "," << y;
    }
}

TEST_F(BoardShowTest, ResultsFileGameByNumberAndFilesWithNothingToShow) {
    GameRecord record;
    record.side1 = "A";
    record.side2 = "B";
    record.opening = "empty";
    record.winner = 2;
    record.reason = REASON_ILLEGAL;
    record.dots = {{1, 0}, {1, 1}, {0, 1}, {10, 9}, {2, 1}, {9, 10}, {1, 2}, {5, 5}};
    std::string lines;
    for (int game : {4, 5}) {
        record.game = game;
        lines += record_to_json(record) + "\n";
        record.dots.pop_back();
    }
    record.game = 6;
    record.dots = {{1, 0}, {1, 0}, {2, 0}};
    lines += record_to_json(record) + "\n";
    write("games.jsonl", lines);

    ProgramRun run = show({"games.jsonl", "--move", "7", "--game", "4"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    replay_dots(board, {{1, 0}, {1, 1}, {0, 1}, {10, 9}, {2, 1}, {9, 10}, {1, 2}});
    EXPECT_EQ(printed_grid(run.out), replayed_grid()) << run.out;
    EXPECT_NE(run.out.find("Position after move 7 of 8\nSide 1 (red, X): A; side 2 (blue, O): B; "
                           "7 dots\nScore: side 1 +1"),
              std::string::npos)
        << run.out;

    // The last game by default: the results file holds a dot the rules refuse.
    run = show({"games.jsonl"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "fendrel-board: move 2 (1 0) refused: the point is taken; shown up to move 1\n");
    replay_dots(board, {{1, 0}});
    EXPECT_EQ(printed_grid(run.out), replayed_grid()) << run.out;

    // Nothing to show: no such game or move, a file that is not there, broken or empty.
    write("broken.sgf", "(;SZ[39:32];B[aa]");
    write("square.sgf", "(;SZ[70];B[aa])");
    write("empty.jsonl", "not a results line\n");
    const std::vector<std::vector<std::string>> refused = {
        {"games.jsonl", "--game", "7"},
        {"games.jsonl", "--move", "9"},
        {"missing.sgf"},
        {"broken.sgf"},
        {"square.sgf"},
        {"empty.jsonl"},
    };
    for (const std::vector<std::string>& words : refused) {
        run = show(words);
        EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 1) << words[0];
        EXPECT_EQ(run.out, "") << words[0];
        EXPECT_EQ(run.err.rfind("fendrel-board: ", 0), 0u) << words[0] << ": " << run.err;
    }
}

TEST_F(BoardShowTest, ResultsWithTimesAnOlderMatchRecordedBelowZeroAreShown) {
    // Two of the game's move times were written as -1 ms, unsigned, by fendrel-match before a
    // move's time was its clock's charge.
    const std::string fixture = std::string(MATCH_FIXTURES) + "/wrapped_times.jsonl";
    const ProgramRun run = show({fixture, "--move", "991"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::vector<GameRecord> records;
    int skipped = 0;
    std::string error;
    ASSERT_TRUE(read_results(fixture, records, skipped, error)) << error;
    ASSERT_EQ(records.size(), 1u);
    const std::vector<Dot> dots(records[0].dots.begin(), records[0].dots.begin() + 991);
    ASSERT_EQ(replay_dots(board, dots), 991);
    EXPECT_EQ(printed_grid(run.out), replayed_grid()) << run.out;
    EXPECT_NE(run.out.find("Position after move 991 of 1160\n"), std::string::npos) << run.out;
}

} // namespace
