#include "referee/move.h"

#include "engine/engine_process.h"
#include "engine/protocol.h"
#include "referee/clock.h"
#include "referee/game_board.h"
#include "referee/window.h"
#include "rules/capture.h"
#include "rules/standard_bases.h"

#include <cstdio>

namespace {

const char ILLEGAL_MOVE_TEXT[] = "illegal move!";
const char ILLEGAL_MOVE_CAPTION[] = "error";
const char GAME_OVER_TEXT[] = "Игра окончена";
const char GAME_OVER_CAPTION[] = "Сообщение";

void show_score() {
    char text[16];
    std::snprintf(
        text, sizeof text, "%d",
        static_cast<int>(game_board.side_to_move == 1 ? game_board.score : -game_board.score));
    window_set_status_text(STATUS_SCORE, text);
}

// Hands the turn to the side now to move: the relayed move, then its clock block.
void hand_over(int32_t x, int32_t y) {
    char line[PROTOCOL_LINE_SIZE];
    format_move_line(line, sizeof line, x, y);
    if (game_board.side_to_move == 1)
        send_clock_block(engine1, side1_clock_ms, side2_clock_ms, line);
    else
        send_clock_block(engine2, side2_clock_ms, side1_clock_ms, line);
    update_clock_display();
}

// Why is_legal_dot refused (x, y).
Refusal refusal_of(int32_t x, int32_t y) {
    if (board_full(game_board))
        return Refusal::game_over;
    const int64_t cell = exact_cell_index(game_board, x, y);
    if (cell < game_board.first_cell || cell >= game_board.end_cell ||
        game_board.cell_owner[cell] == CELL_BORDER)
        return Refusal::border;
    if (game_board.cell_owner[cell] != CELL_EMPTY)
        return Refusal::occupied;
    return game_board.cell_enclosed[cell] != 0 ? Refusal::enclosed : Refusal::suicide;
}

} // namespace

void show_move_result(const MoveResult& result) {
    if (result.refusal != Refusal::none)
        window_show_message(ILLEGAL_MOVE_TEXT, ILLEGAL_MOVE_CAPTION);
    else if (result.game_over)
        window_show_message(GAME_OVER_TEXT, GAME_OVER_CAPTION);
}

MoveResult play_move(int32_t x, int32_t y) {
    const uint32_t now = tick_count();
    if (!is_legal_dot(game_board, x, y))
        return {refusal_of(x, y), false};
    const int32_t cell = cell_index(game_board, x, y);
    window_stop_clock_timer();
    const uint32_t charged = charge_mover_clock(now);
    game_board.last_move_cell = cell;
    place_dot(game_board, cell);
    show_score();
    window_request_repaint();
    if (board_full(game_board))
        return {Refusal::none, true, charged};
    hand_over(x, y);
    return {Refusal::none, false, charged};
}

MoveResult play_ground() {
    const uint32_t now = tick_count();
    if (board_full(game_board))
        return {Refusal::game_over, false};
    window_stop_clock_timer();
    const uint32_t charged = charge_mover_clock(now);
    ground(game_board);
    show_score();
    window_request_repaint();
    return {Refusal::none, true, charged};
}

int make_move(int32_t x, int32_t y) {
    const MoveResult result = play_move(x, y);
    show_move_result(result);
    return result.refusal == Refusal::none ? 1 : 0;
}
