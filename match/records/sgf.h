// Game records in SGF, as other programs for this game write them: GM[40], SZ[39:32]
// (columns, then rows), points as two letters, column first, each 'a' to 'z' for 0 to 25
// and 'A' to 'Z' for 26 to 51; side 1, which moves first, is Black (B), side 2 White (W).
// The players are PB and PW; RE holds the result with its reason ("B+F", "W+T", "B+3",
// "Draw") and GC the reason in words.
#pragma once

#include "match/records/game_record.h"

#include <string>
#include <vector>

// One game tree of the collection: its root properties (first value of each) and the dots
// of its main line, with the side (1 for B, 2 for W) that played each.
struct SgfGame {
    std::vector<std::pair<std::string, std::string>> root;
    std::vector<std::pair<int, Dot>> moves;
};

// The RE value of a finished game.
std::string sgf_result(const GameRecord& record);

// One game tree, ending in a line feed; files hold one after another.
std::string write_sgf_game(const GameRecord& record);

// Reads every game tree of a collection; false (with a reason) on a syntax error or a point
// that is not two letters.
bool parse_sgf(const std::string& text, std::vector<SgfGame>& games, std::string& error);

// The value of a root property, or "" when it is absent.
std::string sgf_property(const SgfGame& game, const char* name);
