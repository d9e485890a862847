// What fendrel-view shows, without a window: the file's games, the one picked, the move it
// stands at, where each key takes it, whether it follows a match as it is played, and the
// texts beside the board.
#pragma once

#include "review/shown_game.h"

#include <optional>
#include <string>
#include <vector>

enum class ViewKey {
    back,          // Left
    forward,       // Right
    back_ten,      // PgUp
    forward_ten,   // PgDn
    start,         // Home
    end,           // End
    next_game,     // N
    previous_game, // P
    follow,        // F: with --follow, back to following the match
};

struct ViewedGame {
    int number = 0;           // the game's number for show_game
    std::string label;        // players, result and reason, as the list of games shows them
    bool in_progress = false; // with --follow: a game the match is playing
};

struct ViewModel {
    // The file's games. With --follow, those of the results file as it stands, in its order,
    // and in `playing` the games in progress by number; `games` has an entry for each game of
    // `file`, then one for each of `playing`.
    GameFile file;
    GameFile playing;
    std::vector<ViewedGame> games; // empty only while a followed match has no game yet
    int game = 0;                  // the index in games of the game shown
    int move = 0;                  // the moves on the board
    int last_move = 0;             // the last move that the game replays to
    std::string cut; // why the game cannot be replayed past last_move: which move and why
    std::optional<RuleSet> rules; // --rules: the rules every game is played under
    // --follow: the file is a match's as it is played. While `following`, the view goes where
    // the match goes: the game in progress at its last move, and on to the next game in
    // progress once it ends. A person taking the view elsewhere stops it; End on a game in
    // progress and F start it again.
    bool live = false;
    bool following = false;
};

// Reads the file and stands at game `game` (its number as fendrel-board takes it, WHOLE for
// the last) and move `move` (WHOLE for its end), under view.rules where they are set. False with
// the reason when the file cannot be read or has no such game or move.
bool open_view(const std::string& path, int game, int move, ViewModel& view, std::string& error,
               const RuleSet* rules = nullptr);

// Shows the game at index `game` of the list, at its end; an index past either end is the
// first or the last game.
void pick_game(ViewModel& view, int game);

// Stands at move `move`, held between 0 and the last move the game replays to.
void go_to_move(ViewModel& view, int move);

// What a key does.
void press_view_key(ViewModel& view, ViewKey key);

// A person's pick of a move (the slider) or of a game (the list): they stop following unless
// the view stays where it was.
void choose_move(ViewModel& view, int move);
void choose_game(ViewModel& view, int game);

// Follows the match: the lowest-numbered game in progress, or when none is, the game that
// finished last, at its last move.
void follow_match(ViewModel& view);

// The label of a results file's game in the list: its number, players and result, or for a
// game in progress the moves so far.
std::string record_label(const GameRecord& record);

struct ViewTexts {
    Board board;       // the position shown, for the board picture
    std::string move;  // the move, the side to move and the captured-dot balance
    std::string time;  // the move's time and both clocks; empty for SGF
    std::string game;  // players, score and result
    std::string notes; // where the game is cut short, outlines the rules disagree with
    // The window's title: with --follow also the game and move shown and whether they are
    // followed, so that a glance (or a script) tells what the board is.
    std::string title;
};

// Replays the shown position on the rules core and gives it with the texts that go with it.
ViewTexts show_view(const ViewModel& view);
