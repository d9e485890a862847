// A game no one watches, and the window seam (referee/window.h) defined for it; the seam's
// other definitions: the Qt window (ui/qt/window_seam_qt.cpp), the Win32 window
// (ui/win32/window_seam_win32.cpp) and the tests' recording window
// (tests/support/fake_window.cpp).
#include "referee/windowless/windowless_game.h"

#include "engine/engine_io.h"
#include "engine/engine_process.h"
#include "engine/engine_writer.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "referee/window.h"
#include "referee/windowless/held_window.h"

// The loop's wait and what a hand-off must wake it for are guarded by window_part_lock.
namespace {

bool loop_waits_for_ever = false;
uint32_t loop_waits_until = 0;

// How long a reader or writer may still run once its engine was ended: a process the engine
// left behind can hold its pipes open.
constexpr int READER_JOIN_MS = 1000;

bool side_to_move_has_player() {
    return (game_board.side_to_move == 1 ? engine1 : engine2).running != 0;
}

// After a reader's hand-off and its report: the loop must look again when the game may be
// over, or when the deadline of the side to move now comes before the loop's wait ends.
void after_hand_off() {
    uint32_t deadline = 0;
    const bool sooner = turn_deadline(deadline) &&
                        (loop_waits_for_ever || ticks_between(deadline, loop_waits_until) > 0);
    if (verdict().decided || board_full(game_board) || !side_to_move_has_player() || sooner)
        wake_game_loop();
}

// Referees until the game ends; the readers run the moves.
WindowlessOutcome run_loop(std::unique_lock<std::mutex>& held, const JudgeRules& rules) {
    for (;;) {
        if (verdict().decided)
            return WindowlessOutcome::decided;
        if (board_full(game_board)) {
            judge_board_full();
            return WindowlessOutcome::finished;
        }
        if (!side_to_move_has_player())
            return WindowlessOutcome::no_player;
        if (judge_deadline(tick_count()))
            return rules.decides ? WindowlessOutcome::decided : WindowlessOutcome::stalled;
        loop_waits_for_ever = !turn_deadline(loop_waits_until);
        wait_in_held_window(held, loop_waits_until, loop_waits_for_ever);
    }
}

// Waits for the readers and writers, which end with the engines' pipes.
void join_engine_threads() {
    for (EngineProcess* engine : {&engine1, &engine2}) {
        join_thread_within(engine->reader_thread, READER_JOIN_MS);
        close_engine_input(*engine);
        if (engine->writer)
            join_thread_within(engine->writer->thread, READER_JOIN_MS);
    }
}

} // namespace

WindowlessOutcome play_windowless_game(const WindowlessOptions& options,
                                       const std::function<void()>& start) {
    std::unique_lock held = open_held_window();
    open_judge(options.rules, options.on_move);
    start();
    const WindowlessOutcome outcome =
        judge_start() ? WindowlessOutcome::decided : run_loop(held, options.rules);
    close_held_window();
    quit_engines();
    held.unlock();
    end_engines(options.quit_grace_ms);
    join_engine_threads();
    return outcome;
}

void window_stop_clock_timer() {}

void window_arm_clock_timer(uint32_t) {}

void window_set_status_text(int, const char*) {}

void window_request_repaint() {}

void window_show_message(const char*, const char*) {}

bool window_run_and_wait(void (*fn)(void*), void* arg) {
    return run_in_held_window(fn, arg, after_hand_off);
}

void window_report_line(const LineReport& report) {
    if (judge_report(report))
        close_held_window();
}

uint32_t tick_count() {
    return monotonic_ms();
}
