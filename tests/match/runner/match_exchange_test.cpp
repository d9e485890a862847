// What --logs keeps besides log.txt: each game's exchange log, every line both ways with its
// moment, side, engine and direction, and a bridged engine's own exchange with its bridge;
// with it, each engine's environment (env=), its fixed move time (movetime=) and its own CPU
// time, as the records and the exchange log show them.
#include "match_program.h"
#include "records/game_record.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

namespace {

// One line of an exchange log.
struct ExchangeLine {
    double ms = 0;
    std::string mark; // ">", "<", ">>", "<<"
    std::string name;
    int side = 0;
    std::string qualifier; // "", "dropped", "stderr"
    std::string text;
};

// The lines of an exchange log; a line that does not have its form fails the test.
std::vector<ExchangeLine> exchange_lines(const std::string& log) {
    static const std::regex form(
        R"(([0-9]+\.[0-9]{3}) (>>|<<|>|<)(.*)\(([12])\)( dropped| stderr)?: (.*))");
    std::vector<ExchangeLine> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        std::smatch parts;
        if (!std::regex_match(line, parts, form)) {
            ADD_FAILURE() << "not a line of the exchange log: " << line;
            continue;
        }
        const std::string qualifier = parts[5];
        lines.push_back({std::stod(parts[1]), parts[2], parts[3], std::stoi(parts[4]),
                         qualifier.empty() ? "" : qualifier.substr(1), parts[6]});
    }
    return lines;
}

std::string move_text(const Dot& dot) {
    return "move " + std::to_string(dot.x) + " " + std::to_string(dot.y);
}

// Whether each side's clock at the end is the increments it was credited less the times of
// its moves; every game here is played to a full board, so a side is credited once a move.
bool times_add_up(const GameRecord& record, uint32_t increment) {
    int64_t left[2] = {0, 0};
    for (size_t i = 0; i < record.move_ms.size(); ++i)
        left[(static_cast<size_t>(record.opening_dots) + i) % 2] +=
            int64_t{increment} - record.move_ms[i];
    return record.clock_ms[0] == left[0] && record.clock_ms[1] == left[1];
}

using MatchLogsTest = MatchProgramTest;

TEST_F(MatchLogsTest, EachGameKeepsEveryLineBothWaysBesideItsLog) {
    const ProgramRun run =
        run_match(engine("quick1", RANDOM_ENGINE) + engine("quick2", RANDOM_ENGINE) +
                  std::vector<std::string>{"--games", "2", "--opening", "random:3", "--increment",
                                           "1000", "--results", "r.jsonl", "--logs", "logs"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u);
    for (const GameRecord& record : records) {
        SCOPED_TRACE(record.game);
        const std::string game_folder = path("logs") + "/game-" + std::to_string(record.game);
        // log.txt keeps what the engines wrote, as it always did.
        EXPECT_EQ(file_text(game_folder + "/log.txt").rfind("Random\n", 0), 0u);
        const std::vector<ExchangeLine> lines =
            exchange_lines(file_text(game_folder + "/exchange.txt"));
        ASSERT_GT(lines.size(), 4 * record.dots.size());
        const std::string names[2] = {record.side1, record.side2};
        // What each side was sent and wrote, in order; the moments only go forward.
        std::vector<std::string> sent[2];
        std::vector<std::string> wrote[2];
        double last = 0;
        for (const ExchangeLine& line : lines) {
            EXPECT_GE(line.ms, last);
            last = line.ms;
            EXPECT_EQ(line.name, names[line.side - 1]);
            EXPECT_EQ(line.qualifier, "");
            (line.mark == ">" ? sent : wrote)[line.side - 1].push_back(line.text);
        }
        // Set-up, the opening, and each move of the other side with a clock block; each
        // side's own moves and nothing else after its name; quit at the end.
        std::vector<std::string> expected_sent[2];
        std::vector<std::string> expected_wrote[2] = {{"Random"}, {"Random"}};
        for (auto& lines_to : expected_sent) {
            lines_to = {"new 32 39", "increment 1000"};
            for (int i = 0; i < record.opening_dots; ++i)
                lines_to.push_back(move_text(record.dots[static_cast<size_t>(i)]));
        }
        const size_t first_mover = static_cast<size_t>(record.opening_dots) % 2;
        for (size_t i = static_cast<size_t>(record.opening_dots); i <= record.dots.size(); ++i) {
            const size_t mover = i % 2;
            if (i > static_cast<size_t>(record.opening_dots))
                expected_sent[mover].push_back(move_text(record.dots[i - 1]));
            if (i == record.dots.size())
                break;
            for (const char* clock : {"time", "otime", "go"})
                expected_sent[mover].push_back(clock);
            expected_wrote[mover].push_back(move_text(record.dots[i]));
        }
        // The last move is not relayed: the game is over.
        expected_sent[record.dots.size() % 2].pop_back();
        for (size_t side = 0; side < 2; ++side) {
            expected_sent[side].push_back("quit");
            std::vector<std::string> shown = sent[side];
            // The clock block's numbers are the clocks' business.
            for (std::string& text : shown)
                if (text.rfind("time ", 0) == 0 || text.rfind("otime ", 0) == 0)
                    text.erase(text.find(' '));
            EXPECT_EQ(shown, expected_sent[side]) << "side " << side + 1;
            EXPECT_EQ(wrote[side], expected_wrote[side]) << "side " << side + 1;
        }
        // Side 2 is set up first.
        EXPECT_EQ(std::find_if(lines.begin(), lines.end(),
                               [](const ExchangeLine& line) { return line.mark == ">"; })
                      ->side,
                  2);
        EXPECT_EQ(sent[first_mover].at(2 + static_cast<size_t>(record.opening_dots)), "time 1000");
        EXPECT_TRUE(times_add_up(record, 1000));
    }
}

TEST_F(MatchLogsTest, BridgedEngineGetsItsMoveTimeAndEnvironmentAsTheLogShows) {
    // Each engine says what its environment holds: the bridged one on its standard error,
    // which reaches the exchange log through the bridge, the other in its name line.
    const std::string foreign = engine("unused", FOREIGN_ENGINE)[2].substr(4);
    const std::string random = engine("unused", RANDOM_ENGINE)[2].substr(4);
    const std::string say = "echo \"setting=$FENDREL_TEST_SETTING\"";
    const std::vector<std::string> bridged = {"--engine",
                                              "name=pai",
                                              "cmd=/bin/sh",
                                              "arg=-c",
                                              "arg=" + say + " >&2; exec '" + foreign +
                                                  "' pointsai",
                                              "proto=pointsai",
                                              "movetime=100",
                                              "env=FENDREL_TEST_SETTING=on"};
    const std::vector<std::string> other = {"--engine", "name=other", "cmd=/bin/sh", "arg=-c",
                                            "arg=" + say + "; exec '" + random + "'"};
    const ProgramRun run =
        run_match(bridged + other +
                  std::vector<std::string>{"--games", "2", "--concurrency", "2", "--increment",
                                           "100", "--time-margin", "5000", "--results", "r.jsonl",
                                           "--logs", "logs"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 2u);
    for (const GameRecord& record : records) {
        SCOPED_TRACE(record.game);
        EXPECT_EQ(record.reason, REASON_BOARD_FULL) << record.detail;
        EXPECT_TRUE(times_add_up(record, 100));
        const int pai = record.a_side;
        const std::string game_folder = path("logs") + "/game-" + std::to_string(record.game);
        // The bridge's side file went into the log.
        EXPECT_FALSE(std::filesystem::exists(game_folder + "/exchange-bridge" +
                                             std::to_string(pai) + ".txt"));
        const std::vector<ExchangeLine> lines =
            exchange_lines(file_text(game_folder + "/exchange.txt"));
        int asked = 0;
        int moves = 0;
        bool said_setting = false;
        bool movetime_sent = false;
        // Between the referee's "go" and the engine's move, the bridge asked its engine for
        // exactly 100 ms.
        enum { waiting, going, generating } state = waiting;
        for (const ExchangeLine& line : lines) {
            if (line.side != pai) {
                if (line.mark == "<" && line.text.rfind("setting=", 0) == 0) {
                    EXPECT_EQ(line.text, "setting=") << "the other engine's environment";
                }
                EXPECT_NE(line.text, "movetime 100");
                continue;
            }
            EXPECT_EQ(line.name, "pai");
            said_setting = said_setting || (line.mark == "<<" && line.qualifier == "stderr" &&
                                            line.text == "setting=on");
            movetime_sent = movetime_sent || (line.mark == ">" && line.text == "movetime 100");
            if (line.mark == ">" && line.text == "go") {
                EXPECT_EQ(state, waiting);
                state = going;
            } else if (line.mark == ">>" &&
                       line.text.find(" gen_move_with_time ") != std::string::npos) {
                EXPECT_EQ(state, going);
                EXPECT_TRUE(
                    std::regex_match(line.text, std::regex("[0-9]+ gen_move_with_time [01] 100")))
                    << line.text;
                ++asked;
                state = generating;
            } else if (line.mark == "<" && line.text.rfind("move ", 0) == 0) {
                EXPECT_EQ(state, generating);
                ++moves;
                state = waiting;
            }
        }
        EXPECT_TRUE(said_setting);
        EXPECT_TRUE(movetime_sent);
        EXPECT_EQ(asked, moves);
        EXPECT_EQ(moves, static_cast<int>(record.dots.size() + (pai == 1 ? 1 : 0)) / 2);
    }
    EXPECT_TRUE(nothing_left_behind());
}

TEST_F(MatchLogsTest, EachSideHasItsOwnCpuTime) {
    // dotbot thinks 3 ms a move, on one thread; the random engine next to nothing.
    const ProgramRun run =
        run_match(engine("dotbot", DOTBOT, {"--threads", "1"}) +
                  std::vector<std::string>{"movetime=3"} + engine("random", RANDOM_ENGINE) +
                  std::vector<std::string>{"--games", "1", "--increment", "100", "--time-margin",
                                           "5000", "--results", "r.jsonl", "--logs", "logs"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<GameRecord> records = read_records("r.jsonl");
    ASSERT_EQ(records.size(), 1u);
    const GameRecord& record = records[0];
    ASSERT_TRUE(has_side_cpu(record));
    EXPECT_GT(record.side_cpu_ms[0], 500) << record_to_json(record).substr(0, 200);
    EXPECT_LT(record.side_cpu_ms[1] * 4, record.side_cpu_ms[0]);
    EXPECT_EQ(record.engines_cpu_ms, record.side_cpu_ms[0] + record.side_cpu_ms[1]);
    EXPECT_GT(record.referee_cpu_ms, 0);
    // The summary's cost line gives each engine's, by name.
    const std::regex costs("CPU: referee [0-9.]+ s, engines [0-9.]+ s \\(referee [0-9.]+ %; "
                           "dotbot ([0-9.]+) s, random ([0-9.]+) s\\)\n");
    std::smatch parts;
    ASSERT_TRUE(std::regex_search(run.out, parts, costs)) << run.out;
    EXPECT_GT(std::stod(parts[1]), std::stod(parts[2]));
    // dotbot was sent its move time after the increment.
    const std::string log = file_text(path("logs") + "/game-0/exchange.txt");
    EXPECT_NE(log.find(" >dotbot(1): increment 100\n"), std::string::npos);
    EXPECT_NE(log.find(" >dotbot(1): movetime 3\n"), std::string::npos);
    EXPECT_EQ(log.find(" >random(2): movetime"), std::string::npos);
}

} // namespace
