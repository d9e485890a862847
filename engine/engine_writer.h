// Each engine's own writer: everything the referee sends an engine goes through it, so that
// no thread that runs moves ever waits on an engine that does not read. A text is written
// at once as far as the pipe takes it; what it does not take waits in the engine's queue,
// which a thread of the engine's own writes out, oldest first, so the bytes keep their
// order. An engine that lets more than WRITE_QUEUE_LIMIT bytes pile up is treated as not
// reading: that text and all after it are dropped.
//
// Threads: queue_write and close_writer may be called from any thread, one text at a time
// (the window's thread, or whoever holds its part); the writer thread alone writes the
// queue, and it alone closes the engine's input.
#pragma once

#include "os/process.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>

constexpr size_t WRITE_QUEUE_LIMIT = size_t{1} << 20;

struct EngineWriter {
    OsHandle input = NO_HANDLE; // the engine's input: the referee's end of its pipe
    OsHandle thread = NO_HANDLE;
    // Guarded by `lock`.
    std::mutex lock;
    std::condition_variable changed;
    std::string queue;        // bytes the pipe has not taken yet, oldest first
    bool writing = false;     // the writer thread is writing what it took from the queue
    bool closed = false;      // nothing more is taken; the writer closes the input and ends
    bool not_reading = false; // the queue passed its limit
};

// Takes over the engine's input and starts its writer thread; false (input closed) when
// no thread could be started.
bool start_writer(EngineWriter& writer, OsHandle input);

// Writes or queues the text: true when it went, or will go, to the engine; false when the
// engine's input is closed or the engine is not reading.
bool queue_write(EngineWriter& writer, const char* text, size_t size);

// Takes nothing more; the writer thread drops what is queued, closes the input and ends.
void close_writer(EngineWriter& writer);

// Whether the engine let its queue pass the limit.
bool writer_not_reading(EngineWriter& writer);
