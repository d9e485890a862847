// A game without a window, as fendrel-match plays its games and the tests and benchmarks
// play theirs: the calling thread and the engines' reader threads play the window's part in
// turn (held_window.h). Nothing is shown: status texts, repaints and the clock display do
// nothing, and a message box returns at once, since the referee's line reports tell what
// happened. The calling thread only ends the game: when no cell can take a dot, when the
// judge (judge.h) decides it, when the side to move has no engine left, or at the deadline
// of the side to move.
#pragma once

#include "referee/windowless/judge.h"

#include <cstdint>
#include <functional>
#include <vector>

struct WindowlessOptions {
    // The judge's rules; without `decides` a refused move changes nothing, as in a window,
    // and the stall timeout (if any) only stops the game.
    JudgeRules rules;
    // How long the engines get to end by themselves after "quit" before they are killed.
    int quit_grace_ms = 1000;
    // Hears of every move as it is played (judge.h).
    MoveListener on_move;
};

enum class WindowlessOutcome {
    finished,  // no cell can take a dot
    decided,   // the judge decided it (verdict())
    no_player, // the side to move has no running engine, and nobody can click
    stalled,   // without `decides`: the side to move was silent for the stall timeout
};

// Plays the one game of the process. With the window's part held, `start` sets the game up
// (the board, the engines, the set-up lines, the first request to move); every move is then
// applied by the readers' hand-offs until the game ends. Both engines are told to quit,
// given quit_grace_ms, killed if they still run and reaped; their readers are waited for up
// to a second (a process an engine left behind may hold its output open).
WindowlessOutcome play_windowless_game(const WindowlessOptions& options,
                                       const std::function<void()>& start);
