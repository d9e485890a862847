// Engines that abuse their pipes in ways that are not faults of the game: one that never
// reads, a line of exactly 4095 bytes, refusals from both at once, a child left holding the
// pipes. The match plays on, every move is recorded, and nothing is left running.
#include "match_program.h"

#include "rules/board.h"

namespace {

const std::vector<std::string> TWO_GAMES = {"--games",   "2",       "--concurrency", "2",
                                            "--results", "r.jsonl", "--logs",        "logs"};

TEST_F(MatchProgramTest, EnginesThatNeverReadPlayEveryMoveToAFullBoard) {
    const ProgramRun run = run_match(engine("deaf-a", CHAOS_ENGINE, {"deaf-mover"}) +
                                     engine("deaf-b", CHAOS_ENGINE, {"deaf-mover"}) + TWO_GAMES);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u) << run.err;
    for (const GameRecord& record : records) {
        EXPECT_EQ(record.reason, REASON_BOARD_FULL) << record.game << ": " << record.detail;
        EXPECT_EQ(record.winner, 0) << record.game;
        EXPECT_EQ(record.dots.size(), static_cast<size_t>(FENDREL_COLS * FENDREL_ROWS));
    }
    EXPECT_TRUE(nothing_left_behind());
}

TEST_F(MatchProgramTest, RefusalsFromBothEnginesLoseEachGameForOneOfThem) {
    // Both break the rules from their first line on: whichever the judge hears first loses.
    const ProgramRun run = run_match(engine("storm-a", CHAOS_ENGINE, {"refuse-storm"}) +
                                     engine("storm-b", CHAOS_ENGINE, {"refuse-storm"}) + TWO_GAMES);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u) << run.err;
    for (const GameRecord& record : records) {
        EXPECT_NE(loser_name(record), nullptr) << record.game;
        EXPECT_TRUE(record.reason == std::string(REASON_ILLEGAL) ||
                    record.reason == std::string(REASON_OUT_OF_TURN))
            << record.game << ": " << record.reason << ", " << record.detail;
    }
    EXPECT_TRUE(nothing_left_behind());
}

// Whether the log holds the line after a line end and before its own: the line fills the
// reader's buffer, so its line feed comes in a read of its own, and whole lines the other
// engine wrote in the meantime (its name, its first move) may be logged between the two.
bool holds_line_whole(const std::string& log, const std::string& line) {
    size_t at = log.find('\n' + line);
    if (at == std::string::npos)
        return false;
    at += 1 + line.size();
    for (;;) {
        const size_t end = log.find('\n', at);
        if (end == at)
            return true;
        const std::string between = log.substr(at, end - at);
        if (end == std::string::npos || (between != "Random" && between.rfind("move ", 0) != 0))
            return false;
        at = end + 1;
    }
}

TEST_F(MatchProgramTest, ALineOf4095BytesIsLoggedWholeAndTheGamePlaysOn) {
    const ProgramRun run = run_match(engine("long", CHAOS_ENGINE, {"line-4095"}) +
                                     engine("random", RANDOM_ENGINE) + TWO_GAMES);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u) << run.err;
    for (const GameRecord& record : records) {
        EXPECT_EQ(record.reason, REASON_BOARD_FULL) << record.game << ": " << record.detail;
        const std::string log =
            file_text(path("logs/game-" + std::to_string(record.game) + "/log.txt"));
        EXPECT_TRUE(holds_line_whole(log, std::string(4095, 'L'))) << record.game;
    }
    EXPECT_TRUE(nothing_left_behind());
}

TEST_F(MatchProgramTest, AnEngineThatLeavesAChildHoldingItsPipesLosesAndTheChildIsEnded) {
    const ProgramRun run = run_match(engine("parent", CHAOS_ENGINE, {"spawns-child"}) +
                                     engine("random", RANDOM_ENGINE) + TWO_GAMES +
                                     std::vector<std::string>{"--increment", "100"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u) << run.err;
    for (const GameRecord& record : records) {
        EXPECT_EQ(*loser_name(record), "parent") << record.game;
        // Its output stays open in the child, so it is not seen to end: it never moves.
        EXPECT_EQ(record.reason, REASON_TIME) << record.game << ": " << record.detail;
    }
    EXPECT_TRUE(nothing_left_behind());
}

} // namespace
