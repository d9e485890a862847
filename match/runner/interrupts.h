// Ctrl-C and SIGTERM during a match: counted, and made something the scheduler's poll() can
// wait for with its workers' output. The first Ctrl-C lets the games in progress finish;
// a second (or SIGTERM, which counts as two) stops at once.
#pragma once

// Routes Ctrl-C and SIGTERM to the counter from now on.
void catch_interrupts();

// How many interrupts have come.
int interrupts();

// A descriptor that becomes readable when an interrupt comes; -1 when there is none.
int interrupt_signal_fd();

// Empties it once poll() has reported it.
void drain_interrupt_signal();
