#include "referee/headless.h"

#include "engine/engine_process.h"
#include "referee/clock.h"
#include "referee/game_start.h"
#include "referee/window.h"
#include "rules/board.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

// The window's part, played by the thread inside run_headless_game. Reader threads queue
// their work and wait for it; everything in the queue, the timer and the status texts is
// guarded by `lock`. The game state itself is touched only by the window's thread.
namespace {

struct Task {
    void (*fn)(void*);
    void* arg;
    bool done = false;
    bool refused = false;
};

std::mutex lock;
std::condition_variable changed;
std::deque<Task*> tasks;
std::thread::id window_thread;
bool window_open = false;
bool timer_armed = false;
uint32_t timer_due = 0;
bool echo = false;
std::string parts[6];

// Refuses all queued and future work, waking every reader that waits.
void close_window() {
    std::lock_guard guard(lock);
    window_open = false;
    for (Task* task : tasks)
        task->refused = true;
    tasks.clear();
    changed.notify_all();
}

bool is_game_over() { return board_full(); }

bool side_to_move_has_player() {
    return (side_to_move == 1 ? engine1 : engine2).running != 0;
}

int32_t count_dots() {
    int32_t dots = 0;
    for (int32_t i = first_cell; i < end_cell; ++i)
        dots += cell_owner[i] == 1 || cell_owner[i] == 2;
    return dots;
}

// Runs the queue and the timer until the game is over, cannot go on, or stalls.
HeadlessOutcome run_loop(uint32_t stall_timeout_ms) {
    using Clock = std::chrono::steady_clock;
    auto last_activity = Clock::now();
    std::unique_lock guard(lock);
    for (;;) {
        if (is_game_over())
            return HeadlessOutcome::finished;
        if (!side_to_move_has_player())
            return HeadlessOutcome::no_player;

        if (!tasks.empty()) {
            Task* task = tasks.front();
            tasks.pop_front();
            guard.unlock();
            task->fn(task->arg);
            guard.lock();
            task->done = true;
            changed.notify_all();
            last_activity = Clock::now();
            continue;
        }
        if (timer_armed && static_cast<int32_t>(tick_count() - timer_due) >= 0) {
            guard.unlock();
            on_clock_timer();
            guard.lock();
            continue;
        }

        auto wake = Clock::time_point::max();
        if (timer_armed)
            wake = Clock::now() + std::chrono::milliseconds(static_cast<int32_t>(timer_due - tick_count()));
        if (stall_timeout_ms) {
            const auto stall_at = last_activity + std::chrono::milliseconds(stall_timeout_ms);
            if (Clock::now() >= stall_at)
                return HeadlessOutcome::stalled;
            wake = std::min(wake, stall_at);
        }
        if (wake == Clock::time_point::max())
            changed.wait(guard);
        else
            changed.wait_until(guard, wake);
    }
}

}  // namespace

HeadlessResult run_headless_game(const HeadlessOptions& options) {
    {
        std::lock_guard guard(lock);
        window_thread = std::this_thread::get_id();
        window_open = true;
        timer_armed = false;
        echo = options.echo_status;
    }
    init_board();
    start_game();
    const HeadlessOutcome outcome = run_loop(options.stall_timeout_ms);
    close_window();
    quit_engines();
    return {outcome, side_to_move == 1 ? score : -score, count_dots()};
}

std::string headless_status_text(int part) {
    std::lock_guard guard(lock);
    return parts[part];
}

void window_stop_clock_timer() {
    std::lock_guard guard(lock);
    timer_armed = false;
}

void window_arm_clock_timer(uint32_t delay_ms) {
    std::lock_guard guard(lock);
    timer_armed = true;
    timer_due = tick_count() + delay_ms;
}

void window_set_status_text(int part, const char* text) {
    std::lock_guard guard(lock);
    parts[part] = text;
    if (echo)
        std::printf("status %d: %s\n", part, text);
}

void window_request_repaint() {}

void window_show_message(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

bool window_run_and_wait(void (*fn)(void*), void* arg) {
    std::unique_lock guard(lock);
    if (std::this_thread::get_id() == window_thread) {
        guard.unlock();
        fn(arg);
        return true;
    }
    if (!window_open)
        return false;
    Task task{fn, arg};
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
