// A game of a file as fendrel-board shows it: the file is an SGF collection (written by
// fendrel-match or by another dots program) or a results file of fendrel-match; one game
// of it is replayed on the rules core up to a move.
#pragma once

#include "records/game_record.h"
#include "records/sgf.h"
#include "rules/board.h"

#include <string>
#include <vector>

struct GameFile {
    bool sgf = false;
    std::vector<SgfGame> sgf_games;
    std::vector<GameRecord> records;
};

// Picks the last game, or replays to the end of the game.
constexpr int WHOLE = -1;

// Reads the file: SGF when its first byte past white space is "(", else results lines.
// False with the reason when it cannot be read or holds no game.
bool read_game_file(const std::string& path, GameFile& file, std::string& error);

struct ShownPosition {
    int moves = 0;    // moves on the board
    int total = 0;    // moves of the game
    std::string stop; // why the replay stopped short of the move asked for: which and why
    std::vector<std::string> warnings; // outlines of the file that the rules disagree with
    std::string text; // the lines under the board: the move, players, score and result
    Board board;      // the position
};

// Replays the game numbered `game` of a results file, or the game tree `game` (from 0) of an
// SGF file, WHOLE for the file's last, up to its move `move` (WHOLE: all of them), on a board
// of the game's size under `rules`, or where those are not given the game's own (RU, the
// results line's), else fendrel. False with the reason when the file has no such game, the
// game no such move, or a size or rules not played here.
bool show_game(const GameFile& file, int game, int move, ShownPosition& shown, std::string& error,
               const RuleSet* rules = nullptr);
