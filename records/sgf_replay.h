// A game tree of an SGF file played on the rules core: its board size checked, its set-up
// dots and moves placed in file order, each for the side that the file gives it (so the
// same side may move twice in a row), and each written outline checked against the capture
// the rules find. Uses the process's one board, as replay.h does.
#pragma once

#include "records/sgf.h"

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

// "" when SZ is absent or gives this board, else why not: "board 19 x 19 (SZ[19]), not 39 x 32".
std::string sgf_size_error(const SgfGame& game);

// The moves of the game's main line.
int sgf_move_count(const SgfGame& game);

// Sets up the empty board, then places the set-up dots and the first `move_limit` moves (all
// of them with ALL_SGF_MOVES). Stops at a board other than 39 x 32 (before any dot) or at
// the first dot the rules refuse, keeping the ones before it; the error names the dot, its
// move number and the reason. last_move_cell marks the last move played.
SgfReplay replay_sgf_game(const SgfGame& game, int move_limit);
