#include "engine/exchange_log.h"

#include "engine/engine_process.h"
#include "engine/exchange.h"
#include "os/file.h"
#include "os/process.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

// What is logged and not yet written goes out once it reaches this size.
constexpr size_t WRITE_BLOCK = 64 * 1024;

// All guarded by exchange_lock.
std::mutex exchange_lock;
std::FILE* log_file = nullptr;
std::string pending; // lines not written yet
uint64_t start_us = 0;

// Set under the lock, read without it to skip the lock while no log is open; whoever finds it
// set takes the lock and finds the truth there.
std::atomic<bool> log_is_open{false};

int side_of(const EngineProcess& engine) {
    return &engine == &engine1 ? 1 : 2;
}

// Writes out the pending lines when there are enough of them, or all when `all`.
void write_pending(bool all) {
    if (!log_file || pending.empty() || (!all && pending.size() < WRITE_BLOCK))
        return;
    std::fwrite(pending.data(), 1, pending.size(), log_file);
    pending.clear();
}

// Adds each line of the text at the moment `us`, under the lock.
void add_lines(const EngineProcess& engine, uint64_t us, const char* mark, const char* qualifier,
               const char* text, size_t size) {
    size_t start = 0;
    while (start < size) {
        const char* feed = static_cast<const char*>(std::memchr(text + start, '\n', size - start));
        const size_t end = feed ? static_cast<size_t>(feed - text) : size;
        append_exchange_line(pending, us, mark, engine.exe_name, side_of(engine), qualifier,
                             text + start, end - start);
        start = end + 1;
    }
    write_pending(false);
}

} // namespace

bool open_exchange_log(const char* path) {
    std::lock_guard held(exchange_lock);
    if (log_file)
        std::fclose(log_file);
    log_file = create_private_text_file(path);
    if (!log_file) {
        log_is_open = false;
        return false;
    }
    // The lines are gathered in `pending` and written a block at a time.
    std::setvbuf(log_file, nullptr, _IONBF, 0);
    pending.clear();
    pending.reserve(WRITE_BLOCK * 2);
    start_us = monotonic_us();
    log_is_open = true;
    return true;
}

bool exchange_log_open() {
    return log_is_open.load(std::memory_order_relaxed);
}

uint64_t exchange_log_start_us() {
    std::lock_guard held(exchange_lock);
    return start_us;
}

std::unique_lock<std::mutex> hold_exchange_log() {
    return std::unique_lock(exchange_lock);
}

uint64_t exchange_moment() {
    return monotonic_us() - start_us;
}

void log_sent_lines(const std::unique_lock<std::mutex>&, const EngineProcess& engine,
                    uint64_t moment, const char* text, size_t size, bool sent) {
    if (log_file)
        add_lines(engine, moment, EXCHANGE_TO_ENGINE, sent ? "" : EXCHANGE_DROPPED, text, size);
}

void log_engine_line(const EngineProcess& engine, const char* line) {
    std::lock_guard held(exchange_lock);
    if (log_file)
        add_lines(engine, exchange_moment(), EXCHANGE_FROM_ENGINE, "", line, std::strlen(line));
}

void close_exchange_log() {
    std::lock_guard held(exchange_lock);
    write_pending(true);
    if (log_file)
        std::fclose(log_file);
    log_file = nullptr;
    log_is_open = false;
    pending.clear();
    pending.shrink_to_fit();
}

bool merge_bridge_side_file(const std::string& log_path, const std::string& side_file,
                            uint64_t start, const char* name, int side) {
    std::string log;
    std::string records;
    if (!read_whole_file(log_path, log) || !read_whole_file(side_file, records))
        return false;
    const std::string merged = merge_bridge_records(log, records, start, name, side);
    std::FILE* file = create_private_text_file(log_path.c_str());
    if (!file)
        return false;
    const bool written = std::fwrite(merged.data(), 1, merged.size(), file) == merged.size();
    const bool closed = std::fclose(file) == 0;
    std::remove(side_file.c_str());
    return written && closed;
}
