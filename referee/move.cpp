#include "referee/move.h"

#include "engine/engine_io.h"
#include "engine/engine_process.h"
#include "engine/protocol.h"
#include "referee/clock.h"
#include "referee/window.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <cstdio>
#include <cstring>

int32_t last_move_cell;

namespace {

const char ILLEGAL_MOVE_TEXT[] = "illegal move!";
const char ILLEGAL_MOVE_CAPTION[] = "error";
const char GAME_OVER_TEXT[] = "Игра окончена";
const char GAME_OVER_CAPTION[] = "Сообщение";

EngineProcess& engine_of(int32_t side) {
    return side == 1 ? engine1 : engine2;
}

void show_score() {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(side_to_move == 1 ? score : -score));
    window_set_status_text(4, text);
}

// Hands the turn to the side now to move: the relayed move, then its clock block.
void hand_over(int32_t x, int32_t y) {
    char line[PROTOCOL_LINE_SIZE];
    format_move_line(line, sizeof line, x, y);
    if (side_to_move == 1)
        send_clock_block(engine1, side1_clock_ms, side2_clock_ms, line);
    else
        send_clock_block(engine2, side2_clock_ms, side1_clock_ms, line);
    update_clock_display();
}

struct EngineMove {
    EngineProcess* sender;
    int32_t x;
    int32_t y;
};

void apply_engine_move(void* context) {
    const auto* move = static_cast<EngineMove*>(context);
    // Only the engine of the side to move may move; anything else would place a dot for
    // its opponent.
    if (move->sender != &engine_of(side_to_move)) {
        window_show_message(ILLEGAL_MOVE_TEXT, ILLEGAL_MOVE_CAPTION);
        return;
    }
    make_move(move->x, move->y);
}

void refuse_move_line(void*) {
    window_show_message(ILLEGAL_MOVE_TEXT, ILLEGAL_MOVE_CAPTION);
}

void note_engine_exit(void* context) {
    auto* engine = static_cast<EngineProcess*>(context);
    // The engine may still hold its input for a moment as it exits; from here on nothing is
    // written to it.
    close_engine_input(*engine);
    // An engine told to quit is expected to end; only an unexpected end is reported.
    if (!engine->running)
        return;
    engine->running = 0;
    char text[sizeof engine->exe_name + 8];
    std::snprintf(text, sizeof text, "%s exited", engine->exe_name);
    window_set_status_text(5, text);
}

} // namespace

int make_move(int32_t x, int32_t y) {
    const uint32_t now = tick_count();
    if (!is_legal_dot(x, y)) {
        window_show_message(ILLEGAL_MOVE_TEXT, ILLEGAL_MOVE_CAPTION);
        return 0;
    }
    const int32_t cell = cell_index(x, y);
    window_stop_clock_timer();
    charge_mover_clock(now);
    last_move_cell = cell;
    place_dot(cell);
    show_score();
    window_request_repaint();
    if (board_full()) {
        window_show_message(GAME_OVER_TEXT, GAME_OVER_CAPTION);
        return 1;
    }
    hand_over(x, y);
    return 1;
}

void deliver_engine_move(EngineProcess& sender, int32_t x, int32_t y) {
    EngineMove move{&sender, x, y};
    window_run_and_wait(apply_engine_move, &move);
}

void deliver_bad_move_line(EngineProcess&) {
    window_run_and_wait(refuse_move_line, nullptr);
}

void deliver_engine_exit(EngineProcess& engine) {
    window_run_and_wait(note_engine_exit, &engine);
}
