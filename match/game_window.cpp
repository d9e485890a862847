#include "match/game_window.h"

#include "engine/engine_process.h"
#include "referee/window.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <pthread.h>
#include <utility>
#include <vector>

// Everything here is guarded by `lock`. The reader threads are told apart by their pthread
// ids, which the window's thread compares with EngineProcess::reader_thread: that field is
// written by start_engine on the window's thread, so only the window's thread reads it.
namespace {

struct Task {
    void (*fn)(void*);
    void* arg;
    pthread_t caller;
    bool done = false;
    bool refused = false;
};

// The referee's text for a refused move.
const char ILLEGAL_MOVE_TEXT[] = "illegal move!";

std::mutex lock;
std::condition_variable changed;
std::deque<Task*> tasks;
bool window_open = false;
bool move_refused = false;
std::vector<std::pair<pthread_t, uint32_t>> line_ticks; // latest line of each thread

// Whether the thread is the engine's reader.
bool is_reader_of(const EngineProcess& engine, pthread_t thread) {
    return engine.reader_thread != NO_HANDLE &&
           pthread_equal(static_cast<pthread_t>(engine.reader_thread), thread);
}

// The engine whose reader the thread is, or nullptr.
EngineProcess* engine_of_thread(pthread_t thread) {
    if (is_reader_of(engine1, thread))
        return &engine1;
    if (is_reader_of(engine2, thread))
        return &engine2;
    return nullptr;
}

// Notes that the calling thread has just handed over a line; caller holds `lock`.
void note_line(uint32_t tick) {
    const pthread_t self = pthread_self();
    for (auto& [thread, latest] : line_ticks) {
        if (pthread_equal(thread, self)) {
            latest = tick;
            return;
        }
    }
    line_ticks.emplace_back(self, tick);
}

} // namespace

void game_window_open() {
    std::lock_guard guard(lock);
    window_open = true;
    line_ticks.clear();
}

bool run_next_hand_off(uint32_t deadline_tick, HandOff& done) {
    std::unique_lock guard(lock);
    while (tasks.empty()) {
        const auto left = static_cast<int32_t>(deadline_tick - tick_count());
        if (left <= 0)
            return false;
        changed.wait_for(guard, std::chrono::milliseconds(left));
    }
    Task* task = tasks.front();
    tasks.pop_front();
    move_refused = false;
    guard.unlock();
    done.tick = tick_count();
    task->fn(task->arg);
    guard.lock();
    done.sender = engine_of_thread(task->caller);
    done.refused = move_refused;
    task->done = true;
    changed.notify_all();
    return true;
}

bool last_line_tick(const EngineProcess& engine, uint32_t& tick) {
    std::lock_guard guard(lock);
    for (const auto& [thread, latest] : line_ticks) {
        if (is_reader_of(engine, thread)) {
            tick = latest;
            return true;
        }
    }
    return false;
}

void game_window_close() {
    std::lock_guard guard(lock);
    window_open = false;
    for (Task* task : tasks)
        task->refused = true;
    tasks.clear();
    changed.notify_all();
}

void window_stop_clock_timer() {}

void window_arm_clock_timer(uint32_t) {}

void window_set_status_text(int, const char*) {
    std::lock_guard guard(lock);
    note_line(tick_count());
}

void window_request_repaint() {}

void window_show_message(const char* text, const char*) {
    // Shown only by a hand-off that the game loop runs; the end-of-game box needs no note.
    if (std::strcmp(text, ILLEGAL_MOVE_TEXT) == 0) {
        std::lock_guard guard(lock);
        move_refused = true;
    }
}

bool window_run_and_wait(void (*fn)(void*), void* arg) {
    std::unique_lock guard(lock);
    if (!window_open)
        return false;
    note_line(tick_count());
    Task task{fn, arg, pthread_self()};
    tasks.push_back(&task);
    changed.notify_all();
    changed.wait(guard, [&] { return task.done || task.refused; });
    return task.done;
}

uint32_t tick_count() {
    const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count());
}
