// Tournaments of more than two engines through the built fendrel-match: every pairing's
// games in the order of the schedule, one opening a round, time odds and --each, play-one of
// a tournament's game, and a run killed mid-tournament that the same command finishes with
// every game exactly once.
#include "match/runner/schedule.h"
#include "match/stats/summary.h"
#include "match_program.h"
#include "records/results_file.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

namespace {

class TournamentTest : public MatchProgramTest {
  protected:
    // Copies of the random engine with seeds of their own.
    std::vector<std::string> random_engines(std::initializer_list<const char*> names) {
        std::vector<std::string> words;
        int seed = 10;
        for (const char* name : names) {
            std::filesystem::copy_file(RANDOM_ENGINE, path(name));
            std::ofstream(path(name) + ".seed") << ++seed;
            words = words + engine(name, path(name));
        }
        return words;
    }

    // Waits until no process of the test runs (at most a minute, a guard against a hang).
    void wait_for_processes_to_end() {
        for (int i = 0; i < 12000 && !test_processes().empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
};

// The engines each game of the options' schedule must have, as side 1 and side 2.
std::pair<std::string, std::string> scheduled_sides(const MatchOptions& options, int game) {
    const ScheduledGame scheduled = scheduled_game(options, game);
    const std::string& a = options.engines[static_cast<size_t>(scheduled.pairing.first)].name;
    const std::string& b = options.engines[static_cast<size_t>(scheduled.pairing.second)].name;
    return scheduled.a_side == 1 ? std::pair{a, b} : std::pair{b, a};
}

MatchOptions field_of(std::initializer_list<const char*> names, Tournament tournament) {
    MatchOptions options;
    for (const char* name : names) {
        options.engines.emplace_back();
        options.engines.back().name = name;
    }
    options.tournament = tournament;
    return options;
}

TEST_F(TournamentTest, GauntletWithTimeOddsPlaysTheScheduleOneOpeningARound) {
    const ProgramRun run = run_match(
        random_engines({"a", "b", "c", "d"}) +
        std::vector<std::string>{"--tournament", "gauntlet", "--rounds", "2", "--opening",
                                 "random:4", "--increment", "700", "--concurrency", "2",
                                 "--results", "r.jsonl", "--each", "increment=900", "--anchor",
                                 "a=1500", "--ratings-json", "r.json"} +
        std::vector<std::string>{"--engine", "name=e", "cmd=" + path("a"), "increment=300"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<GameRecord> games;
    std::string error;
    ASSERT_TRUE(unique_games(read_records("r.jsonl"), games, error)) << error;
    const MatchOptions field = field_of({"a", "b", "c", "d", "e"}, Tournament::gauntlet);
    ASSERT_EQ(games.size(), 16u);
    std::map<int, std::vector<Dot>> round_opening;
    for (const GameRecord& record : games) {
        EXPECT_EQ(std::pair(record.side1, record.side2), scheduled_sides(field, record.game))
            << record.game;
        // Every engine's own increment: --each's, but e's own.
        EXPECT_EQ(record.increment_ms[0], record.side1 == "e" ? 300u : 900u) << record.game;
        EXPECT_EQ(record.increment_ms[1], record.side2 == "e" ? 300u : 900u) << record.game;
        const std::vector<Dot> opening(record.dots.begin(), record.dots.begin() + 4);
        const int round = scheduled_game(field, record.game).round;
        if (round_opening.count(round)) {
            EXPECT_EQ(opening, round_opening[round]) << record.game;
        }
        round_opening[round] = opening;
    }
    EXPECT_NE(round_opening[0], round_opening[1]);
    // The output ends with the field's rating list and crosstable on the anchor's scale, as
    // merge prints them; the same as JSON for other tools.
    const std::string summary = summary_part(run.out);
    EXPECT_EQ(summary,
              match_summary_text(games, SprtSpec{}, {"a", 1500}, {"a", "b", "c", "d", "e"}));
    EXPECT_EQ(summary.rfind("Ratings: 5 engines, 16 games; Elo of a fixed at 1500.0", 0), 0u)
        << summary;
    const ProgramRun merged = run_match({"merge", "r.jsonl", "--anchor", "a=1500"});
    EXPECT_EQ(merged.out, summary) << merged.err;
    EXPECT_NE(file_text(path("r.json")).find("\"anchor\":{\"engine\":\"a\",\"elo\":1500.0}"),
              std::string::npos)
        << file_text(path("r.json"));
    EXPECT_TRUE(nothing_left_behind());
}

TEST_F(TournamentTest, PlayOneOfATournamentPlaysItsScheduledGame) {
    const std::vector<std::string> field = random_engines({"x", "y", "z"});
    const ProgramRun run = run_match(std::vector<std::string>{"play-one", "--game", "5"} + field);
    ASSERT_EQ(run.status, 0) << run.err;
    GameRecord record;
    ASSERT_TRUE(record_from_json(run.out.substr(0, run.out.find('\n')), record)) << run.out;
    EXPECT_EQ(std::pair(record.side1, record.side2),
              scheduled_sides(field_of({"x", "y", "z"}, Tournament::round_robin), 5));
    EXPECT_TRUE(nothing_left_behind());
}

TEST_F(TournamentTest, KilledMidTournamentTheSameCommandPlaysEachGameOnce) {
    // The stalling engine's games last a second each: the kill comes while they are played.
    const std::vector<std::string> match =
        engine("stall", CHAOS_ENGINE, {"stall"}) + random_engines({"r1", "r2"}) +
        std::vector<std::string>{
            "--rounds",        "2", "--concurrency", "2",      "--no-time-forfeit",
            "--stall-timeout", "1", "--results",     "r.jsonl"};
    const pid_t first = start_match(match, "first");
    wait_for_text("r.jsonl", "\n");
    kill(first, SIGKILL);
    wait_match(first, "first", 60000);
    const size_t before = read_records("r.jsonl").size();
    EXPECT_LT(before, 12u);
    // The killed run's workers finish their games unheard; none of theirs is recorded.
    wait_for_processes_to_end();

    const ProgramRun resumed = run_match(match);
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    std::vector<GameRecord> games;
    std::string error;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_TRUE(unique_games(records, games, error)) << error;
    EXPECT_EQ(records.size(), 12u);
    EXPECT_EQ(games.size(), 12u);
    const MatchOptions field = field_of({"stall", "r1", "r2"}, Tournament::round_robin);
    for (const GameRecord& record : games)
        EXPECT_EQ(std::pair(record.side1, record.side2), scheduled_sides(field, record.game))
            << record.game;
    EXPECT_NE(resumed.out.find("Played " + std::to_string(12 - before) + " games"),
              std::string::npos)
        << resumed.out;
    EXPECT_TRUE(nothing_left_behind());
}

} // namespace
