// The built fendrel-bridge with the foreign test engine, over pipes, on every platform (under
// Wine in the Windows trees): a move and quit, the end of its input with an engine that
// never quits, an engine that exits, and a whole game on a small board under the standard
// rules.
#include "child_process.h"
#include "random_play.h"

#include <gtest/gtest.h>

#include "engine/protocol.h"
#include "os/file.h"
#include "rules/capture.h"
#include "rules/standard_bases.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A guard against a hang, not a measure.
constexpr std::chrono::milliseconds GUARD{20000};

class BridgeProgram : public ::testing::TestWithParam<const char*> {
  protected:
    void TearDown() override { end_child(bridge); }

    // The sessions play the window program's rules, which a gtp engine plays as the fork's
    // nearest.
    void start(const char* mode) {
        ASSERT_TRUE(
            start_child(bridge, FENDREL_BRIDGE,
                        {"--nearest-rules", GetParam(), "--", FOREIGN_ENGINE, GetParam(), mode}));
    }
    // Reads lines until one starts with `start`; false when none comes.
    bool line_starting(const std::string& start) {
        std::string line;
        while (read_child_line(bridge, line, GUARD))
            if (line.rfind(start, 0) == 0)
                return true;
        return false;
    }
    std::string prefix() const { return GetParam(); }

    ChildProcess bridge;
};

const char OPENING[] = "new 32 39\nincrement 1000\nmove 19 15\ntime 1000\notime 0\ngo\n";

TEST_P(BridgeProgram, NamesTheEngineMovesAndQuits) {
    start("legal");
    ASSERT_TRUE(write_to_child(bridge, OPENING));
    std::string name;
    ASSERT_TRUE(read_child_line(bridge, name, GUARD));
    EXPECT_EQ(name, prefix() == "gtp" ? "Foreign GTP" : "Foreign pointsai");
    EXPECT_TRUE(line_starting("move "));
    ASSERT_TRUE(write_to_child(bridge, "quit\n"));
    EXPECT_EQ(wait_child_exit(bridge, GUARD), 0);
}

TEST_P(BridgeProgram, EndsWhenItsInputEndsThoughTheEngineNeverQuits) {
    start("deaf");
    ASSERT_TRUE(write_to_child(bridge, OPENING));
    close_child_input(bridge);
    EXPECT_TRUE(line_starting(prefix() + " engine")); // a stand-in for the name never given
    EXPECT_EQ(wait_child_exit(bridge, GUARD), 0);
}

TEST_P(BridgeProgram, SetsTheEnginesEnvironmentAndKeepsItsExchangeInTheSideFile) {
    const std::string side_file = std::string("bridge-exchange-") + GetParam() + ".txt";
    std::remove(side_file.c_str());
    ASSERT_TRUE(
        start_child(bridge, FENDREL_BRIDGE,
                    {"--env", "FOREIGN_ENGINE_SAY=hello there", "--exchange", side_file,
                     "--nearest-rules", GetParam(), "--", FOREIGN_ENGINE, GetParam(), "legal"}));
    ASSERT_TRUE(write_to_child(bridge, "new 32 39\nincrement 1000\nmovetime 100\nmove 19 15\n"
                                       "time 1000\notime 0\ngo\n"));
    // The engine's standard error comes on a pipe of its own: its line may come before the
    // move or after it.
    std::string lines;
    std::string line;
    while (lines.find("\nmove ") == std::string::npos && read_child_line(bridge, line, GUARD))
        lines += "\n" + line;
    ASSERT_TRUE(write_to_child(bridge, "quit\n"));
    while (read_child_line(bridge, line, GUARD))
        lines += "\n" + line;
    EXPECT_EQ(wait_child_exit(bridge, GUARD), 0);
    EXPECT_NE(lines.find("\n" + prefix() + " stderr: said hello there"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("\nmove "), std::string::npos) << lines;
    const std::string records = whole_file(side_file);
    std::remove(side_file.c_str());
    // Asked for exactly 100 ms, as side 2.
    const std::string asked =
        prefix() == "gtp" ? " >> 9 time_left W 0.100 1" : " >> 4 gen_move_with_time 1 100";
    EXPECT_NE(records.find(asked), std::string::npos) << records;
    EXPECT_NE(records.find(" << " + std::string(prefix() == "gtp" ? "=1 Foreign GTP"
                                                                  : "= 1 name Foreign pointsai")),
              std::string::npos)
        << records;
    EXPECT_NE(records.find(" <<2 said hello there"), std::string::npos) << records;
    EXPECT_NE(records.find(" >> "), std::string::npos);
}

TEST_P(BridgeProgram, RefusesOptionsItDoesNotKnow) {
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"--bogus", "x", GetParam(), "--", FOREIGN_ENGINE},
          {"--env", "NOEQUALS", GetParam(), "--", FOREIGN_ENGINE},
          {"--exchange"}}) {
        ASSERT_TRUE(start_child(bridge, FENDREL_BRIDGE, words));
        EXPECT_EQ(wait_child_exit(bridge, GUARD), 2) << words[0];
        end_child(bridge);
    }
}

TEST_P(BridgeProgram, EndsWhenTheEngineExits) {
    start("exit");
    ASSERT_TRUE(write_to_child(bridge, OPENING));
    EXPECT_TRUE(line_starting(prefix() + " engine failed: its output ended"));
    EXPECT_EQ(wait_child_exit(bridge, GUARD), 1);
}

// This test plays side 1 at random on a board of 5 rows and 6 columns under the standard
// rules, the engine side 2 through the bridge, and every move the engine gives must be legal
// on this test's own board. A pointsai engine, started with those rules as its own option,
// plays until the board is full; a gtp engine, started without and told them by the bridge,
// grounds instead of its fourth move, which reaches this test as the line "ground".
TEST_P(BridgeProgram, PlaysASmallBoardUnderTheStandardRules) {
    RuleSet standard;
    standard.kind = RuleKind::standard;
    std::vector<std::string> words = {GetParam(), "--", FOREIGN_ENGINE, GetParam(), "ground:4"};
    if (prefix() == "pointsai")
        words.push_back("standard");
    ASSERT_TRUE(start_child(bridge, FENDREL_BRIDGE, words));
    ASSERT_TRUE(write_to_child(bridge, "new 5 6\nrules standard\nincrement 1000\nmovetime 20\n"));
    Board board;
    init_board(board, 6, 5, standard);
    RandomPlayer player;
    start_random_player(player, 1, Bias::near_recent, 6, 5);
    const auto legal = [&](Point point) { return is_legal_dot(board, point.x, point.y); };
    int engine_moves = 0;
    std::string line;
    ASSERT_TRUE(read_child_line(bridge, line, GUARD)); // the name
    for (Point point{}; next_random_move(player, legal, point);) {
        place_dot(board, cell_index(board, point.x, point.y));
        ASSERT_TRUE(write_to_child(bridge, "move " + std::to_string(point.x) + " " +
                                               std::to_string(point.y) + "\n"));
        if (board_full(board))
            break;
        ASSERT_TRUE(write_to_child(bridge, "time 1000\notime 1000\ngo\n"));
        do
            ASSERT_TRUE(read_child_line(bridge, line, GUARD));
        while (line.rfind(prefix() + ":", 0) == 0 || line.rfind(prefix() + " stderr:", 0) == 0);
        if (line == "ground") {
            ground(board);
            break;
        }
        int32_t x = 0;
        int32_t y = 0;
        ASSERT_EQ(parse_engine_line(line.c_str(), &x, &y), EngineLine::move) << line;
        ASSERT_TRUE(is_legal_dot(board, x, y)) << line;
        place_dot(board, cell_index(board, x, y));
        ++engine_moves;
    }
    ASSERT_TRUE(write_to_child(bridge, "quit\n"));
    EXPECT_EQ(wait_child_exit(bridge, GUARD), 0);
    EXPECT_TRUE(board_full(board));
    EXPECT_EQ(board.grounded, prefix() == "gtp" ? 2 : 0);
    if (prefix() == "gtp")
        EXPECT_EQ(engine_moves, 3);
    else
        EXPECT_GT(engine_moves, 5);
}

INSTANTIATE_TEST_SUITE_P(Protocols, BridgeProgram, ::testing::Values("pointsai", "gtp"),
                         [](const auto& param) { return std::string(param.param); });

} // namespace
