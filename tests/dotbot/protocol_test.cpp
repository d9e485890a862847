// The built engines driven through the referee protocol over pipes, as the referee drives
// them: the name line, a legal answer to every "go", openings and relayed moves replayed
// with their captures, prompt exits, and lines that are no command. The rules core checks
// every move the engines make.
#include "board_diagram.h"
#include "child_process.h"
#include "engines/dotbot/fast_board.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/standard_bases.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The rules core's board, beside the engine's own.
Board core_board;

using namespace std::chrono_literals;

// Whether dotbot's note after a move has its form, "dotbot: P playouts, win W%, MS ms", with
// its milliseconds in ms.
bool read_note(const std::string& note, unsigned& ms) {
    unsigned playouts = 0;
    unsigned win = 0;
    int end = 0;
    return std::sscanf(note.c_str(), "dotbot: %u playouts, win %u%%, %u ms%n", &playouts, &win, &ms,
                       &end) == 3 &&
           static_cast<size_t>(end) == note.size();
}

// Generous: the machine may be busy; the engines answer in milliseconds here.
constexpr auto ANSWER_TIMEOUT = 20s;
// An exit that counts as prompt, against searches told to take an hour.
constexpr auto PROMPT = 60s;

// Fast, reproducible settings for dotbot.
const std::vector<std::string> QUICK = {"--threads", "2", "--seed", "7", "--playouts", "30"};
const std::vector<std::string> SLOW = {"--threads", "2",         "--movetime",
                                       "3600000",   "--maxtime", "3600000"};

class EngineProtocol : public ::testing::Test {
  protected:
    void TearDown() override { end_child(engine); }

    // Starts an engine and reads its name line.
    std::string start(const std::string& program, const std::vector<std::string>& arguments) {
        EXPECT_TRUE(start_child(engine, program, arguments));
        std::string name;
        EXPECT_TRUE(read_child_line(engine, name, ANSWER_TIMEOUT));
        writes_notes = name.rfind("dotbot", 0) == 0;
        return name;
    }

    void send(const std::string& text) { ASSERT_TRUE(write_to_child(engine, text)); }

    // The next line, failing the test when none comes.
    std::string next_line() {
        std::string line;
        EXPECT_TRUE(read_child_line(engine, line, ANSWER_TIMEOUT)) << "no line from the engine";
        return line;
    }

    // Asks for a move and returns the answer, a move or "ground"; dotbot's note after it is
    // checked and skipped.
    std::string ask(int64_t own = 10000, int64_t other = 0) {
        send("time " + std::to_string(own) + "\notime " + std::to_string(other) + "\ngo\n");
        const std::string line = next_line();
        if (writes_notes) {
            const std::string note = next_line();
            EXPECT_EQ(note.rfind("dotbot: ", 0), 0u) << note;
        }
        return line;
    }

    // Asks for a move and returns its point.
    std::pair<int32_t, int32_t> ask_move(int64_t own = 10000, int64_t other = 0) {
        const std::string line = ask(own, other);
        int x = -99;
        int y = -99;
        char rest = 0;
        EXPECT_EQ(std::sscanf(line.c_str(), "move %d %d%c", &x, &y, &rest), 2) << line;
        return {x, y};
    }

    ChildProcess engine;
    bool writes_notes = false;
};

std::string move_line(int32_t x, int32_t y) {
    return "move " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

TEST_F(EngineProtocol, NameLinesComeFirst) {
    EXPECT_EQ(start(DOTBOT_PATH, QUICK), "dotbot 1.0");
    end_child(engine);
    EXPECT_EQ(start(GREEDY_ENGINE_PATH, {"--seed", "1"}), "greedy");
}

TEST_F(EngineProtocol, BadCommandLineIsRefused) {
    ASSERT_TRUE(start_child(engine, DOTBOT_PATH, {"--threads", "0"}));
    EXPECT_EQ(wait_child_exit(engine, PROMPT), 2);
}

// The rules core referees under each rule set, on boards of several sizes: the engine
// answers every other move, a pseudo-random opponent makes the rest, which are relayed to
// it, until the board is full, the engine grounds (to win, or for a draw, never to lose
// while a point can take its dot) or enough turns went.
TEST_F(EngineProtocol, EveryGoGetsALegalAnswerUnderEveryRuleSet) {
    struct RulesCase {
        const char* rules;
        int32_t rows, cols;
        int turns;
    };
    const RulesCase cases[] = {
        {"fendrel", 32, 39, 80},
        {"standard", 9, 9, 50},
        {"standard,suicide=off", 7, 11, 50},
        {"standard,empty-bases=capture", 15, 15, 80},
        {"standard,suicide=off,empty-bases=capture", 64, 64, 40},
    };
    for (const RulesCase& c : cases) {
        for (const auto& [program, arguments] :
             std::vector<std::pair<std::string, std::vector<std::string>>>{
                 {DOTBOT_PATH, QUICK}, {GREEDY_ENGINE_PATH, {"--seed", "2"}}}) {
            SCOPED_TRACE(program + " " + c.rules);
            RuleSet rules;
            std::string error;
            ASSERT_TRUE(parse_rule_set(c.rules, rules, error)) << error;
            reset_rules_state(core_board, c.cols, c.rows, rules);
            start(program, arguments);
            send("new " + std::to_string(c.rows) + " " + std::to_string(c.cols) + "\n");
            if (rules.kind != RuleKind::fendrel)
                send("rules " + std::string(c.rules) + "\n");
            send("increment 10000\n");
            uint32_t random = 12345;
            for (int turn = 0; turn < c.turns && !board_full(core_board); ++turn) {
                const std::string answer = ask();
                if (answer == "ground") {
                    ASSERT_EQ(rules.kind, RuleKind::standard);
                    const int32_t side = core_board.side_to_move;
                    ground(core_board);
                    EXPECT_GE(side == 1 ? side1_balance(core_board) : -side1_balance(core_board),
                              0);
                    break;
                }
                int x = -99;
                int y = -99;
                ASSERT_EQ(std::sscanf(answer.c_str(), "move %d %d", &x, &y), 2) << answer;
                ASSERT_TRUE(is_legal_dot(core_board, x, y)) << "turn " << turn << ": " << answer;
                place_dot(core_board, cell_index(core_board, x, y));
                if (board_full(core_board))
                    break;
                // The opponent: a pseudo-random legal point near the engine's.
                int32_t ox = x;
                int32_t oy = y;
                for (int tries = 0; !is_legal_dot(core_board, ox, oy); ++tries) {
                    random = random * 1103515245u + 12345u;
                    const int32_t reach = 1 + tries / 16;
                    ox = x + static_cast<int32_t>((random >> 8) % (2 * reach + 1)) - reach;
                    oy = y + static_cast<int32_t>((random >> 20) % (2 * reach + 1)) - reach;
                }
                place_dot(core_board, cell_index(core_board, ox, oy));
                send(move_line(ox, oy));
            }
            end_child(engine);
        }
    }
}

TEST_F(EngineProtocol, PlaysASmallBoardToTheEnd) {
    // Both engines, each taking both sides of a whole game on a board of their own size.
    for (const auto& [program, arguments] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{
             {DOTBOT_PATH, QUICK}, {GREEDY_ENGINE_PATH, {"--seed", "3"}}}) {
        start(program, arguments);
        send("new 6 7\n");
        FastBoard referee;
        setup_board(referee, 6, 7);
        while (first_legal_cell(referee) >= 0) {
            const auto [x, y] = ask_move();
            const int32_t cell = point_cell(referee, x, y);
            ASSERT_TRUE(x >= 0 && x < 7 && cell >= 0 && can_take_dot(referee, cell))
                << program << ": " << x << "," << y;
            put_dot(referee, cell);
        }
        send("go\n");
        EXPECT_EQ(next_line(), "no free cell left");
        end_child(engine);
    }
}

TEST_F(EngineProtocol, OpeningsAreReplayedWithTheirCaptures) {
    // On a 3 x 3 board side 1 rings the empty centre. (0, 1) is sent as (5, 0), which the
    // referee's index arithmetic takes for the same point.
    const std::string opening =
        "new 3 3\nmove 1 0\nmove 0 0\nmove 5 0\nmove 2 0\nmove 2 1\nmove 0 2\nmove 1 2\n";
    // Under ours the ring encloses the centre: only (2, 2) is left.
    start(DOTBOT_PATH, QUICK);
    send(opening);
    EXPECT_EQ(ask_move(), std::make_pair(2, 2));
    send("go\n");
    EXPECT_EQ(next_line(), "no free cell left");
    end_child(engine);
    // Under the standard rules, here sent after the moves, which are replayed, the empty ring
    // captures nothing: side 2 keeps out of it, where its dot would be captured at once,
    // and side 1 fills it last.
    start(DOTBOT_PATH, QUICK);
    send(opening + "rules standard\n");
    EXPECT_EQ(ask_move(), std::make_pair(2, 2));
    EXPECT_EQ(ask_move(), std::make_pair(1, 1));
    send("go\n");
    EXPECT_EQ(next_line(), "no free cell left");
}

// Under the standard rules dotbot grounds as soon as that wins: side 1's ring has captured a
// dot on 7 x 7, and every dot of side 1 is linked to the edge. Under ours, or with the ring
// away from the edge (its four dots would be lost), it plays on.
TEST_F(EngineProtocol, GroundsWhenGroundingWinsTheGame) {
    const std::string edge_ring =
        "move 1 0\nmove 1 1\nmove 0 1\nmove 5 5\nmove 2 1\nmove 5 6\nmove 1 2\nmove 6 5\n";
    const std::string inner_ring =
        "move 3 2\nmove 3 3\nmove 2 3\nmove 5 5\nmove 4 3\nmove 5 6\nmove 3 4\nmove 6 5\n";
    for (const auto& [setup, grounds] : std::vector<std::pair<std::string, bool>>{
             {"new 7 7\nrules standard\n" + edge_ring, true},
             {"new 7 7\n" + edge_ring, false},
             {"new 7 7\nrules standard\n" + inner_ring, false}}) {
        start(DOTBOT_PATH, QUICK);
        send(setup);
        const std::string answer = ask();
        EXPECT_EQ(answer == "ground", grounds) << setup << answer;
        end_child(engine);
    }
}

TEST_F(EngineProtocol, MovesThatAreNotFreeAreIgnoredAndSaidSo) {
    start(DOTBOT_PATH, QUICK);
    send("new 3 3\nmove 1 1\nmove 1 1\n");
    EXPECT_EQ(next_line(), "ignored move 1 1: not free here");
    send("move 3 0\nmove 0 9\n"); // the right border, and beyond the last row
    EXPECT_EQ(next_line(), "ignored move 3 0: not free here");
    EXPECT_EQ(next_line(), "ignored move 0 9: not free here");
    // Eight answers, side 2's first, fill the board: no edge cell can be enclosed.
    for (int i = 0; i < 8; ++i)
        ask_move();
    send("go\n");
    EXPECT_EQ(next_line(), "no free cell left");
}

TEST_F(EngineProtocol, TakesAFreeCaptureAndBlocksOne) {
    // Side 1's dots at (5, 4), (4, 5) and (6, 5) around side 2's (5, 5): (5, 6) captures.
    const std::string threat = "move 5 4\nmove 5 5\nmove 4 5\nmove 20 20\nmove 6 5\n";
    for (const auto& [program, arguments] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{
             {DOTBOT_PATH, QUICK}, {GREEDY_ENGINE_PATH, {"--seed", "5"}}}) {
        start(program, arguments);
        send("new 32 39\n" + threat);
        EXPECT_EQ(ask_move(), std::make_pair(5, 6)) << program << " blocks";
        send("new 32 39\n" + threat + "move 30 20\n");
        EXPECT_EQ(ask_move(), std::make_pair(5, 6)) << program << " captures";
        end_child(engine);
    }
}

TEST_F(EngineProtocol, FirstDotOfAnEmptyBoardGoesNearTheCentre) {
    start(DOTBOT_PATH, QUICK);
    const auto [x, y] = ask_move();
    EXPECT_TRUE(x >= 17 && x <= 21 && y >= 14 && y <= 18) << x << "," << y;
}

TEST_F(EngineProtocol, WritesANoteOnItsSearchAfterEachMove) {
    start(DOTBOT_PATH, QUICK);
    send("time 10000\notime 0\ngo\n");
    EXPECT_EQ(next_line().rfind("move ", 0), 0u);
    const std::string note = next_line();
    unsigned ms = 0;
    EXPECT_TRUE(read_note(note, ms)) << note;
}

TEST_F(EngineProtocol, QuitEndsItAtOnceEvenWhileThinking) {
    start(DOTBOT_PATH, QUICK);
    send("quit\n");
    EXPECT_EQ(wait_child_exit(engine, PROMPT), 0);
    end_child(engine);

    // "quit" comes right behind "go", so it is read while the search runs.
    start(DOTBOT_PATH, SLOW);
    send("time 100000000\notime 0\ngo\nquit\n");
    EXPECT_EQ(wait_child_exit(engine, PROMPT), 0);
    std::string line;
    EXPECT_FALSE(read_child_line(engine, line, 100ms)) << "wrote after quit: " << line;
}

TEST_F(EngineProtocol, EndOfInputEndsItAtOnceEvenWhileThinking) {
    start(DOTBOT_PATH, QUICK);
    close_child_input(engine);
    EXPECT_EQ(wait_child_exit(engine, PROMPT), 0);
    end_child(engine);

    start(DOTBOT_PATH, SLOW);
    send("time 100000000\notime 0\ngo\n");
    close_child_input(engine);
    EXPECT_EQ(wait_child_exit(engine, PROMPT), 0);
}

TEST_F(EngineProtocol, LinesThatAreNoCommandAreIgnored) {
    start(DOTBOT_PATH, QUICK);
    send("hello\nMove 1 1\nmove 1\nmove\ngo now please\n");
    // "go now please" is a "go" with words after it: it is answered.
    const std::string answer = next_line();
    EXPECT_EQ(answer.rfind("move ", 0), 0u) << answer;
    EXPECT_EQ(next_line().rfind("dotbot: ", 0), 0u);
    send(std::string(100000, 'x') + "\n" + std::string("move 2\0 2\n", 10) +
         "\x01\x02\xff\xfe\n\n\t\n" + std::string(5000, ' ') + "go\n");
    send("new 0 5\nnew 100 100\nnew -1 -1\nnew 2 39\nrules nonsense\nrules "
         "standard,suicide=maybe\n");
    EXPECT_EQ(next_line(), "cannot play on 0 rows and 5 columns");
    EXPECT_EQ(next_line(), "cannot play on 100 rows and 100 columns");
    EXPECT_EQ(next_line(), "cannot play on -1 rows and -1 columns");
    EXPECT_EQ(next_line(), "cannot play on 2 rows and 39 columns");
    EXPECT_EQ(next_line(),
              "cannot play rules nonsense: unknown rule set \"nonsense\" (fendrel or standard)");
    EXPECT_EQ(next_line(),
              "cannot play rules standard,suicide=maybe: unknown rule option \"suicide=maybe\"");
    // Still the 32 x 39 board, with the one dot it played.
    reset_rules_state(core_board);
    int x = -1;
    int y = -1;
    ASSERT_EQ(std::sscanf(answer.c_str(), "move %d %d", &x, &y), 2);
    place_dot(core_board, cell_index(core_board, x, y));
    for (int i = 0; i < 5; ++i) {
        const auto [mx, my] = ask_move();
        ASSERT_TRUE(is_legal_dot(core_board, mx, my)) << mx << "," << my;
        place_dot(core_board, cell_index(core_board, mx, my));
    }
}

TEST_F(EngineProtocol, CarriageReturnLineEndsAreTolerated) {
    start(DOTBOT_PATH, QUICK);
    send("new 3 3\r\nmove 1 0\r\nmove 0 0\r\nmove 0 1\r\nmove 2 0\r\nmove 2 1\r\nmove 0 2\r\n"
         "move 1 2\r\ntime 100\r\notime 100\r\ngo\r\n");
    EXPECT_EQ(next_line(), "move 2 2");
}

TEST_F(EngineProtocol, AnswersWithinTheClock) {
    // A nearly empty clock: the answer comes within the answer timeout, although the search
    // was told to take an hour a move.
    start(DOTBOT_PATH, SLOW);
    send("new 32 39\nincrement 10\nmove 19 15\nmove 20 15\nmove 20 16\nmove 19 16\n");
    for (int turn = 0; turn < 5; ++turn)
        ask_move(12, 10);
}

TEST_F(EngineProtocol, MovetimeLineIsTheTimeOfEachMove) {
    // Without it the clock below gives 1.5 s a move (--maxtime's default); "movetime 200"
    // asks for 200 ms, and "movetime 2000" for more than --maxtime allows by itself.
    for (const int movetime : {200, 2000}) {
        start(DOTBOT_PATH, {"--threads", "1", "--seed", "7", "--maxtime", "1500"});
        send("new 32 39\nincrement 10000\nmovetime " + std::to_string(movetime) + "\n");
        send("time 30000\notime 0\ngo\n");
        EXPECT_EQ(next_line().rfind("move ", 0), 0u);
        const std::string note = next_line();
        unsigned ms = 0;
        ASSERT_TRUE(read_note(note, ms)) << note;
        EXPECT_GE(static_cast<int>(ms), movetime - 5) << note;
        EXPECT_LT(static_cast<int>(ms), movetime + 1000) << note;
        end_child(engine);
    }
}

} // namespace
