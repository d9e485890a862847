// What the referee needs from whatever window is present. Every program links exactly one
// definition of these functions: the Win32 window (ui/win32/), the Qt window (ui/qt/), the
// windowless game of fendrel-match, the tests and benchmarks (referee/windowless/), and the
// unit tests' recording fake.
//
// Threads: the window's thread runs start-up, clicks, timer expiries, painting and every
// move (make_move). Reader threads of the engines only call window_set_status_text,
// window_report_line, window_show_message and window_run_and_wait; everything else is
// called on the window's thread. In programs without a window, the thread holding the window's part
// stands in for it (referee/windowless/held_window.h).
#pragma once

#include <cstdint>

// The six parts of the status bar, left to right.
constexpr int STATUS_SIDE1_NAME = 0;
constexpr int STATUS_SIDE1_CLOCK = 1; // while side 1 is to move
constexpr int STATUS_SIDE2_NAME = 2;
constexpr int STATUS_SIDE2_CLOCK = 3; // while side 2 is to move
constexpr int STATUS_SCORE = 4;       // the captured-dot balance seen from side 1
constexpr int STATUS_MESSAGE = 5;     // the latest other line from either engine
constexpr int STATUS_PART_COUNT = 6;

// Stops the one-shot clock timer; no expiry arrives afterwards until it is armed again.
void window_stop_clock_timer();

// Arms the one-shot clock timer to expire once after delay_ms; the expiry calls
// on_clock_timer() (referee/clock.h) on the window's thread.
void window_arm_clock_timer(uint32_t delay_ms);

// Sets the text of a status-bar part (0 to 5); the window copies the text. Any thread.
void window_set_status_text(int part, const char* text);

// Asks for a repaint of the whole board; only invalidates, paints later.
void window_request_repaint();

// Shows an owner-less message box with an OK button and returns once it is closed. It is
// called on the window's thread (a click's move) or on an engine's reader thread (that
// engine's move), and holds up only the calling thread: the window keeps painting, ticking
// and taking clicks and the other engine's moves while it is open.
void window_show_message(const char* text, const char* caption);

// Runs fn(arg) on the window's thread and returns once it has returned: true. When the
// window is gone (closed, or closing) fn is not run and the result is false, so that no
// reader thread ever waits on a window that will not answer. Called from reader threads.
bool window_run_and_wait(void (*fn)(void*), void* arg);

// Milliseconds of the system tick count; an unsigned 32-bit value that wraps.
uint32_t tick_count();

// What a line from an engine came to.
enum class LineOutcome {
    name,         // the first line
    message,      // shown in status part 5
    applied,      // a move, played
    grounded,     // the side to move grounded, which ends the game
    refused,      // a move line, refused (`refusal` says why)
    output_ended, // not a line: the engine's output has ended
};

// Why a move line was refused.
enum class Refusal {
    none,
    occupied,    // the point holds a dot
    enclosed,    // the point is empty but inside an enclosure
    suicide,     // the dot would be captured at once, which the rules refuse
    border,      // the point is not on the board
    out_of_turn, // the engine's side is not to move
    unparsable,  // "move " without two integers
    game_over,   // no cell could take a dot any more
};

struct LineReport {
    int side = 0; // the engine that wrote the line: 1 for engine1, 2 for engine2
    LineOutcome outcome = LineOutcome::message;
    Refusal refusal = Refusal::none;
    bool ends_game = false;     // an applied move (or grounding) after which no cell can take a dot
    uint32_t tick = 0;          // when the referee took the line
    const char* text = nullptr; // a message: its line, valid during the report
    // An applied move or grounding: the time its mover's clock was charged, from the mover's own
    // tick read inside the move (play_move), not from `tick`, which another thread may have read
    // before the turn's start was stamped.
    uint32_t move_ms = 0;
};

// Tells the window what an engine's line did, once it has done it: names and messages on
// the reader's thread, moves and ends of output on the window's thread (a move's report
// comes right after make_move, before the next move can run).
void window_report_line(const LineReport& report);
