// A window for tests: records every call the referee makes on it, and gives a tick count the
// test sets. window_run_and_wait runs the function at once on the caller's thread, under one
// lock that stands for the window's thread, so moves from several threads never overlap.
#pragma once

#include "referee/window.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fake_window {

// The tick count that tick_count() returns.
void set_tick(uint32_t tick);
uint32_t tick();

// Every call in order, as text: "stop_timer", "arm_timer 1000", "status 4 -3", "repaint",
// "box error: illegal move!". Status texts are recorded byte for byte.
std::vector<std::string> events();
void clear_events();

// Every line report the referee made, in order.
std::vector<LineReport> reports();

// The current text of each status part, as the window would show it.
std::string status_text(int part);

// From now until reset, appends "PART TEXT" to the file for every score text, one line per
// move applied, as the traced Windows program does for every text: a pace for engines that
// never read.
void trace_score_texts(const std::string& path);

// Whether the clock timer is armed, and its last delay.
bool timer_armed();
uint32_t timer_delay();

// After close(), window_run_and_wait refuses work, like a destroyed window.
void close();

// Back to a fresh window: no events, empty parts, timer stopped, open, tick 0.
void reset();

} // namespace fake_window
