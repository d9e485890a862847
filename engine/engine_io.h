// What the line reading of EngineProcess (engine_process.cpp) and its pipes
// (engine_pipes.cpp) need of each other: the shared log of everything the engines wrote,
// and the raw pipe read. The fuzz target stands in for the pipes with its own input.
#pragma once

#include "os/process.h"

class EngineProcess;

// Opens "log.txt" in the current directory, emptying it, unless it is already open. A log
// that cannot be created leaves engine output unlogged and everything else unchanged.
void open_engine_log();

// Appends a chunk read from an engine, every byte of it, and flushes at once so that the
// log is complete even if the referee is killed. One write per chunk: the stream's own lock
// keeps the chunks of the two readers whole.
void log_engine_output(const char* chunk, int length);

// The log's handle, for tests that look for it in an engine; NO_HANDLE while it is closed.
OsHandle engine_log_handle();

// Closes the log so that the next start opens it afresh; for tests, which launch engines
// many times in one process.
void close_engine_log();

// One blocking read of at most size bytes of the engine's output into chunk: the number of
// bytes read, or 0 at the end of the output or on a read error.
int read_engine_output(EngineProcess& engine, char* chunk, int size);

// Stops writing to the engine once its output has ended: every later send_line fails at
// once, what is queued is dropped, and the writer closes the engine's input. Any thread.
void close_engine_input(EngineProcess& engine);

// Waits up to wait_ms for the engine to end, and reaps it: true, with `exited` and
// `exit_status` set, once it has (or when it never ran). Any thread; the engine's process
// is touched under a lock that the next two share.
bool wait_engine_end(EngineProcess& engine, int wait_ms);

// Kills the engine and everything it started (its group), and reaps it.
void kill_engine(EngineProcess& engine);

// close_engine_input, and waits until the writer thread has ended; for programs and tests
// that end engines and reuse their objects. The engine must have ended first, or its
// writer may still wait on it.
void end_engine_input(EngineProcess& engine);
