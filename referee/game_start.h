// The start and the end of the one game of a run, shared by every window: what happens
// once the board is set up and the window exists, and what happens when it goes away.
#pragma once

class EngineProcess;

// Sends the board size, the rules when they are not fendrel's ("rules"), and the increment
// ("increment") to one engine.
void send_setup_lines(EngineProcess& engine);

// Names the status-bar placeholders, sets the clocks, starts engine1 then engine2, sends
// the set-up lines to engine2 then engine1, and asks engine1 for the first move.
void start_game();

// Tells engine1, then engine2, to quit.
void quit_engines();

// Gives the engines, told to quit, up to grace_ms to end by themselves, then kills what is
// left of them, and of what they started.
void end_engines(int grace_ms);

// The grace the window programs give their engines when they close.
constexpr int WINDOW_QUIT_GRACE_MS = 2000;
