// The games a match is playing, as a watcher follows them (fendrel-view --follow): beside a
// results file FILE, the folder FILE.live holds match.json, what the match is (its engines,
// the games it plays, its SPRT), and one file a game in progress, game-N.jsonl.
// Its first line is the game's results line as it stands before the first move (engines,
// colours, board, rules, opening; no result yet); each move then adds a line as it is
// played, in one write: {"dot":[x,y],"ms":T}, or {"ground":S,"ms":T} for a grounding. The
// worker playing the game writes the file; fendrel-match removes it once the game's line is
// in the results file, and clears the folder when a run starts and ends. The records are
// never touched.
#pragma once

#include "records/game_record.h"
#include "records/match_definition.h"

#include <string>
#include <vector>

// FILE.live, the folder of the games in progress beside the results file FILE.
std::string live_directory(const std::string& results_path);

// The file of game `game` in that folder.
std::string live_game_path(const std::string& results_path, int game);

// What a watcher knows of the match before its games: the engines in the order given, how
// many games it plays, and its SPRT.
struct LiveMatch {
    std::vector<std::string> engines;
    int games = 0;
    SprtSpec sprt;
};

// FILE.live/match.json.
std::string live_match_path(const std::string& results_path);

// match.json's text, and back; reading gives false on text that is not one.
std::string live_match_text(const LiveMatch& match);
bool read_live_match(const std::string& text, LiveMatch& match);

// The first line of a game's file: its record before any move, and a line feed.
std::string live_header_line(const GameRecord& record);

// The line of one move: a dot, or (ground = true) the side to move's grounding, with its time.
std::string live_move_line(const Dot& dot, bool ground, int side, uint32_t ms);

// Reads a game's file as far as it goes: its record with the moves played so far (their
// dots, times and grounding). A last line without its line feed (a write under way, or a
// file cut short) is left out. False, with the reason, when the text holds no header or a
// line that is not a move.
bool read_live_game(const std::string& text, GameRecord& record, std::string& error);
