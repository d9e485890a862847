#include "match/runner/worker.h"

#include "engine/engine_process.h"
#include "engine/exchange_log.h"
#include "engine/protocol.h"
#include "match/runner/engine_paths.h"
#include "match/runner/schedule.h"
#include "records/live_game.h"
#include "records/replay.h"
#include "referee/clock.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "referee/windowless/windowless_game.h"
#include "rules/capture.h"

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The game's exchange log, and the side file of each side's bridge, in the game's folder.
constexpr const char EXCHANGE_LOG[] = "exchange.txt";
std::string bridge_side_file(int side) {
    return current_directory() + "/exchange-bridge" + std::to_string(side) + ".txt";
}

// Points the engine object at its program before it starts; a bridge keeps its part of the
// exchange log in its side file when there is a log.
void configure(EngineProcess& engine, ProgramStart& start, const EngineSpec& engine_setup, int side,
               bool logs) {
    std::strncpy(engine.exe_name, engine_setup.name.c_str(), sizeof engine.exe_name - 1);
    start = ProgramStart{};
    engine_command_line(engine_setup, start.program, start.arguments, start.environment_changes,
                        logs ? bridge_side_file(side) : "");
    start.directory = engine_setup.directory;
    engine.start = &start;
}

// The set-up lines (with "movetime" when the engine is asked for a fixed time per move),
// then the opening as move lines in playing order.
void send_game_start(EngineProcess& engine, const EngineSpec& engine_setup,
                     const std::vector<Dot>& opening) {
    send_setup_lines(engine);
    if (engine_setup.movetime_ms) {
        char line[PROTOCOL_LINE_SIZE];
        format_movetime_line(line, sizeof line, engine_setup.movetime_ms);
        engine.send_line(line);
    }
    for (const Dot& dot : opening) {
        char line[PROTOCOL_LINE_SIZE];
        format_move_line(line, sizeof line, dot.x, dot.y);
        engine.send_line(line);
    }
}

// The game's start-up, with the window's part held: the board with the opening, the
// clocks, both engines, and when both run the set-up lines, the opening and the first
// request to move. An engine that did not start loses, which the judge decides.
void start_match_game(const MatchOptions& options, const Opening& opening, const EngineSpec& side1,
                      const EngineSpec& side2) {
    init_board(game_board, options.board_cols, options.board_rows, options.rules);
    for (const Dot& dot : opening.dots) {
        game_board.last_move_cell = cell_index(game_board, dot.x, dot.y);
        place_dot(game_board, game_board.last_move_cell);
    }
    increment_ms = options.increment_ms;
    side_increment_ms[0] = side1.increment_ms;
    side_increment_ms[1] = side2.increment_ms;
    side1_clock_ms = 0;
    side2_clock_ms = 0;
    const int started1 = engine1.start_engine();
    const int started2 = engine2.start_engine();
    if (!started1 || !started2)
        return;
    send_game_start(engine2, side2, opening.dots);
    send_game_start(engine1, side1, opening.dots);
    if (game_board.side_to_move == 1)
        send_clock_block(engine1, side1_clock_ms, side2_clock_ms);
    else
        send_clock_block(engine2, side2_clock_ms, side1_clock_ms);
}

// A game's file for a watcher, written a line at a time as the game goes (records/live_game.h);
// nothing when it has no path or cannot be made, which the game does not wait on.
class LiveFile {
  public:
    LiveFile(const std::string& path, const GameRecord& before)
        : fd(path.empty() ? -1
                          : open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {
        write(live_header_line(before));
    }
    ~LiveFile() {
        if (fd >= 0)
            close(fd);
    }
    LiveFile(const LiveFile&) = delete;
    LiveFile& operator=(const LiveFile&) = delete;

    // One whole line in one write, so that a reader sees whole lines or a last one cut short.
    void write(const std::string& line) const {
        if (fd >= 0 && ::write(fd, line.data(), line.size()) < 0) {
            // A watcher's file is no part of the record: the game goes on without it.
        }
    }

  private:
    int fd;
};

} // namespace

GameRecord play_game(const MatchOptions& options, const Opening& opening, int index,
                     const std::string& live_path) {
    GameRecord record;
    record.game = index;
    const ScheduledGame scheduled = scheduled_game(options, index);
    record.a_side = scheduled.a_side;
    const EngineSpec& first = options.engines[static_cast<size_t>(scheduled.pairing.first)];
    const EngineSpec& second = options.engines[static_cast<size_t>(scheduled.pairing.second)];
    const EngineSpec& side1 = record.a_side == 1 ? first : second;
    const EngineSpec& side2 = record.a_side == 1 ? second : first;
    record.side1 = side1.name;
    record.side2 = side2.name;
    record.opening = opening.label;
    record.board_cols = options.board_cols;
    record.board_rows = options.board_rows;
    record.rules = options.rules;
    record.opening_dots = static_cast<int>(opening.dots.size());
    const bool logs = !options.logs_dir.empty();
    // How each engine is started; the engine objects point at these until the game ends.
    ProgramStart starts[2];
    configure(engine1, starts[0], side1, 1, logs);
    configure(engine2, starts[1], side2, 2, logs);

    record.increment_ms[0] = side1.increment_ms ? side1.increment_ms : options.increment_ms;
    record.increment_ms[1] = side2.increment_ms ? side2.increment_ms : options.increment_ms;
    record.dots = opening.dots;
    const LiveFile live(live_path, record);
    WindowlessOptions game;
    game.on_move = [&live](const PlayedMove& move) {
        live.write(live_move_line({move.x, move.y}, move.ground, game_board.grounded, move.ms));
    };
    game.rules.decides = true;
    game.rules.time_forfeit = options.time_forfeit;
    game.rules.time_margin_ms = options.time_margin_ms;
    game.rules.stall_timeout_ms = options.stall_timeout_s * 1000;
    game.quit_grace_ms = QUIT_GRACE_MS;
    const uint32_t start = tick_count();
    // The exchange log's moments count from the same start as the game's duration.
    const bool exchange = logs && open_exchange_log(EXCHANGE_LOG);
    play_windowless_game(game, [&] { start_match_game(options, opening, side1, side2); });
    // The starts end with this call.
    engine1.start = nullptr;
    engine2.start = nullptr;
    if (exchange)
        close_exchange_log();

    const Verdict& decided = verdict();
    record.winner = decided.winner;
    record.reason = decided.reason;
    record.detail = decided.detail;
    for (const PlayedMove& move : played_moves()) {
        if (!move.ground)
            record.dots.push_back({move.x, move.y});
        record.move_ms.push_back(move.ms);
    }
    record.grounded = game_board.grounded;
    record.duration_ms = tick_count() - start;
    record.score = side1_balance(game_board);
    record.clock_ms[0] = side1_clock_ms;
    record.clock_ms[1] = side2_clock_ms;
    record.referee_cpu_ms = own_cpu_ms();
    // Each engine's own, as it was reaped; one that never ran took none.
    for (int side = 0; side < 2; ++side) {
        const int64_t cpu = (side == 0 ? engine1 : engine2).process_info.cpu_ms;
        record.side_cpu_ms[side] = cpu > 0 ? cpu : 0;
    }
    record.engines_cpu_ms = record.side_cpu_ms[0] + record.side_cpu_ms[1];
    // The bridges have ended: their parts of the exchange go into the log, in time order.
    if (exchange) {
        const EngineSpec* sides[2] = {&side1, &side2};
        for (int side = 1; side <= 2; ++side)
            if (sides[side - 1]->protocol != "line")
                merge_bridge_side_file(EXCHANGE_LOG, bridge_side_file(side),
                                       exchange_log_start_us(),
                                       (side == 1 ? engine1 : engine2).exe_name, side);
    }
    return record;
}
