// What the referee needs from whatever window is present. Every program links exactly one
// definition of these functions: the Win32 window (ui/win32/), the Qt window (ui/qt/), the
// headless driver (referee/headless.cpp), fendrel-match's game worker and the unit tests' recording
// fake.
//
// Threads: the window's thread runs start-up, clicks, timer expiries, painting and every
// move (make_move). Reader threads of the engines only call window_set_status_text and
// window_run_and_wait; everything else is called on the window's thread. In programs without
// a window, the thread holding the window's part stands in for it (referee/held_window.h).
#pragma once

#include <cstdint>

// Stops the one-shot clock timer; no expiry arrives afterwards until it is armed again.
void window_stop_clock_timer();

// Arms the one-shot clock timer to expire once after delay_ms; the expiry calls
// on_clock_timer() (referee/clock.h) on the window's thread.
void window_arm_clock_timer(uint32_t delay_ms);

// Sets the text of a status-bar part (0 to 5); the window copies the text. Any thread.
void window_set_status_text(int part, const char* text);

// Asks for a repaint of the whole board; only invalidates, paints later.
void window_request_repaint();

// Shows an owner-less message box with an OK button and returns once it is closed. The
// window keeps painting, ticking and taking clicks and moves while it is open.
void window_show_message(const char* text, const char* caption);

// Runs fn(arg) on the window's thread and returns once it has returned: true. When the
// window is gone (closed, or closing) fn is not run and the result is false, so that no
// reader thread ever waits on a window that will not answer. Called from reader threads.
bool window_run_and_wait(void (*fn)(void*), void* arg);

// Milliseconds of the system tick count; an unsigned 32-bit value that wraps.
uint32_t tick_count();
