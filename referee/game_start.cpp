#include "referee/game_start.h"

#include "engine/engine_io.h"
#include "engine/engine_process.h"
#include "engine/protocol.h"
#include "referee/clock.h"
#include "referee/game_board.h"
#include "referee/window.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

const char PLAYER_PLACEHOLDER[] = "Игрок";

void start(EngineProcess& engine, const char* exe_name) {
    std::strncpy(engine.exe_name, exe_name, sizeof engine.exe_name - 1);
    engine.start_engine();
}

} // namespace

void send_setup_lines(EngineProcess& engine) {
    char line[PROTOCOL_LINE_SIZE];
    format_new_line(line, sizeof line, game_board.board_rows, game_board.board_cols);
    engine.send_line(line);
    // The start position reaches engines as moves; the rest of the rules only when they are
    // not the window program's, whose engines never see the line.
    RuleSet play = game_board.rules;
    play.start = StartPosition::empty;
    play.start_seed = 0;
    if (play != RuleSet{}) {
        format_rules_line(line, sizeof line, rule_set_text(play).c_str());
        engine.send_line(line);
    }
    format_increment_line(line, sizeof line, increment_of(engine));
    engine.send_line(line);
}

void start_game() {
    // The placeholders go up before any reader thread exists, so an engine's name line,
    // whenever it comes, always replaces them and is never overwritten by them.
    window_set_status_text(STATUS_SIDE1_NAME, PLAYER_PLACEHOLDER);
    window_set_status_text(STATUS_SIDE2_NAME, PLAYER_PLACEHOLDER);
    increment_ms = 10000;
    side1_clock_ms = 0;
    side2_clock_ms = 0;
    start(engine1, "Engine1.exe");
    start(engine2, "Engine2.exe");
    send_setup_lines(engine2);
    send_setup_lines(engine1);
    send_clock_block(engine1, side1_clock_ms, side2_clock_ms);
}

void quit_engines() {
    engine1.quit_engine();
    engine2.quit_engine();
}

void end_engines(int grace_ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(grace_ms);
    for (EngineProcess* engine : {&engine1, &engine2}) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        wait_engine_end(*engine, std::max<int>(static_cast<int>(left.count()), 0));
        kill_engine(*engine);
    }
}
