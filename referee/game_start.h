// The start and the end of the one game of a run, shared by every window: what happens
// once the board is set up and the window exists, and what happens when it goes away.
#pragma once

// Names the status-bar placeholders, sets the clocks, starts engine1 then engine2, sends
// the set-up lines to engine2 then engine1, and asks engine1 for the first move.
void start_game();

// Tells engine1, then engine2, to quit.
void quit_engines();
