// The engine processes seam (EngineProcess's members in engine/engine_process.h, and
// engine/engine_io.h) as engines that record what they are sent; its other definition, the
// programs', is engine/engine_pipes.cpp with engine/engine_process.cpp.
#include "recording_engines.h"

#include "engine/engine_io.h"
#include "engine/engine_process.h"

#include <mutex>
#include <new>

EngineProcess engine1;
EngineProcess engine2;

namespace {

struct Record {
    bool present = false;
    bool started = false;
    std::vector<std::string> writes;
};

std::mutex lock;
Record records[2];
std::vector<std::string> both;

Record& record_of(const EngineProcess* engine) {
    return records[engine == &engine2 ? 1 : 0];
}

} // namespace

namespace recording_engines {

void reset(bool engine1_present, bool engine2_present) {
    std::lock_guard guard(lock);
    new (&engine1) EngineProcess();
    new (&engine2) EngineProcess();
    records[0] = Record{engine1_present, false, {}};
    records[1] = Record{engine2_present, false, {}};
    both.clear();
}

std::vector<std::string> writes(const EngineProcess& engine) {
    std::lock_guard guard(lock);
    return record_of(&engine).writes;
}

void clear_writes() {
    std::lock_guard guard(lock);
    records[0].writes.clear();
    records[1].writes.clear();
    both.clear();
}

std::vector<std::string> all_writes() {
    std::lock_guard guard(lock);
    return both;
}

} // namespace recording_engines

EngineProcess::EngineProcess() {}

int EngineProcess::start_engine() {
    std::lock_guard guard(lock);
    Record& record = record_of(this);
    record.started = record.present;
    running = record.present ? 1 : 0;
    return running;
}

int EngineProcess::send_line(const char* text) {
    std::lock_guard guard(lock);
    Record& record = record_of(this);
    if (!record.started)
        return 0;
    record.writes.emplace_back(text);
    both.push_back((this == &engine2 ? "2:" : "1:") + std::string(text));
    return 1;
}

const char* EngineProcess::read_line() {
    return nullptr;
}

int EngineProcess::quit_engine() {
    running = 0;
    return send_line("quit\n");
}

void close_engine_input(EngineProcess& engine) {
    std::lock_guard guard(lock);
    record_of(&engine).started = false;
}

bool wait_engine_end(EngineProcess&, int) {
    return true;
}

void kill_engine(EngineProcess& engine) {
    std::lock_guard guard(lock);
    record_of(&engine).started = false;
}
