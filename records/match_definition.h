// What defines a match: its engines, its games, its clock rules, its records and its
// stopping rule, as the command line of fendrel-match gives them (match/runner/options.h).
#pragma once

#include "rules/board.h"

#include <cstdint>
#include <string>
#include <vector>

struct EngineSpec {
    std::string name;
    std::string command; // the program: a path, or a name looked up in PATH
    std::vector<std::string> arguments;
    std::string directory; // its working directory; "" for the runner's own
    // The protocol it speaks: "line" (the referee's own), or one that fendrel-bridge
    // translates ("pointsai", "gtp").
    std::string protocol = "line";
    // "NAME=VALUE" set in its process only (for another protocol, in the engine's that the
    // bridge starts), in the order given, each name once.
    std::vector<std::string> environment;
    // A fixed time per move asked of it (a "movetime MS" line, or the bridge's budget); 0 for
    // none.
    uint32_t movetime_ms = 0;
    // Its own increment, for time odds; 0: the match's.
    uint32_t increment_ms = 0;
};

// How more than two engines meet: every pairing, or the first engine against each other.
enum class Tournament { round_robin, gauntlet };

struct SprtSpec {
    bool enabled = false;
    double elo0 = 0;
    double elo1 = 0;
    double alpha = 0.05;
    double beta = 0.05;
};

struct MatchOptions {
    std::vector<EngineSpec> engines; // two or more, the first the one a two-engine summary
                                     // is seen from
    Tournament tournament = Tournament::round_robin;
    int rounds = 50;     // pairs of games each pairing plays, unless `games` is given
    int games = 0;       // how many games in all; 0: every pairing's pairs of all the rounds
    int concurrency = 0; // 0: one per core
    uint64_t seed = 1;
    std::string opening = "empty";
    // The board and rules of every game. The start position is an opening (--opening
    // cross, ...), so `rules.start` stays empty.
    int32_t board_cols = FENDREL_COLS;
    int32_t board_rows = FENDREL_ROWS;
    RuleSet rules;
    uint32_t increment_ms = 10000;
    uint32_t time_margin_ms = 200;
    bool time_forfeit = true;
    uint32_t stall_timeout_s = 60;
    SprtSpec sprt;
    // The ratings' scale: --anchor NAME=ELO fixes that engine's; "" for a mean of 0.
    std::string anchor;
    double anchor_elo = 0;
    std::string ratings_json; // --ratings-json FILE: the ratings and crosstable as JSON
    std::string sgf_path;
    std::string results_path;
    std::string logs_dir; // keeps each game's engine log when set
    int game = -1;        // play-one: the game to play
    bool help = false;
};
