// Engines of other protocols in fendrel-match, through fendrel-bridge: whole games against
// dotbot and against each other with records as complete as the line protocol's, and every
// way such an engine fails lost with a reason that says how, with all it wrote in the log.
#include "match_program.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

class BridgedMatchTest : public MatchProgramTest {
  protected:
    // The foreign test engine in a protocol and a mode, played through the bridge.
    std::vector<std::string> foreign(const std::string& name, const std::string& protocol,
                                     const std::string& mode) {
        return engine(name, FOREIGN_ENGINE, {protocol, mode}) +
               std::vector<std::string>{"proto=" + protocol};
    }
    std::vector<std::string> dotbot() { return engine("dotbot", DOTBOT, {"--movetime", "1"}); }
    std::vector<std::string> random() { return engine("random", RANDOM_ENGINE); }
};

struct Pairing {
    const char* name;
    const char* protocol_a; // engine A, foreign
    const char* mode_a;
    const char* protocol_b;          // engine B: foreign, or "" for dotbot
    std::vector<std::string> in_log; // texts each game's log must hold
    // The rules; a gtp engine, the KataGo fork's stand-in, plays the standard ones, whose
    // empty bases captured play nearly as ours.
    std::vector<std::string> rules = {};
};

void PrintTo(const Pairing& pairing, std::ostream* out) {
    *out << pairing.name;
}

class PairingTest : public BridgedMatchTest, public ::testing::WithParamInterface<Pairing> {};

TEST_P(PairingTest, PlaysWholeGamesWithCompleteRecords) {
    const Pairing& pairing = GetParam();
    // A margin so long that no engine loses on time on a busy machine.
    const std::vector<std::string> b =
        *pairing.protocol_b ? foreign("b", pairing.protocol_b, "legal") : dotbot();
    const ProgramRun run =
        run_match(foreign("a", pairing.protocol_a, pairing.mode_a) + b +
                  std::vector<std::string>{"--games", "2", "--concurrency", "2", "--increment",
                                           "100", "--time-margin", "5000", "--results", "r.jsonl",
                                           "--sgf", "g.sgf", "--logs", "logs"} +
                  pairing.rules);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u) << run.err;
    for (const GameRecord& record : records) {
        SCOPED_TRACE(record.game);
        if (record.reason == REASON_GROUNDED) {
            // Under the standard rules dotbot (engine B) grounds once that wins it the game,
            // or for a draw when it sees the game lost; the grounding has its time after the
            // dots'.
            EXPECT_EQ(*pairing.protocol_b, '\0');
            EXPECT_EQ(record.grounded, 3 - record.a_side);
            EXPECT_NE(record.winner, record.a_side) << record.detail;
            EXPECT_EQ(record.move_ms.size(), record.dots.size() + 1);
        } else {
            EXPECT_EQ(record.reason, REASON_BOARD_FULL) << record.detail;
            // Every point was taken, by a dot or an enclosure, and each dot has its time.
            EXPECT_GT(record.dots.size(), 500u);
            EXPECT_EQ(record.move_ms.size(), record.dots.size());
        }
        EXPECT_GT(record.clock_ms[0] + record.clock_ms[1], 0u);
        EXPECT_GT(record.engines_cpu_ms, 0);
        const std::string log =
            file_text(path("logs") + "/game-" + std::to_string(record.game) + "/log.txt");
        for (const std::string& text : pairing.in_log)
            EXPECT_NE(log.find(text), std::string::npos) << text;
    }
    const std::string sgf = file_text(path("g.sgf"));
    size_t trees = 0;
    for (size_t at = sgf.find("(;"); at != std::string::npos; at = sgf.find("(;", at + 1))
        ++trees;
    EXPECT_EQ(trees, 2u);
    EXPECT_TRUE(nothing_left_behind());
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, PairingTest,
    ::testing::Values(Pairing{"pointsai_vs_dotbot",
                              "pointsai",
                              "legal",
                              "",
                              {"Foreign pointsai\n", "pointsai: = 1 name Foreign pointsai\n",
                               "pointsai: = 2 init\n"}},
                      Pairing{"gtp_vs_dotbot",
                              "gtp",
                              "legal",
                              "",
                              {"Foreign GTP\n", "gtp: =1 Foreign GTP\n"},
                              {"--rules", "standard,empty-bases=capture"}},
                      // Noise on standard error passes on whole: a long line in pieces, bytes that
                      // are no text, and text that no line feed ended, once the engine has quit.
                      Pairing{"pointsai_noise_vs_gtp",
                              "pointsai",
                              "noise",
                              "gtp",
                              {"pointsai stderr: " + std::string(1000, 'n') + "\n",
                               "pointsai stderr: \x01\xff\x80 move 1 1\n",
                               "pointsai stderr: no line feed\n", "gtp: =1 Foreign GTP\n"},
                              {"--rules", "standard,empty-bases=capture"}}),
    [](const auto& param) { return std::string(param.param.name); });

struct StandardGames {
    const char* name;
    std::vector<std::string> board; // --board, or none for the window's 39 x 32
    int32_t cols, rows;
    const char* a;      // engine A: "dotbot", or the gtp test engine's mode: "legal", "ground:N"
    const char* b;      // engine B: the same
    const char* reason; // how every game ends; "" for either end dotbot may choose
};

void PrintTo(const StandardGames& games, std::ostream* out) {
    *out << games.name;
}

class StandardGamesTest : public BridgedMatchTest,
                          public ::testing::WithParamInterface<StandardGames> {};

// Whole games under the standard rules from the cross, of dotbot and the gtp test engine
// (told the size and the rules by its bridge) against themselves and each other: they end
// as the rules say, on the match's board, and every game's record, its results line and its
// SGF alike, replays under fendrel-board show (where the tree has it) to the score it
// recorded.
TEST_P(StandardGamesTest, PlaysWholeGamesThatReplay) {
    const StandardGames& games = GetParam();
    const auto player = [&](const char* name, const std::string& choice) {
        return choice == "dotbot" ? engine(name, DOTBOT, {"--movetime", "1", "--threads", "1"})
                                  : foreign(name, "gtp", choice);
    };
    const ProgramRun run = run_match(
        player("a", games.a) + player("b", games.b) + games.board +
        std::vector<std::string>{"--rules", "standard", "--opening", "cross", "--games", "2",
                                 "--concurrency", "2", "--increment", "100", "--time-margin",
                                 "5000", "--results", "r.jsonl", "--sgf", "g.sgf"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u) << run.err;
    for (const GameRecord& record : records) {
        SCOPED_TRACE(record.game);
        if (*games.reason) {
            EXPECT_EQ(record.reason, games.reason) << record.detail;
        } else {
            EXPECT_TRUE(record.reason == REASON_BOARD_FULL || record.reason == REASON_GROUNDED)
                << record.reason << ": " << record.detail;
        }
        // A grounded game's last time is its grounding's.
        EXPECT_EQ(record.move_ms.size() + 4, static_cast<size_t>(record_moves(record)));
        EXPECT_EQ(record.board_cols, games.cols);
        EXPECT_EQ(record.board_rows, games.rows);
        EXPECT_EQ(rule_set_text(record.rules), "standard");
        EXPECT_EQ(record.opening_dots, 4);
        // The gtp test engine grounds after its fifth dot where told, or the game goes on
        // until the board is full; dotbot grounds only where that does not lose.
        const std::string a = games.a, b = games.b;
        if (a == "legal" && b == "legal") {
            EXPECT_GT(record.dots.size(), static_cast<size_t>(games.cols * games.rows / 3));
        } else if (a.rfind("ground:", 0) == 0) {
            EXPECT_EQ(record.grounded, record.a_side);
        } else if (record.grounded != 0) {
            EXPECT_NE(record.winner, 3 - record.grounded) << record.detail;
        }
#ifdef FENDREL_BOARD
        const std::string score = "Score: side 1 " + std::string(record.score > 0 ? "+" : "") +
                                  std::to_string(record.score) + " ";
        // The results file's games go by their numbers, the SGF's by their trees, which come
        // in the order the games ended.
        const std::string sgf = file_text(path("g.sgf"));
        const size_t named = sgf.find("GN[game " + std::to_string(record.game) + "]");
        ASSERT_NE(named, std::string::npos);
        size_t tree = 0;
        for (size_t at = sgf.find("(;"); at < named; at = sgf.find("(;", at + 1))
            ++tree;
        for (const auto& [file, game] :
             {std::pair{"r.jsonl", record.game}, std::pair{"g.sgf", static_cast<int>(tree) - 1}}) {
            const pid_t pid = start_program(
                {FENDREL_BOARD, "show", path(file), "--game", std::to_string(game)}, "show");
            const ProgramRun shown = wait_match(pid, "show", 10000);
            EXPECT_EQ(shown.status, 0) << file;
            EXPECT_EQ(shown.err, "") << file;
            EXPECT_NE(shown.out.find(score), std::string::npos) << file << "\n" << shown.out;
        }
#endif
    }
    EXPECT_TRUE(nothing_left_behind());
}

INSTANTIATE_TEST_SUITE_P(
    Boards, StandardGamesTest,
    ::testing::Values(
        StandardGames{"board_39x32", {}, 39, 32, "legal", "legal", REASON_BOARD_FULL},
        StandardGames{"board_10x8_grounded",
                      {"--board", "10x8"},
                      10,
                      8,
                      "ground:6",
                      "legal",
                      REASON_GROUNDED},
        StandardGames{"dotbot_39x32", {}, 39, 32, "dotbot", "dotbot", ""},
        StandardGames{"dotbot_10x10", {"--board", "10x10"}, 10, 10, "dotbot", "dotbot", ""},
        StandardGames{"dotbot_vs_gtp_39x32", {}, 39, 32, "dotbot", "legal", ""},
        StandardGames{"dotbot_vs_gtp_10x10", {"--board", "10x10"}, 10, 10, "dotbot", "legal", ""}),
    [](const auto& param) { return std::string(param.param.name); });

// Which part of a failure line quotes the engine's line that failed.
enum class Quote { nothing, all, after_colon };

struct BridgedFault {
    const char* protocol;
    const char* mode;
    const char* why; // how the detail goes on after "... engine failed: "
    Quote quote;
};

void PrintTo(const BridgedFault& fault, std::ostream* out) {
    *out << fault.protocol << " " << fault.mode;
}

class BridgedFaultTest : public BridgedMatchTest,
                         public ::testing::WithParamInterface<BridgedFault> {};

TEST_P(BridgedFaultTest, LosesBothGamesWithTheFailureInTheDetail) {
    const BridgedFault& fault = GetParam();
    // A margin so long that the bridge's own deadline, the clock and a second, comes first.
    // The KataGo fork's stand-in plays the standard rules, which it can be told.
    const std::vector<std::string> rules = std::string(fault.protocol) == "gtp"
                                               ? std::vector<std::string>{"--rules", "standard"}
                                               : std::vector<std::string>{};
    const ProgramRun run =
        run_match(foreign("foreign", fault.protocol, fault.mode) + random() +
                  std::vector<std::string>{"--games", "2", "--concurrency", "2", "--increment",
                                           "100", "--time-margin", "5000", "--results", "r.jsonl",
                                           "--logs", "logs"} +
                  rules);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u) << run.err;
    const std::string failed = std::string(fault.protocol) + " engine failed: " + fault.why;
    for (const GameRecord& record : records) {
        SCOPED_TRACE(record.game);
        EXPECT_EQ(*loser_name(record), "foreign");
        EXPECT_EQ(record.reason, REASON_CRASH);
        EXPECT_EQ(record.detail.rfind("exited with code 1; its last line: " + failed, 0), 0u)
            << record.detail;
        // The log holds the failure line, and before it the engine's line it quotes.
        const std::string log =
            file_text(path("logs") + "/game-" + std::to_string(record.game) + "/log.txt");
        const size_t line = log.rfind(failed);
        ASSERT_NE(line, std::string::npos) << log;
        const size_t cause = line + failed.size() - std::strlen(fault.why);
        std::string quoted = log.substr(cause, log.find('\n', cause) - cause);
        if (fault.quote == Quote::nothing)
            continue;
        if (fault.quote == Quote::after_colon)
            quoted.erase(0, quoted.find(": ") + 2);
        const size_t echo = log.find(std::string(fault.protocol) + ": " + quoted + "\n");
        EXPECT_LT(echo, line) << quoted;
    }
    EXPECT_TRUE(nothing_left_behind());
}

// Every mode in both protocols.
std::vector<BridgedFault> every_fault() {
    const BridgedFault modes[] = {
        {"", "refuse", "?", Quote::all},
        {"", "wrong-id", "an answer for another id", Quote::after_colon},
        {"", "wrong-shape", "an answer of the wrong shape", Quote::after_colon},
        {"", "silent", "no answer in time", Quote::nothing},
        {"", "off-board", "a move off the board", Quote::after_colon},
        {"", "illegal", "an illegal move", Quote::after_colon},
        {"", "exit", "its output ended", Quote::nothing}};
    std::vector<BridgedFault> faults;
    for (const char* protocol : {"pointsai", "gtp"}) {
        for (BridgedFault fault : modes) {
            fault.protocol = protocol;
            faults.push_back(fault);
        }
    }
    return faults;
}

INSTANTIATE_TEST_SUITE_P(Modes, BridgedFaultTest, ::testing::ValuesIn(every_fault()),
                         [](const auto& param) {
                             std::string name =
                                 std::string(param.param.protocol) + "_" + param.param.mode;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// fendrel-bridge by itself: it ends when its input ends, and leaves no engine behind.
class BridgeProgramTest : public BridgedMatchTest {
  protected:
    // Runs the bridge with its input at its end from the start.
    ProgramRun run_bridge(const std::vector<std::string>& words) {
        const pid_t pid = start_program(words, "bridge");
        EXPECT_GT(pid, 0);
        return pid > 0 ? wait_match(pid, "bridge", 10000) : ProgramRun{};
    }
    std::string copy_of(const char* program) { return engine("x", program)[2].substr(4); }
};

TEST_F(BridgeProgramTest, QuitsTheEngineWhenItsInputEndsAndPassesOnItsAnswer) {
    const ProgramRun run =
        run_bridge({FENDREL_BRIDGE, "pointsai", "--", copy_of(FOREIGN_ENGINE), "pointsai"});
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
    EXPECT_EQ(run.out, "Foreign pointsai\npointsai: = 1 name Foreign pointsai\n"
                       "pointsai: = 2 quit\n");
    EXPECT_TRUE(nothing_left_behind());
}

TEST_F(BridgeProgramTest, KillsAnEngineThatDoesNotQuit) {
    const ProgramRun run =
        run_bridge({FENDREL_BRIDGE, "gtp", "--", copy_of(FOREIGN_ENGINE), "gtp", "deaf"});
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
    EXPECT_EQ(run.out, "gtp engine\n"); // a stand-in for the name it never gave
    EXPECT_TRUE(nothing_left_behind());
}

TEST_F(BridgeProgramTest, SaysWhenTheEngineCannotStart) {
    const ProgramRun run = run_bridge({FENDREL_BRIDGE, "gtp", "--", path("no-such-engine")});
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 1) << run.status;
    EXPECT_EQ(run.out,
              "gtp engine\ngtp engine failed: cannot start " + path("no-such-engine") + "\n");
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{FENDREL_BRIDGE, "uci", "--", "x"},
          std::vector<std::string>{FENDREL_BRIDGE, "gtp", "x"}}) {
        const ProgramRun usage = run_bridge(wrong);
        EXPECT_TRUE(WIFEXITED(usage.status) && WEXITSTATUS(usage.status) == 2) << usage.status;
        EXPECT_NE(usage.err.find("usage: fendrel-bridge"), std::string::npos);
    }
}

// As a window program starts it: Engine1.exe without arguments, its words in Engine1.bridge.
TEST_F(BridgeProgramTest, TakesItsWordsFromTheFileBesideItWithoutArguments) {
    std::filesystem::copy_file(FENDREL_BRIDGE, path("Engine1.exe"));
    std::ofstream(path("Engine1.bridge")) << "--nearest-rules\r\ngtp\r\n--\r\n"
                                          << copy_of(FOREIGN_ENGINE) << "\r\ngtp\r\n";
    const ProgramRun run = run_bridge({path("Engine1.exe")});
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.err;
    EXPECT_EQ(run.out.rfind("Foreign GTP\n", 0), 0u) << run.out;
    EXPECT_TRUE(nothing_left_behind());
}

} // namespace
