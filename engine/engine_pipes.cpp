// Launching an engine and its pipes: the engine processes seam (EngineProcess's members in
// engine/engine_process.h, and engine/engine_io.h) as the programs have it, with
// engine_process.cpp; its other definitions: the recording engines of the referee's and the
// windows' tests (tests/support/recording_engines.cpp) and the fuzz target's pipes
// (tests/fuzz/engine_line_fuzz.cpp). The engine is the program named exe_name in the
// referee's current directory, started as the window programs start their engines
// (engine_program_start), unless the program chose a command line and folder in `start`, as
// only the match runner does. Standard error shares the output pipe.
//
// No pipe end is inherited but as the standard stream it is given to (os/process.h), so
// engine 2 never holds engine 1's pipes. Once the engine runs, the referee closes its copies
// of the engine's ends: the output pipe then reports its end when the engine exits, and
// writing to its input fails instead of filling a pipe that nobody reads.
#include "engine/engine_io.h"
#include "engine/engine_process.h"
#include "engine/engine_writer.h"
#include "engine/exchange_log.h"

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// Guards the process_info of every engine: the reader reaps its engine once its output has
// ended, while the window's thread may end it at the same time.
std::mutex process_lock;

// How often an engine's end is looked for while waiting for it.
constexpr int EXIT_POLL_MS = 5;

// Thread entry for the engine's reader.
void reader_entry(void* engine) {
    engine_reader_thread(static_cast<EngineProcess*>(engine));
}

} // namespace

int EngineProcess::start_engine() {
    open_engine_log();
    OsHandle input = NO_HANDLE; // the referee's end of the engine's input, for its writer
    bool launched =
        make_pipe(engine_in_read, input) && make_pipe(engine_out_read, engine_out_write);
    if (launched) {
        ProgramStart program = start ? *start : engine_program_start(exe_name);
        program.input = ChildStream::to(engine_in_read);
        program.output = ChildStream::to(engine_out_write);
        program.error = ChildStream::to(engine_out_write);
        launched = start_program(program, process_info);
    }
    close_handle(engine_in_read);
    close_handle(engine_out_write);
    if (!launched) {
        close_handle(engine_out_read);
        close_handle(input);
        return 0;
    }
    writer = new EngineWriter;
    start_writer(*writer, input);
    // Set before the reader exists, so that the reader sees it even if the engine ends at
    // once. The thread is kept and never joined: it ends with the engine's output, and only
    // tests wait for it.
    running = 1;
    reader_thread = start_thread(reader_entry, this);
    if (reader_thread == NO_HANDLE) {
        running = 0;
        return 0;
    }
    return 1;
}

int EngineProcess::send_line(const char* text) {
    const size_t size = std::strlen(text);
    if (!exchange_log_open())
        return writer && queue_write(*writer, text, size) ? 1 : 0;
    const std::unique_lock held = hold_exchange_log();
    const uint64_t moment = exchange_moment();
    const bool sent = writer && queue_write(*writer, text, size);
    log_sent_lines(held, *this, moment, text, size, sent);
    return sent ? 1 : 0;
}

bool wait_engine_end(EngineProcess& engine, int wait_ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    for (;;) {
        {
            std::lock_guard guard(process_lock);
            if (engine.process_info.process == NO_HANDLE)
                return true;
            if (wait_for_exit(engine.process_info, 0, engine.exit_status)) {
                engine.exited = true;
                return true;
            }
        }
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(EXIT_POLL_MS));
    }
}

void kill_engine(EngineProcess& engine) {
    std::lock_guard guard(process_lock);
    kill_process(engine.process_info);
}

int read_engine_output(EngineProcess& engine, char* chunk, int size) {
    return read_handle(engine.engine_out_read, chunk, size);
}

void close_engine_input(EngineProcess& engine) {
    if (engine.writer)
        close_writer(*engine.writer);
}

void end_engine_input(EngineProcess& engine) {
    if (!engine.writer)
        return;
    close_writer(*engine.writer);
    join_thread(engine.writer->thread);
}
