// What each foreign protocol says for each step of a game, and how its answers read. The
// translator (translator.h) runs the game; this file knows only the words.
//
// pointsai: requests "ID COMMAND ARGS", answers "= ID COMMAND RESULTS" or "? ID COMMAND";
// players 0 (side 1) and 1; points "X Y" from the top-left corner, as ours.
//
// gtp, as the dots fork of KataGo speaks it: requests "ID COMMAND ARGS", answers "=ID
// RESULT" or "?ID ERROR", each ended by a blank line; colours B (side 1, which moves first)
// and W; a vertex is "COLUMN-ROW", both from 1, the column from the left, the row from the
// bottom, so that no letters are needed on a board 39 wide; "ground" for grounding. Its rules
// are a flat JSON object (kata-set-rules, kata-get-rules).
#pragma once

#include "bridge/translator.h"
#include "rules/rule_set.h"

#include <cstdint>
#include <string>
#include <vector>

// An answer line as its protocol shapes it.
struct Answer {
    bool success = false;
    int id = 0;
    std::string command; // pointsai only: the command word answered
    std::string results; // what follows, without the leading space
};

// Reads the first line of an answer; false when it has not the protocol's shape.
bool parse_answer(ForeignProtocol protocol, const std::string& line, Answer& answer);

// The commands (without ids) that tell the engine the board's size, at "new".
std::vector<std::string> size_commands(ForeignProtocol protocol, int32_t rows, int32_t cols,
                                       uint32_t seed);

// A command and what its answer is checked for.
struct Command {
    std::string text;
    RequestKind kind;
};

// The commands that tell the engine the rules and then set up its empty board under them,
// once the set-up's rules are known; none for pointsai, which has no word for rules.
std::vector<Command> rules_commands(ForeignProtocol protocol, const RuleSet& rules);

// Whether the results of gtp's answer to kata-get-rules say that the engine plays `rules`
// as rules_commands told it: the dots rules, every key as sent.
bool fork_plays_rules(const std::string& results, const RuleSet& rules);

// The commands that tell the engine the increment; none for pointsai, which is given a
// budget with each request to move.
std::vector<std::string> increment_commands(ForeignProtocol protocol, uint32_t increment_ms);

// The command that places a dot of `side` (1 or 2) at (x, y).
std::string play_command(ForeignProtocol protocol, int side, int32_t x, int32_t y, int32_t rows);

// The commands before the request to move (the clock, for gtp), and that request.
std::vector<std::string> clock_commands(ForeignProtocol protocol, int side, uint32_t budget_ms);
std::string generate_command(ForeignProtocol protocol, int side, uint32_t budget_ms);

// Whether a generated move's results are grounding (gtp only: pointsai has no word for it).
bool is_grounding(ForeignProtocol protocol, const std::string& results);

// Reads the point of a generated move from an answer's results; false when they name none
// (a wrong shape, another player, or for gtp a resignation or grounding).
bool parse_generated(ForeignProtocol protocol, const std::string& results, int side, int32_t rows,
                     int32_t& x, int32_t& y);

// Whether the engine itself places the move it generates (gtp's genmove does; pointsai's
// gen_move_with_time does not, so the bridge commits it with play).
bool generate_places_move(ForeignProtocol protocol);

// The first word of a command: what a pointsai answer must name.
std::string command_word(const std::string& command);
