// A game tree of an SGF file played on the rules core: its board size and rules read, its
// set-up dots and moves placed in file order, each for the side that the file gives it (so
// the same side may move twice in a row), and each written outline checked against the
// capture the rules find.
#pragma once

#include "records/sgf.h"
#include "rules/board.h"

#include <string>
#include <vector>

struct SgfReplay {
    int moves = 0;     // moves played, set-up dots not counted
    int total = 0;     // moves of the main line
    std::string error; // why the replay stopped short of the moves asked for; "" otherwise
    std::vector<std::string> warnings; // outlines that disagree with the rules' capture
};

// No limit on the moves replayed.
constexpr int ALL_SGF_MOVES = -1;

// Reads the board's size from SZ ("W:H", or one number for a square; 39 x 32 when absent)
// and its rules from RU (rules_from_sgf_text; fendrel when absent) unless `rules` is given.
// "" when both can be played, else why not: "board 2 x 2 (SZ[2]) is not from 3 to 64".
std::string sgf_board_setup(const SgfGame& game, const RuleSet* rules, int32_t& cols, int32_t& rows,
                            RuleSet& read_rules);

// The moves of the game's main line.
int sgf_move_count(const SgfGame& game);

// Sets the board up for the game (sgf_board_setup), then places the set-up dots and the
// first `move_limit` moves (all of them with ALL_SGF_MOVES). Stops at a size or rule set
// it cannot play (before any dot) or at the first dot the rules refuse, keeping the ones
// before it; the error names the dot, its move number and the reason. A set-up dot on a
// point that the start position already gave its side is passed over. last_move_cell marks
// the last move played.
SgfReplay replay_sgf_game(Board& board, const SgfGame& game, int move_limit,
                          const RuleSet* rules = nullptr);
