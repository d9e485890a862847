// An engine's line reading and the engines' log: the engine processes seam
// (engine/engine_process.h, engine/engine_io.h) as the programs and the fuzz target have it,
// with engine_pipes.cpp; its other definition: the recording engines of the referee's and
// the windows' tests (tests/support/recording_engines.cpp).
#include "engine/engine_process.h"

#include "engine/engine_io.h"
#include "engine/exchange_log.h"
#include "engine/line_cutter.h"
#include "engine/protocol.h"
#include "os/file.h"

#include <cstdio>

EngineProcess engine1;
EngineProcess engine2;

namespace {

// Written by both reader threads; opened by the window's thread before either exists.
std::FILE* log_stream = nullptr;

} // namespace

void open_engine_log() {
    if (!log_stream)
        log_stream = create_private_text_file("log.txt");
}

void log_engine_output(const char* chunk, int length) {
    if (!log_stream)
        return;
    std::fwrite(chunk, 1, length, log_stream);
    std::fflush(log_stream);
}

OsHandle engine_log_handle() {
    return log_stream ? stream_handle(log_stream) : NO_HANDLE;
}

void close_engine_log() {
    if (log_stream)
        std::fclose(log_stream);
    log_stream = nullptr;
}

EngineProcess::EngineProcess() {
    pending[0] = '\0';
}

const char* EngineProcess::read_line() {
    while (!cut_line(pending, pending_length, line_result, after_full_line)) {
        char chunk[ENGINE_LINE_SIZE];
        const int length = read_engine_output(*this, chunk, pending_room(pending_length));
        if (length <= 0)
            return nullptr;
        log_engine_output(chunk, length);
        append_chunk(pending, pending_length, chunk, length);
    }
    if (exchange_log_open())
        log_engine_line(*this, line_result);
    return line_result;
}

int EngineProcess::quit_engine() {
    running = 0;
    return send_line(QUIT_LINE);
}
