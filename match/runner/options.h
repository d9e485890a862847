// The command line of fendrel-match: a match (the default), one game of it (play-one), or
// the summary of results lines (merge).
#pragma once

#include "records/match_definition.h"

#include <string>
#include <vector>

// Reads the options that follow the program name (and the word play-one); false with a
// reason on anything it cannot use. With --help nothing else is checked.
bool parse_match_options(const std::vector<std::string>& args, MatchOptions& options,
                         std::string& error);

// What "merge" is asked for.
struct MergeOptions {
    SprtSpec sprt;
    std::vector<std::string> files;
    std::string anchor; // --anchor NAME=ELO: the engine whose rating is fixed; "" for none
    double anchor_elo = 0;
    std::string ratings_json; // --ratings-json FILE; "" for none
};

// The value of --anchor: NAME=ELO, split at the last "=" since a name may hold one; false
// with a reason.
bool parse_anchor(const std::string& word, std::string& name, double& elo, std::string& error);

// Reads the words after "merge": --sprt, --anchor, --ratings-json and the files; false with
// a reason.
bool parse_merge_options(const std::vector<std::string>& args, MergeOptions& merge,
                         std::string& error);

// The empty board of the match's games, at its size and under its rules.
Board empty_match_board(const MatchOptions& options);

// The text of --help.
const char* usage_text();
