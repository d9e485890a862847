#include "referee/clock.h"

#include "engine/engine_process.h"
#include "engine/protocol.h"
#include "referee/game_board.h"
#include "referee/window.h"

#include <cstdio>

uint32_t side1_clock_ms;
uint32_t side2_clock_ms;
uint32_t increment_ms;
uint32_t side_increment_ms[2];
uint32_t turn_start_tick;

namespace {

uint32_t& clock_of_side_to_move() {
    return game_board.side_to_move == 1 ? side1_clock_ms : side2_clock_ms;
}

// Remaining time in whole seconds: rounded half up from 0 on, truncated toward zero below.
int32_t rounded_seconds(int32_t remaining_ms) {
    return remaining_ms / 1000 + (remaining_ms % 1000 >= 500 ? 1 : 0);
}

} // namespace

uint32_t increment_of(const EngineProcess& engine) {
    const uint32_t own = side_increment_ms[&engine == &engine1 ? 0 : 1];
    return own != 0 ? own : increment_ms;
}

void send_clock_block(EngineProcess& engine, uint32_t& own_clock, uint32_t opponent_clock_ms,
                      const char* leading_line) {
    own_clock += increment_of(engine);
    char text[2 * PROTOCOL_LINE_SIZE];
    const int leading = std::snprintf(text, PROTOCOL_LINE_SIZE, "%s", leading_line);
    format_clock_block(text + leading, sizeof text - leading, own_clock, opponent_clock_ms);
    engine.send_line(text);
    turn_start_tick = tick_count();
}

uint32_t charge_mover_clock(uint32_t now) {
    // Unsigned difference: right even when the tick count wrapped during the turn.
    uint32_t elapsed = now - turn_start_tick;
    uint32_t& clock = clock_of_side_to_move();
    if (elapsed > clock)
        elapsed = clock;
    clock -= elapsed;
    return elapsed;
}

void format_clock_text(int32_t remaining_ms, char* text, int size) {
    if (remaining_ms < 0) {
        std::snprintf(text, size, "-:--");
        return;
    }
    const int32_t seconds = rounded_seconds(remaining_ms);
    std::snprintf(text, size, "%d:%02d", static_cast<int>(seconds / 60),
                  static_cast<int>(seconds % 60));
}

uint32_t clock_refresh_delay(int32_t remaining_ms) {
    // Due when the remaining time reaches the next lower whole second: 1 to 1499 ms. In 64
    // bits, since 1000 times the seconds of a remaining time near the limits overflows 32.
    return static_cast<uint32_t>(int64_t{remaining_ms} -
                                 1000 * int64_t{rounded_seconds(remaining_ms)} + 1000);
}

void update_clock_display() {
    const uint32_t used = tick_count() - turn_start_tick;
    const auto remaining = static_cast<int32_t>(clock_of_side_to_move() - used);
    char text[32];
    format_clock_text(remaining, text, sizeof text);
    window_set_status_text(game_board.side_to_move == 1 ? STATUS_SIDE1_CLOCK : STATUS_SIDE2_CLOCK,
                           text);
    window_arm_clock_timer(clock_refresh_delay(remaining));
}

void on_clock_timer() {
    window_stop_clock_timer();
    update_clock_display();
}
