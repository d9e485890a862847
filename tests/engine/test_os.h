// What the engine tests need of the operating system beyond what the referee uses: their own
// pipes to feed read_line, and ending what start_engine started. One .cpp per platform.
#pragma once

#include "engine/engine_process.h"

#include <string>

// A new pipe, neither end inherited by children.
void make_test_pipe(PlatformHandle& read_end, PlatformHandle& write_end);

// Writes all of bytes to a pipe end in one write.
void write_test_pipe(PlatformHandle write_end, const std::string& bytes);

// Closes a pipe end if it is open and marks it closed.
void close_test_handle(PlatformHandle& end);

// Kills the child process if it still runs and waits until it is gone.
void end_child_process(ProcessInfo& info);

// Waits until a reader thread that start_engine started has returned.
void join_reader_thread(PlatformHandle thread);

// Bytes as a text-mode stream stores them: the log's line feeds become the platform's line
// ends.
std::string as_logged(const std::string& bytes);

// How many files, pipes and other handles the process holds open.
int open_handle_count();
