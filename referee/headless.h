// A game without a window: the referee with real engine processes, where the calling
// thread and the readers' hand-offs play the window's part (referee/held_window.h). Message boxes
// go to standard error and return at once; status texts are kept (and echoed to standard output
// when asked).
#pragma once

#include <cstdint>
#include <string>

struct HeadlessOptions {
    // End the game when no engine hands anything over (a move, a refused line, its exit) for
    // this long; 0 waits for ever.
    uint32_t stall_timeout_ms = 0;
    // Print every status text as "status PART: TEXT".
    bool echo_status = false;
};

enum class HeadlessOutcome {
    finished,  // no cell can take a dot
    no_player, // the side to move has no running engine and nobody can click
    stalled,   // nothing happened for stall_timeout_ms
};

struct HeadlessResult {
    HeadlessOutcome outcome;
    int32_t side1_balance; // captured-dot balance seen from side 1
    int32_t dots;          // dots on the board
};

// Plays the one game of the process with Engine1.exe and Engine2.exe from the current
// directory: board, start-up, every move on this thread, then "quit" to both engines.
HeadlessResult run_headless_game(const HeadlessOptions& options);

// The latest text of a status part.
std::string headless_status_text(int part);
