#include "referee/headless.h"

#include "engine/engine_process.h"
#include "referee/clock.h"
#include "referee/game_start.h"
#include "referee/held_window.h"
#include "referee/window.h"
#include "rules/board.h"

#include <cstdio>
#include <mutex>

// The window's part is played by run_headless_game's thread and by the readers' hand-offs,
// under window_part (referee/held_window.h), which also guards the timer and the loop's
// deadline below. The status texts have a lock of their own, as readers set them freely.
namespace {

bool timer_armed = false;
uint32_t timer_due = 0;
uint32_t last_hand_off = 0; // tick of the latest hand-off, from which a stall is measured
uint32_t stall_timeout_ms = 0;
bool loop_waits_for_ever = false;
uint32_t loop_deadline = 0;

std::mutex parts_lock;
bool echo = false;
std::string parts[6];

bool side_to_move_has_player() {
    return (side_to_move == 1 ? engine1 : engine2).running != 0;
}

int32_t count_dots() {
    int32_t dots = 0;
    for (int32_t i = first_cell; i < end_cell; ++i)
        dots += cell_owner[i] == 1 || cell_owner[i] == 2;
    return dots;
}

// Whether tick `a` comes before tick `b`, right across the tick count's wrap.
bool is_before(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b) < 0;
}

// After a reader's hand-off: the loop must look again when the game may be over or its
// timer is now due before the loop's own wait ends.
void after_hand_off() {
    last_hand_off = tick_count();
    const bool timer_sooner =
        timer_armed && (loop_waits_for_ever || is_before(timer_due, loop_deadline));
    if (board_full() || !side_to_move_has_player() || timer_sooner)
        wake_game_loop();
}

// Runs the timer until the game is over, cannot go on, or stalls; the readers run the moves.
HeadlessOutcome run_loop(std::unique_lock<std::mutex>& held) {
    for (;;) {
        if (board_full())
            return HeadlessOutcome::finished;
        if (!side_to_move_has_player())
            return HeadlessOutcome::no_player;
        const uint32_t now = tick_count();
        if (timer_armed && !is_before(now, timer_due)) {
            on_clock_timer();
            continue;
        }
        const uint32_t stall_at = last_hand_off + stall_timeout_ms;
        if (stall_timeout_ms && !is_before(now, stall_at))
            return HeadlessOutcome::stalled;

        loop_waits_for_ever = !timer_armed && !stall_timeout_ms;
        if (timer_armed && stall_timeout_ms)
            loop_deadline = is_before(timer_due, stall_at) ? timer_due : stall_at;
        else
            loop_deadline = timer_armed ? timer_due : stall_at;
        wait_in_held_window(held, loop_deadline, loop_waits_for_ever);
    }
}

} // namespace

HeadlessResult run_headless_game(const HeadlessOptions& options) {
    {
        std::lock_guard guard(parts_lock);
        echo = options.echo_status;
        for (auto& part : parts)
            part.clear();
    }
    std::unique_lock held = open_held_window();
    timer_armed = false;
    stall_timeout_ms = options.stall_timeout_ms;
    last_hand_off = tick_count();
    init_board();
    start_game();
    const HeadlessOutcome outcome = run_loop(held);
    close_held_window();
    quit_engines();
    return {outcome, side_to_move == 1 ? score : -score, count_dots()};
}

std::string headless_status_text(int part) {
    std::lock_guard guard(parts_lock);
    return parts[part];
}

void window_stop_clock_timer() {
    timer_armed = false;
}

void window_arm_clock_timer(uint32_t delay_ms) {
    timer_armed = true;
    timer_due = tick_count() + delay_ms;
}

void window_set_status_text(int part, const char* text) {
    std::lock_guard guard(parts_lock);
    parts[part] = text;
    if (echo)
        std::printf("status %d: %s\n", part, text);
}

void window_request_repaint() {}

void window_show_message(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

bool window_run_and_wait(void (*fn)(void*), void* arg) {
    return run_in_held_window(fn, arg, after_hand_off);
}
