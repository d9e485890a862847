#include "match/runner/worker.h"

#include "engine/engine_process.h"
#include "engine/protocol.h"
#include "match/records/replay.h"
#include "match/runner/engine_paths.h"
#include "referee/clock.h"
#include "referee/game_start.h"
#include "referee/windowless/windowless_game.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <cstring>

// The game being played, for the start-up that play_windowless_game runs.
namespace {

const MatchOptions* game_options = nullptr;
const Opening* game_opening = nullptr;
// How each engine is started; kept alive while it starts.
ProgramStart engine_starts[2];

// Points the engine object at its program before it starts.
void configure(EngineProcess& engine, ProgramStart& start, const EngineSpec& engine_setup) {
    std::strncpy(engine.exe_name, engine_setup.name.c_str(), sizeof engine.exe_name - 1);
    start = ProgramStart{};
    engine_command_line(engine_setup, start.program, start.arguments);
    start.directory = engine_setup.directory;
    engine.start = &start;
}

// The set-up lines, then the opening as move lines in playing order.
void send_game_start(EngineProcess& engine, const std::vector<Dot>& opening) {
    send_setup_lines(engine);
    for (const Dot& dot : opening) {
        char line[PROTOCOL_LINE_SIZE];
        format_move_line(line, sizeof line, dot.x, dot.y);
        engine.send_line(line);
    }
}

// The game's start-up, with the window's part held: the board with the opening, the
// clocks, both engines, and when both run the set-up lines, the opening and the first
// request to move. An engine that did not start loses, which the judge decides.
void start_match_game() {
    init_board();
    for (const Dot& dot : game_opening->dots) {
        last_move_cell = cell_index(dot.x, dot.y);
        place_dot(last_move_cell);
    }
    increment_ms = game_options->increment_ms;
    side1_clock_ms = 0;
    side2_clock_ms = 0;
    const int started1 = engine1.start_engine();
    const int started2 = engine2.start_engine();
    if (!started1 || !started2)
        return;
    send_game_start(engine2, game_opening->dots);
    send_game_start(engine1, game_opening->dots);
    if (side_to_move == 1)
        send_clock_block(engine1, side1_clock_ms, side2_clock_ms);
    else
        send_clock_block(engine2, side2_clock_ms, side1_clock_ms);
}

} // namespace

GameRecord play_game(const MatchOptions& options, const Opening& opening, int index) {
    GameRecord record;
    record.game = index;
    record.a_side = index % 2 == 0 ? 1 : 2;
    const EngineSpec& side1 = options.engines[record.a_side == 1 ? 0 : 1];
    const EngineSpec& side2 = options.engines[record.a_side == 1 ? 1 : 0];
    record.side1 = side1.name;
    record.side2 = side2.name;
    record.opening = opening.label;
    record.opening_dots = static_cast<int>(opening.dots.size());
    configure(engine1, engine_starts[0], side1);
    configure(engine2, engine_starts[1], side2);
    game_options = &options;
    game_opening = &opening;

    WindowlessOptions game;
    game.rules.decides = true;
    game.rules.time_forfeit = options.time_forfeit;
    game.rules.time_margin_ms = options.time_margin_ms;
    game.rules.stall_timeout_ms = options.stall_timeout_s * 1000;
    game.quit_grace_ms = QUIT_GRACE_MS;
    const uint32_t start = tick_count();
    play_windowless_game(game, start_match_game);

    const Verdict& decided = verdict();
    record.winner = decided.winner;
    record.reason = decided.reason;
    record.detail = decided.detail;
    record.dots = opening.dots;
    for (const PlayedMove& move : played_moves()) {
        record.dots.push_back({move.x, move.y});
        record.move_ms.push_back(move.ms);
    }
    record.duration_ms = tick_count() - start;
    record.score = side1_balance();
    record.clock_ms[0] = side1_clock_ms;
    record.clock_ms[1] = side2_clock_ms;
    record.referee_cpu_ms = own_cpu_ms();
    record.engines_cpu_ms = children_cpu_ms();
    return record;
}
