#include "match/game_window.h"

#include "engine/engine_process.h"
#include "referee/held_window.h"
#include "referee/window.h"

#include <cstring>
#include <pthread.h>
#include <utility>
#include <vector>

// The judge and the refusal flag are guarded by window_part; the line ticks by a lock of
// their own, as readers note lines freely. The reader threads are told apart by their
// pthread ids, compared with EngineProcess::reader_thread: start_engine writes that field
// while the game loop holds the window's part, and readers read it under the same lock.
namespace {

// The referee's text for a refused move.
const char ILLEGAL_MOVE_TEXT[] = "illegal move!";

void (*game_judge)(const HandOff&) = nullptr;
HandOff running_hand_off;

std::mutex ticks_lock;
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

// Notes that the calling thread has just handed over a line.
void note_line(uint32_t tick) {
    std::lock_guard guard(ticks_lock);
    const pthread_t self = pthread_self();
    for (auto& [thread, latest] : line_ticks) {
        if (pthread_equal(thread, self)) {
            latest = tick;
            return;
        }
    }
    line_ticks.emplace_back(self, tick);
}

// Hands the hand-off that has just run on this reader's thread to the judge.
void judge_hand_off() {
    running_hand_off.sender = engine_of_thread(pthread_self());
    game_judge(running_hand_off);
}

} // namespace

std::unique_lock<std::mutex> game_window_open(void (*judge)(const HandOff&)) {
    {
        std::lock_guard guard(ticks_lock);
        line_ticks.clear();
    }
    std::unique_lock held = open_held_window();
    game_judge = judge;
    return held;
}

bool last_line_tick(const EngineProcess& engine, uint32_t& tick) {
    std::lock_guard guard(ticks_lock);
    for (const auto& [thread, latest] : line_ticks) {
        if (is_reader_of(engine, thread)) {
            tick = latest;
            return true;
        }
    }
    return false;
}

void game_window_close() {
    close_held_window();
}

void window_stop_clock_timer() {}

void window_arm_clock_timer(uint32_t) {}

void window_set_status_text(int, const char*) {
    note_line(tick_count());
}

void window_request_repaint() {}

void window_show_message(const char* text, const char*) {
    // Shown only by a hand-off; the end-of-game box needs no note.
    if (std::strcmp(text, ILLEGAL_MOVE_TEXT) == 0)
        running_hand_off.refused = true;
}

bool window_run_and_wait(void (*fn)(void*), void* arg) {
    const uint32_t tick = tick_count();
    note_line(tick);
    struct Run {
        void (*fn)(void*);
        void* arg;
        uint32_t tick;
    } run{fn, arg, tick};
    // The hand-off's tick and refusal are noted under the lock, around the hand-off itself.
    return run_in_held_window(
        [](void* context) {
            const Run* hand_off = static_cast<Run*>(context);
            running_hand_off = {nullptr, hand_off->tick, false};
            hand_off->fn(hand_off->arg);
        },
        &run, judge_hand_off);
}
