#include "engine/engine_writer.h"

namespace {

// The writer thread: writes out what is queued until the input is closed or the engine has
// gone, then closes the input.
void write_queued(void* context) {
    auto& writer = *static_cast<EngineWriter*>(context);
    std::unique_lock held(writer.lock);
    for (;;) {
        writer.changed.wait(held, [&] { return writer.closed || !writer.queue.empty(); });
        if (writer.closed)
            break;
        std::string taken;
        taken.swap(writer.queue);
        writer.writing = true;
        held.unlock();
        const bool went = write_handle(writer.input, taken.data(), taken.size());
        held.lock();
        writer.writing = false;
        if (!went) {
            writer.closed = true;
            break;
        }
    }
    writer.queue.clear();
    close_handle(writer.input);
}

} // namespace

bool start_writer(EngineWriter& writer, OsHandle input) {
    writer.input = input;
    write_without_blocking(input);
    writer.thread = start_thread(write_queued, &writer);
    if (writer.thread != NO_HANDLE)
        return true;
    close_handle(writer.input);
    writer.closed = true;
    return false;
}

bool queue_write(EngineWriter& writer, const char* text, size_t size) {
    std::lock_guard held(writer.lock);
    if (writer.closed || writer.not_reading)
        return false;
    size_t written = 0;
    // Straight into the pipe when nothing waits before it.
    if (writer.queue.empty() && !writer.writing && !write_now(writer.input, text, size, written)) {
        writer.closed = true;
        writer.changed.notify_one();
        return false;
    }
    if (written == size)
        return true;
    if (writer.queue.size() + (size - written) > WRITE_QUEUE_LIMIT) {
        writer.not_reading = true;
        return false;
    }
    writer.queue.append(text + written, size - written);
    writer.changed.notify_one();
    return true;
}

void close_writer(EngineWriter& writer) {
    std::lock_guard held(writer.lock);
    writer.closed = true;
    writer.changed.notify_one();
}

bool writer_not_reading(EngineWriter& writer) {
    std::lock_guard held(writer.lock);
    return writer.not_reading;
}
