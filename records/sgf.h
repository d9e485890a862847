// Game records in SGF, as other programs for this game write them: GM[40], SZ[39:32]
// (columns, then rows), points as two letters, column first, each 'a' to 'z' for 0 to 25
// and 'A' to 'Z' for 26 to 51; side 1, which moves first, is Black (B), side 2 White (W).
// The players are PB and PW; RE holds the result with its reason ("B+F", "W+T", "B+3",
// "Draw") and GC the reason in words.
//
// The reader also takes what those programs write beyond our own files: a closing outline
// after a move's point ("W[ab.abbccbba]": the enclosing chain after the first "."), set-up
// dots (AB, AW), several values to a property, text in Windows-1251 where CA says so, and
// properties it does not know, which it passes over. A move without a point ("B[]", as the
// KataGo fork writes it) is grounding. Whether the game fits this board and
// these rules is for its replay to say (sgf_replay.h).
#pragma once

#include "records/game_record.h"

#include <string>
#include <vector>

// A dot of a main line: a move, or a set-up dot placed without being one.
struct SgfPlacement {
    int side = 1; // 1 for B or AB, 2 for W or AW
    Dot dot;
    bool setup = false;
    std::vector<Dot> outline; // the enclosing chain written after a move's point, if any
    bool ground = false;      // a move with no point ("B[]"): the side grounds
};

// One game tree of the collection: its root properties (every value, in file order, text
// in UTF-8) and the dots of its main line (the first variation at every branch).
struct SgfGame {
    std::vector<std::pair<std::string, std::string>> root;
    std::vector<SgfPlacement> placements;
};

// The columns and rows that points can name: 'a' to 'z', then 'A' to 'Z'.
constexpr int32_t SGF_MAX_SIDE = 52;

// The two letters of a point in the first SGF_MAX_SIDE columns and rows.
std::string sgf_point(const Dot& dot);

// The RE value of a finished game.
std::string sgf_result(const GameRecord& record);

// One game tree, ending in a line feed; files hold one after another. "" for a board wider
// or taller than SGF_MAX_SIDE, whose points have no letters: its results line holds it.
std::string write_sgf_game(const GameRecord& record);

// Reads every game tree of a collection; false (with a reason) on a syntax error or a point
// that is not two letters (with an outline of pairs of letters after it).
bool parse_sgf(const std::string& text, std::vector<SgfGame>& games, std::string& error);

// The first value of a root property, or "" when it is absent.
std::string sgf_property(const SgfGame& game, const char* name);
