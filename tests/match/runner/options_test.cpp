// The command line: engines with their key=value words, every option's range, and the
// fingerprint that keeps results of different matches apart.
#include "match/runner/options.h"
#include "match/runner/schedule.h"
#include "records/fingerprint.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The words of a command line.
std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

const std::string TWO_ENGINES = "--engine name=A cmd=./a arg=-x arg=y=z dir=/tmp "
                                "--engine name=B cmd=b ";

TEST(OptionsTest, DefaultsWithTwoEngines) {
    MatchOptions options;
    std::string error;
    ASSERT_TRUE(parse_match_options(words(TWO_ENGINES), options, error)) << error;
    EXPECT_EQ(options.engines[0].name, "A");
    EXPECT_EQ(options.engines[0].command, "./a");
    EXPECT_EQ(options.engines[0].arguments, (std::vector<std::string>{"-x", "y=z"}));
    EXPECT_EQ(options.engines[0].directory, "/tmp");
    EXPECT_EQ(options.engines[1].command, "b");
    EXPECT_TRUE(options.engines[1].arguments.empty());
    EXPECT_EQ(options.engines[1].protocol, "line");
    EXPECT_TRUE(options.engines[0].environment.empty());
    EXPECT_EQ(options.engines[0].movetime_ms, 0u);
    EXPECT_EQ(options.engines.size(), 2u);
    EXPECT_EQ(match_games(options), 100);
    EXPECT_EQ(options.concurrency, 0);
    EXPECT_EQ(options.opening, "empty");
    EXPECT_EQ(options.increment_ms, 10000u);
    EXPECT_EQ(options.time_margin_ms, 200u);
    EXPECT_TRUE(options.time_forfeit);
    EXPECT_EQ(options.stall_timeout_s, 60u);
    EXPECT_FALSE(options.sprt.enabled);
    EXPECT_EQ(options.board_cols, 39);
    EXPECT_EQ(options.board_rows, 32);
    EXPECT_EQ(options.rules, RuleSet{});
}

TEST(OptionsTest, EveryOption) {
    MatchOptions options;
    std::string error;
    ASSERT_TRUE(parse_match_options(
        words(TWO_ENGINES + "--games 7 --concurrency 3 --seed 18446744073709551615 "
                            "--opening random:8 --increment 500 --time-margin 0 "
                            "--no-time-forfeit --stall-timeout 2 --sprt elo0=-1.5 elo1=4 "
                            "alpha=0.05 beta=0.1 --sgf g.sgf --results r.jsonl --logs L "
                            "--game 5 --board 10x64 --rules standard,suicide=off"),
        options, error))
        << error;
    EXPECT_EQ(options.games, 7);
    EXPECT_EQ(options.concurrency, 3);
    EXPECT_EQ(options.seed, UINT64_MAX);
    EXPECT_EQ(options.opening, "random:8");
    EXPECT_EQ(options.increment_ms, 500u);
    EXPECT_EQ(options.time_margin_ms, 0u);
    EXPECT_FALSE(options.time_forfeit);
    EXPECT_EQ(options.stall_timeout_s, 2u);
    EXPECT_TRUE(options.sprt.enabled);
    EXPECT_EQ(options.sprt.elo0, -1.5);
    EXPECT_EQ(options.sprt.elo1, 4);
    EXPECT_EQ(options.sprt.beta, 0.1);
    EXPECT_EQ(options.sgf_path, "g.sgf");
    EXPECT_EQ(options.results_path, "r.jsonl");
    EXPECT_EQ(options.logs_dir, "L");
    EXPECT_EQ(options.game, 5);
    EXPECT_EQ(options.board_cols, 10);
    EXPECT_EQ(options.board_rows, 64);
    EXPECT_EQ(rule_set_text(options.rules), "standard,suicide=off");
}

TEST(OptionsTest, EnvironmentAndMoveTimeOfAnEngine) {
    MatchOptions options;
    std::string error;
    ASSERT_TRUE(parse_match_options(words("--engine name=A cmd=a env=OMP_NUM_THREADS=1 "
                                          "env=RUST_LOG=a=b,c env=EMPTY= env=OMP_NUM_THREADS=2 "
                                          "movetime=100 --engine name=B cmd=b movetime=86400000"),
                                    options, error))
        << error;
    // A name given again takes the later value, in the place of the first.
    EXPECT_EQ(options.engines[0].environment,
              (std::vector<std::string>{"OMP_NUM_THREADS=2", "RUST_LOG=a=b,c", "EMPTY="}));
    EXPECT_EQ(options.engines[0].movetime_ms, 100u);
    EXPECT_TRUE(options.engines[1].environment.empty());
    EXPECT_EQ(options.engines[1].movetime_ms, 86400000u);
    for (const char* bad : {"env=", "env=NOVALUE", "env==x", "movetime=0", "movetime=-5",
                            "movetime=1.5", "movetime=", "movetime=86400001"}) {
        EXPECT_FALSE(parse_match_options(words(TWO_ENGINES + bad), options, error)) << bad;
        EXPECT_NE(error.find(std::string(bad).substr(0, 3)), std::string::npos) << error;
    }
}

// Any number of engines; --each gives every engine the same words before its own, which win
// where they set the same key; a per-engine increment gives time odds.
TEST(OptionsTest, TournamentsOfManyEngines) {
    MatchOptions options;
    std::string error;
    ASSERT_TRUE(parse_match_options(
        words("--each movetime=50 arg=--quiet dir=/tmp --engine name=A cmd=a increment=500 "
              "--engine name=B cmd=b movetime=70 --engine name=C cmd=c dir=/srv "
              "--tournament gauntlet --rounds 3"),
        options, error))
        << error;
    ASSERT_EQ(options.engines.size(), 3u);
    EXPECT_EQ(options.tournament, Tournament::gauntlet);
    EXPECT_EQ(options.rounds, 3);
    EXPECT_EQ(match_games(options), 12); // two pairings, three pairs each
    EXPECT_EQ(options.engines[0].movetime_ms, 50u);
    EXPECT_EQ(options.engines[0].increment_ms, 500u);
    EXPECT_EQ(options.engines[1].movetime_ms, 70u);
    EXPECT_EQ(options.engines[1].increment_ms, 0u);
    EXPECT_EQ(options.engines[2].directory, "/srv");
    EXPECT_EQ(options.engines[2].arguments, std::vector<std::string>{"--quiet"});
    // A round robin of four: six pairings.
    ASSERT_TRUE(parse_match_options(words("--engine name=A cmd=a --engine name=B cmd=b --engine "
                                          "name=C cmd=c --engine name=D cmd=d --rounds 2"),
                                    options, error));
    EXPECT_EQ(options.tournament, Tournament::round_robin);
    EXPECT_EQ(match_games(options), 24);
}

TEST(OptionsTest, HelpNeedsNothingElse) {
    MatchOptions options;
    std::string error;
    ASSERT_TRUE(parse_match_options({"--games", "x", "--help"}, options, error));
    EXPECT_TRUE(options.help);
    // Every option is described.
    for (const char* name : {"--engine",
                             "--games",
                             "--concurrency",
                             "--seed",
                             "--opening",
                             "--increment",
                             "--time-margin",
                             "--no-time-forfeit",
                             "--stall-timeout",
                             "--sprt",
                             "--results",
                             "--sgf",
                             "--logs",
                             "play-one",
                             "merge",
                             "--help",
                             "env=",
                             "movetime=",
                             "exchange.txt",
                             "--board",
                             "--rules",
                             "cross4",
                             "ground",
                             "--anchor",
                             "--ratings-json"})
        EXPECT_NE(std::string(usage_text()).find(name), std::string::npos) << name;
}

TEST(OptionsTest, RefusesWhatItCannotUse) {
    const char* bad[] = {
        "",                                            // no engines
        "--engine name=A cmd=a",                       // one engine
        "--engine name=A cmd=a --engine name=A cmd=b", // one name for two engines
        "--engine name=A cmd=a --engine name=B cmd=b --engine name=C cmd=c --sprt elo0=0 "
        "elo1=5 alpha=0.05 beta=0.05", // the SPRT compares two engines
        "--games 10 --rounds 5",
        "--tournament swiss",
        "--tournament",
        "--rounds 0",
        "--each name=X",
        "--each loose",
        "--engine name=A cmd=a increment=0 --engine name=B cmd=b",
        "--engine name=A --engine name=B cmd=b", // no cmd
        "--engine cmd=a --engine name=B cmd=b",  // no name
        "--engine name=A cmd=a path=x --engine name=B cmd=b",
        "--engine name=A cmd=a loose --engine name=B cmd=b",
        "--engine name=A cmd=a proto=uci --engine name=B cmd=b",
        "--engine name=A cmd=a proto=gtp --engine name=B cmd=b", // the fork has no fendrel rules
        "--engine name=A cmd=a proto= --engine name=B cmd=b",
        "--games 0",
        "--games",
        "--games -3",
        "--games 1e3",
        "--concurrency 0",
        "--increment 0",
        "--stall-timeout 0",
        "--seed x",
        "--sprt elo0=0 elo1=5 alpha=0.05",           // beta missing
        "--sprt elo0=5 elo1=5 alpha=0.05 beta=0.05", // elo0 not below elo1
        "--sprt elo0=0 elo1=5 alpha=0.6 beta=0.5",   // alpha + beta not below 1
        "--sprt elo0=0 elo1=5 alpha=0 beta=0.05",
        "--sprt elo0=nan elo1=5 alpha=0.05 beta=0.05",
        "--sprt elo0=0 elo1=5 alpha=0.05 gamma=0.05",
        "--sprt elo0=0 elo1=1001 alpha=0.05 beta=0.05", // beyond any testable score
        "--opening",
        "--board 2x5",
        "--board 65x10",
        "--board 39",
        "--board 39x",
        "--board x32",
        "--board 39X32",
        "--board",
        "--rules",
        "--rules go",
        "--rules fendrel,suicide=off",  // an option of another set
        "--rules standard,start=cross", // a start position is an opening
        "--anchor C=100",               // no such engine
        "--anchor A",
        "--ratings-json",
        "--bogus",
        "games",
    };
    for (const char* line : bad) {
        std::string text = line;
        if (text.find("--engine") == std::string::npos && !text.empty())
            text = TWO_ENGINES + text;
        MatchOptions options;
        std::string error;
        EXPECT_FALSE(parse_match_options(words(text), options, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(OptionsTest, MergeOptions) {
    MergeOptions merge;
    std::string error;
    ASSERT_TRUE(parse_merge_options(words("a.jsonl --anchor x=y=-12.5 b.jsonl --ratings-json "
                                          "r.json - --sprt elo0=0 elo1=5 alpha=0.05 beta=0.05"),
                                    merge, error))
        << error;
    EXPECT_EQ(merge.files, (std::vector<std::string>{"a.jsonl", "b.jsonl", "-"}));
    EXPECT_EQ(merge.anchor, "x=y");
    EXPECT_EQ(merge.anchor_elo, -12.5);
    EXPECT_EQ(merge.ratings_json, "r.json");
    EXPECT_TRUE(merge.sprt.enabled);
    ASSERT_TRUE(parse_merge_options(words("a.jsonl"), merge, error));
    EXPECT_TRUE(merge.anchor.empty());
    EXPECT_TRUE(merge.ratings_json.empty());
    EXPECT_FALSE(merge.sprt.enabled);
    for (const char* bad :
         {"", "--anchor A=1", "a --anchor", "a --anchor =5", "a --anchor A",
          "a --anchor A=", "a --anchor A=1e7", "a --anchor A=nan", "a --ratings-json",
          "a --ratings-json --sprt", "a --games 3", "a --sprt elo0=1"}) {
        EXPECT_FALSE(parse_merge_options(words(bad), merge, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(OptionsTest, FingerprintFollowsWhatDecidesTheGames) {
    auto fingerprint = [](const std::string& extra) {
        MatchOptions options;
        std::string error;
        EXPECT_TRUE(parse_match_options(words(TWO_ENGINES + extra), options, error)) << error;
        return match_fingerprint(options);
    };
    const std::string base = fingerprint("");
    EXPECT_EQ(base.size(), 16u);
    // How many games, how many at once and where records go do not change a game.
    EXPECT_EQ(fingerprint("--games 3 --concurrency 9 --results r --sgf s --logs l"), base);
    // The extra words follow engine B's; its protocol by default is the line protocol.
    EXPECT_EQ(fingerprint("proto=line"), base);
    // Nor do the window program's board and rules given outright: results files of before
    // they could be chosen resume.
    EXPECT_EQ(fingerprint("--board 39x32 --rules fendrel"), base);
    EXPECT_NE(fingerprint("--rules standard"), fingerprint("--rules standard,suicide=off"));
    EXPECT_NE(fingerprint("proto=gtp --rules standard"),
              fingerprint("proto=pointsai --rules standard"));
    for (const char* change :
         {"--opening cross", "--seed 2", "--increment 9", "--time-margin 1", "--no-time-forfeit",
          "--stall-timeout 5", "proto=pointsai", "env=A=1", "env=A=", "movetime=100",
          "--board 39x31", "--rules standard"})
        EXPECT_NE(fingerprint(change), base) << change;
    // The environment is a set: its order changes nothing, its values do.
    EXPECT_EQ(fingerprint("env=A=1 env=B=2"), fingerprint("env=B=2 env=A=1"));
    EXPECT_NE(fingerprint("env=A=1 env=B=2"), fingerprint("env=A=1 env=B=3"));
    EXPECT_NE(fingerprint("movetime=100"), fingerprint("movetime=101"));
    MatchOptions swapped;
    std::string error;
    ASSERT_TRUE(parse_match_options(words("--engine name=B cmd=b --engine name=A cmd=./a "
                                          "arg=-x arg=y=z"),
                                    swapped, error));
    EXPECT_NE(match_fingerprint(swapped), base);
    // Two engines meet alike in either tournament; three do not, and add to the text.
    EXPECT_EQ(fingerprint("--tournament gauntlet --rounds 9"), base);
    const std::string three = "--engine name=C cmd=c ";
    EXPECT_NE(fingerprint(three), base);
    EXPECT_NE(fingerprint(three + "--tournament gauntlet"), fingerprint(three));
}

} // namespace
