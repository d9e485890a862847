// One engine program run as a child process, spoken to over two anonymous pipes.
//
// Ownership across threads:
//   - the window's thread sets exe_name, calls start_engine, reads and writes `running`,
//     and calls send_line and quit_engine;
//   - the engine's reader thread (engine_reader_thread) alone calls read_line and so alone
//     touches `pending` and `line_result`; it sets engine_name once, before it reports
//     anything;
//   - send_line may also be called while the reader waits on the window's thread, but
//     never from two threads at the same time, since every move is applied on the
//     window's thread; it never waits on the engine (its writer does);
//   - when the engine's output ends, its reader closes the writer, so nothing more is
//     written to an engine that has gone.
// The operating system's part (pipes, the launch, the reader thread) is os/process.h's.
#pragma once

#include "os/process.h"

struct EngineWriter;

#include <cstdint>

constexpr int ENGINE_LINE_SIZE = 4096;

class EngineProcess {
  public:
    EngineProcess();

    // Launches exe_name with its standard input and output on pipes and starts its reader
    // thread; 1 on success, 0 (running stays 0, every pipe end closed) otherwise.
    int start_engine();

    // Sends the whole text to the engine's standard input without waiting on the engine:
    // what the pipe does not take at once, the engine's writer writes later, in order.
    // Nonzero when it went or will go; 0 for an engine that never started, has exited, or
    // does not read (its queue passed WRITE_QUEUE_LIMIT), which loses the text quietly.
    int send_line(const char* text);

    // The next complete line the engine wrote, without its "\n", or nullptr once the
    // engine's output has ended. Reader thread only.
    const char* read_line();

    // Clears `running`, then sends "quit\n".
    int quit_engine();

    char exe_name[128] = {};
    ProcessInfo process_info;
    OsHandle engine_out_read = NO_HANDLE;  // referee's end of the engine's output
    OsHandle engine_in_read = NO_HANDLE;   // the child's standard input
    OsHandle engine_out_write = NO_HANDLE; // the child's standard output and error
    OsHandle reader_thread = NO_HANDLE;
    char pending[ENGINE_LINE_SIZE]; // bytes read but not yet handed out as lines
    int pending_length = 0;
    bool after_full_line = false;       // the last line was a full buffer (line_cutter.h)
    char line_result[ENGINE_LINE_SIZE]; // this engine's own line buffer
    char* engine_name = nullptr;        // owned copy of the first line; never freed
    int running = 0;
    bool exited = false; // the engine has ended and been reaped; exit_status says how
    int exit_status = 0;
    // Writes everything sent to the engine, on a thread of its own (engine_writer.h); it
    // owns the referee's end of the engine's input. Made by start_engine, never freed.
    EngineWriter* writer = nullptr;

    // Set only by a program that chooses each engine's command line and folder (the match
    // runner): how to start the program, whose standard streams start_engine fills in.
    // When it names no program the engine is exe_name from the current directory, started
    // as the window programs start it (engine_program_start).
    const ProgramStart* start = nullptr;
};

extern EngineProcess engine1;
extern EngineProcess engine2;

// The reader thread of a started engine: name line, then moves and messages for ever,
// until the engine's output ends.
void engine_reader_thread(EngineProcess* engine);
