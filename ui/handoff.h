// Work that other threads hand to the window's thread, waiting until it is done: how the
// engines' reader threads bring their moves and status texts to either window. It knows
// nothing of a window system; the window supplies the wake-up that makes its thread run
// the queue.
//
// Each piece of work comes with a wake-up of its own and runs alone when that wake-up is
// handled. So the window's thread goes back to its event loop between any two pieces, and
// a key or a click waits behind at most one move, however fast the engines answer.
//
// Threads: the window's thread opens and closes the hand-off and runs the queued work;
// any other thread queues work and waits. Once the window is closing, queued work is
// dropped and new work refused at once, so that no thread ever waits on a window that
// will not answer again.
#pragma once

// Makes the calling thread the window's thread and accepts work. wake() is called, on the
// queuing thread and with the queue locked, after each piece of work is queued; it must
// only ask the window's thread to call handoff_run_next() once soon (post, never wait).
void handoff_open(void (*wake)());

// Runs fn(arg) on the window's thread and returns true once it has returned there; on the
// window's thread itself, runs it at once. Returns false without running it once the
// hand-off is closed (or before it was opened), also when it closes while fn waits.
bool handoff_run_and_wait(void (*fn)(void*), void* arg);

// Runs show(part, text) on the window's thread as handoff_run_and_wait does: how both
// windows set a status text from any thread, each shown in the order it was set.
void handoff_status_text(int part, const char* text, void (*show)(int part, const char* text));

// Window's thread: runs the oldest queued piece of work, if any. Work that opens a nested
// event loop may bring this about again from inside it; order still holds.
void handoff_run_next();

// Window's thread: drops the queued work and refuses all further work, releasing every
// thread that waits. Work already running goes on to its end.
void handoff_close();
