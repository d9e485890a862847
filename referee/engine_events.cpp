// What the referee does with each engine line: the engine events seam
// (engine/engine_events.h), defined here alone, for every program and test. Names and messages
// go to the status bar from the reader's thread; moves, refused move lines and the end of
// an engine's output are hand-offs, run on the window's thread while the reader waits. The
// window hears of each line's outcome in a report, after the line has done its work. The
// box a move calls for is shown by the reader itself once its hand-off is over: it holds
// up that engine's reading alone, never the window or the other engine.
#include "engine/engine_events.h"

#include "engine/engine_process.h"
#include "engine/protocol.h"
#include "referee/game_board.h"
#include "referee/move.h"
#include "referee/window.h"

#include <cstdio>
#include <cstring>

namespace {

int side_of(const EngineProcess& engine) {
    return &engine == &engine1 ? 1 : 2;
}

// A hand-off of one line, filled in by the reader and completed on the window's thread.
struct HandOff {
    EngineProcess* engine;
    int32_t x = 0;
    int32_t y = 0;
    uint32_t tick = 0;   // when the reader took the line
    MoveResult result{}; // what the move came to, for its box
};

void report(const HandOff& hand_off, LineOutcome outcome, Refusal refusal, bool ends_game) {
    window_report_line({side_of(*hand_off.engine), outcome, refusal, ends_game, hand_off.tick,
                        nullptr, hand_off.result.charged_ms});
}

void apply_engine_move(void* context) {
    auto& move = *static_cast<HandOff*>(context);
    // Only the engine of the side to move may move; anything else would place a dot for
    // its opponent.
    move.result = side_of(*move.engine) != game_board.side_to_move
                      ? MoveResult{Refusal::out_of_turn, false}
                      : play_move(move.x, move.y);
    const bool applied = move.result.refusal == Refusal::none;
    report(move, applied ? LineOutcome::applied : LineOutcome::refused, move.result.refusal,
           move.result.game_over);
}

void apply_engine_ground(void* context) {
    auto& ground = *static_cast<HandOff*>(context);
    ground.result = side_of(*ground.engine) != game_board.side_to_move
                        ? MoveResult{Refusal::out_of_turn, false}
                        : play_ground();
    const bool applied = ground.result.refusal == Refusal::none;
    report(ground, applied ? LineOutcome::grounded : LineOutcome::refused, ground.result.refusal,
           ground.result.game_over);
}

void refuse_move_line(void* context) {
    auto& line = *static_cast<HandOff*>(context);
    line.result = {Refusal::unparsable, false};
    report(line, LineOutcome::refused, Refusal::unparsable, false);
}

void note_engine_exit(void* context) {
    const auto& hand_off = *static_cast<HandOff*>(context);
    EngineProcess& engine = *hand_off.engine;
    // An engine told to quit is expected to end; only an unexpected end is shown.
    if (engine.running) {
        engine.running = 0;
        char text[sizeof engine.exe_name + 8];
        std::snprintf(text, sizeof text, "%s exited", engine.exe_name);
        window_set_status_text(STATUS_MESSAGE, text);
    }
    report(hand_off, LineOutcome::output_ended, Refusal::none, false);
}

// Runs the hand-off on the window's thread and waits for it; then, on the reader's own
// thread, the box its move calls for.
void hand_over(void (*work)(void*), HandOff hand_off) {
    hand_off.tick = tick_count();
    if (window_run_and_wait(work, &hand_off))
        show_move_result(hand_off.result);
}

} // namespace

void engine_named(EngineProcess& engine, const char* name) {
    window_set_status_text(&engine == &engine1 ? STATUS_SIDE1_NAME : STATUS_SIDE2_NAME, name);
    window_report_line({side_of(engine), LineOutcome::name, Refusal::none, false, tick_count()});
}

void engine_moved(EngineProcess& engine, int32_t x, int32_t y) {
    hand_over(apply_engine_move, {&engine, x, y});
}

void engine_sent_bad_move(EngineProcess& engine, const char*) {
    hand_over(refuse_move_line, {&engine});
}

void engine_said(EngineProcess& engine, const char* line) {
    // Under rules with grounding, "ground" is the engine's move; elsewhere a message like any
    // other. The rules stay as set up before the engines started.
    if (game_board.rules.kind == RuleKind::standard && std::strcmp(line, GROUND_LINE) == 0) {
        hand_over(apply_engine_ground, {&engine});
        return;
    }
    window_set_status_text(STATUS_MESSAGE, line);
    window_report_line(
        {side_of(engine), LineOutcome::message, Refusal::none, false, tick_count(), line});
}

void engine_output_ended(EngineProcess& engine) {
    hand_over(note_engine_exit, {&engine});
}
