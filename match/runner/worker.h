// One game of a match, refereed in this process exactly as the window program referees it
// (the same rules core, protocol lines, move handling and clocks), plus the match's
// adjudication: a side loses by an illegal move, a move out of turn, a crash or closed
// output, a clock used up by more than the margin, or silence for the stall timeout.
// The whole referee is global state, so a process plays one game.
#pragma once

#include "match/runner/options.h"
#include "records/game_record.h"
#include "records/openings.h"

// How long engines get to end by themselves after "quit" before they are killed.
constexpr int QUIT_GRACE_MS = 1000;

// Plays game `index` of the match from the opening. The engine commands and directories in
// `options` must be absolute or bare names, since engines start in their own directories;
// the engines' log goes to "log.txt" in the current directory. When `live_path` names a
// file, the game is written there as it goes, for a watcher (records/live_game.h). Both
// engines have ended and been reaped when it returns.
GameRecord play_game(const MatchOptions& options, const Opening& opening, int index,
                     const std::string& live_path = "");
