// What the line reading of EngineProcess (engine_process.cpp) and its pipes
// (engine_pipes.cpp) need of each other: the shared log of everything the engines wrote,
// and the raw pipe read. The fuzz target stands in for the pipes with its own input.
#pragma once

class EngineProcess;

// Opens "log.txt" in the current directory, emptying it, unless it is already open. A log
// that cannot be created leaves engine output unlogged and everything else unchanged.
void open_engine_log();

// Appends a chunk read from an engine, every byte of it, and flushes at once so that the
// log is complete even if the referee is killed. One write per chunk: the stream's own lock
// keeps the chunks of the two readers whole.
void log_engine_output(const char* chunk, int length);

// Closes the log so that the next start opens it afresh; for tests, which launch engines
// many times in one process.
void close_engine_log();

// One blocking read of at most size bytes of the engine's output into chunk: the number of
// bytes read, or 0 at the end of the output or on a read error.
int read_engine_output(EngineProcess& engine, char* chunk, int size);

// Closes the referee's end of the engine's input once its output has ended, so that every
// later send_line fails at once rather than while the exiting engine still holds its end.
// Called where send_line is (the window's thread).
void close_engine_input(EngineProcess& engine);
