// Engines that break the rules or the protocol lose with the right reason, the match goes on
// to its end, and nothing that the match started is left running.
#include "match_program.h"

namespace {

struct Fault {
    const char* mode;   // the chaos engine's mode
    const char* reason; // why it must lose
    std::vector<std::string> options;
};

// Names the case by its mode in test output.
void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.mode << " loses by " << fault.reason;
}

// The time a turn may run past the clock before it is lost, and the stall timeout: so long
// that the random engine never loses by either, however busy the machine.
const char* const TURN_MARGIN_MS = "5000";
const char* const STALL_TIMEOUT_S = "5";

class FaultTest : public MatchProgramTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(FaultTest, ChaosEngineLosesBothGamesWithTheReason) {
    const Fault& fault = GetParam();
    const ProgramRun run = run_match(
        engine("chaos", CHAOS_ENGINE, {fault.mode}) + engine("random", RANDOM_ENGINE) +
        std::vector<std::string>{"--games", "2", "--concurrency", "2", "--increment", "100",
                                 "--time-margin", TURN_MARGIN_MS, "--results", "r.jsonl"} +
        fault.options);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u) << run.err;
    for (const GameRecord& record : records) {
        EXPECT_EQ(*loser_name(record), "chaos") << record.game;
        EXPECT_EQ(record.reason, fault.reason) << record.game << ": " << record.detail;
    }
    EXPECT_NE(run.out.find("Score of chaos vs random: 0 - 2 - 0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(std::string("chaos lost 2: ") + fault.reason + " 2\n"),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(nothing_left_behind());
}

const std::vector<std::string> STALL = {"--no-time-forfeit", "--stall-timeout", STALL_TIMEOUT_S};

INSTANTIATE_TEST_SUITE_P(
    Modes, FaultTest,
    ::testing::Values(Fault{"exit-now", REASON_CRASH, {}},      // crash at start
                      Fault{"exit-mid-game", REASON_CRASH, {}}, // crash when asked to move
                      Fault{"stall", REASON_STALL, STALL},      // never moves, no time loss
                      Fault{"stall", REASON_TIME, {}},          // never moves
                      Fault{"huge", REASON_TIME, {}},           // 10 MiB without a line feed
                      Fault{"deaf", REASON_TIME, {}},           // never reads, never quits
                      Fault{"out-of-turn", REASON_OUT_OF_TURN, {}},
                      Fault{"illegal", REASON_ILLEGAL, {}},
                      // Grounds at once: its cross in the centre, linked to no edge, is lost.
                      Fault{
                          "ground", REASON_GROUNDED, {"--rules", "standard", "--opening", "cross"}},
                      // Under our rules "ground" is a message, and the engine never moves.
                      Fault{"ground", REASON_TIME, {}}),
    [](const ::testing::TestParamInfo<Fault>& param) {
        std::string name = std::string(param.param.mode) + "_" + param.param.reason;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(MatchProgramTest, ProgramThatCannotStartStopsTheMatchBeforeAnyGame) {
    // A mistyped path is the user's mistake, not the engine's: no match of forfeits.
    for (const std::vector<std::string>& first :
         {std::vector<std::string>{}, std::vector<std::string>{"play-one", "--game", "0"}}) {
        const ProgramRun run = run_match(first + engine("missing", path("no-such-engine")) +
                                         engine("random", RANDOM_ENGINE) +
                                         std::vector<std::string>{"--results", "r.jsonl"});
        EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 2);
        EXPECT_NE(run.err.find("engine missing: cannot run"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const ProgramRun no_folder = run_match(
        engine("random", RANDOM_ENGINE) +
        std::vector<std::string>{"--engine", "name=b", "cmd=" + std::string(RANDOM_ENGINE),
                                 "dir=" + path("none")});
    EXPECT_NE(no_folder.err.find("engine b: no directory"), std::string::npos) << no_folder.err;
}

} // namespace
