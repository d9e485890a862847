#include "referee_fixture.h"

#include "board_diagram.h"
#include "engine/engine_events.h"
#include "fake_window.h"
#include "recording_engines.h"
#include "referee/clock.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "referee/move.h"

void RefereeTest::fresh_game(bool engine1_present, bool engine2_present) {
    reset_rules_state(game_board);
    fake_window::reset();
    recording_engines::reset(engine1_present, engine2_present);
    game_board.last_move_cell = 0;
    side1_clock_ms = side2_clock_ms = increment_ms = turn_start_tick = 0;
}

void RefereeTest::start_at(uint32_t tick) {
    fake_window::set_tick(tick);
    start_game();
}

void RefereeTest::engine_moves_at(uint32_t tick, EngineProcess& sender, int32_t x, int32_t y) {
    fake_window::set_tick(tick);
    engine_moved(sender, x, y);
}

std::vector<std::string> RefereeTest::writes(const EngineProcess& engine) {
    return recording_engines::writes(engine);
}
