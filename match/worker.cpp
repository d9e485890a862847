#include "match/worker.h"

#include "engine/engine_process.h"
#include "engine/protocol.h"
#include "match/child_process.h"
#include "match/game_window.h"
#include "match/replay.h"
#include "referee/clock.h"
#include "referee/game_start.h"
#include "referee/held_window.h"
#include "referee/move.h"
#include "referee/window.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <pthread.h>

namespace {

// Each engine's command line, kept alive while it starts.
std::vector<const char*> command_lines[2];

// The engine that plays a side.
EngineProcess& engine_of_side(int side) {
    return side == 1 ? engine1 : engine2;
}

// The clock of a side.
uint32_t& clock_of_side(int side) {
    return side == 1 ? side1_clock_ms : side2_clock_ms;
}

// Points the engine object at its program before it starts.
void configure(EngineProcess& engine, std::vector<const char*>& command,
               const EngineSpec& engine_setup) {
    std::strncpy(engine.exe_name, engine_setup.name.c_str(), sizeof engine.exe_name - 1);
    command.clear();
    command.push_back(engine_setup.command.c_str());
    for (const std::string& argument : engine_setup.arguments)
        command.push_back(argument.c_str());
    command.push_back(nullptr);
    engine.command = command.data();
    engine.working_directory =
        engine_setup.directory.empty() ? nullptr : engine_setup.directory.c_str();
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

// Records the end of the game.
void decide(GameRecord& record, int winner, const char* reason, std::string detail) {
    record.winner = winner;
    record.reason = reason;
    record.detail = std::move(detail);
}

// How long to wait for the exit status of an engine whose output has ended.
constexpr int EXIT_STATUS_WAIT_MS = 200;

// How an engine whose output ended went: its exit status once it has ended, which follows
// the end of its output closely unless it only closed the pipe.
std::string exit_detail(pid_t& pid) {
    int status = 0;
    if (pid > 0 && wait_for_child(pid, EXIT_STATUS_WAIT_MS, status)) {
        pid = -1;
        return describe_wait_status(status);
    }
    return "closed its output";
}

// Signed distance from tick `from` to tick `to`, right across the tick count's wrap.
int32_t ticks_between(uint32_t from, uint32_t to) {
    return static_cast<int32_t>(to - from);
}

struct GameLoop {
    const MatchOptions& options;
    GameRecord& record;
    pid_t pids[2];
    bool decided = false;
    // The game as it stood before the hand-off now running.
    int mover = 1;
    uint32_t turn_start = 0;
    int32_t last_cell = -1;
    // When the game loop's wait for news ends.
    uint32_t waits_until = 0;
};

// The game of this worker, for the judge, which runs on the readers' threads.
GameLoop* current_game = nullptr;

// Notes the game as the next hand-off will find it.
void note_game_state(GameLoop& loop) {
    loop.mover = side_to_move;
    loop.turn_start = turn_start_tick;
    loop.last_cell = last_move_cell;
}

// When the side to move loses unless it moves first, and whether that is on time or as
// stalled.
struct Deadline {
    uint32_t tick;
    bool on_time;
};

// The deadline of the side to move: its clock and the margin from the start of its turn,
// or the stall timeout from its latest line, whichever comes first.
Deadline turn_deadline(const GameLoop& loop) {
    const EngineProcess& mover = engine_of_side(side_to_move);
    uint32_t heard = turn_start_tick;
    uint32_t line = 0;
    if (last_line_tick(mover, line) && ticks_between(heard, line) > 0)
        heard = line;
    const uint32_t stall_at = heard + loop.options.stall_timeout_s * 1000;
    if (!loop.options.time_forfeit)
        return {stall_at, false};
    const uint64_t allowed = uint64_t{clock_of_side(side_to_move)} + loop.options.time_margin_ms;
    const uint32_t time_at =
        turn_start_tick + static_cast<uint32_t>(std::min<uint64_t>(allowed, INT32_MAX / 2));
    if (ticks_between(time_at, stall_at) < 0)
        return {stall_at, false};
    return {time_at, true};
}

// Records the move of a hand-off, if it made one, and decides the game when the hand-off
// was a refused move or an engine's end; true when it decided it.
bool judge_hand_off(GameLoop& loop, const HandOff& done) {
    if (last_move_cell != loop.last_cell) {
        loop.record.dots.push_back(dot_of_cell(last_move_cell));
        loop.record.move_ms.push_back(done.tick - loop.turn_start);
    }
    if (!done.sender)
        return false;
    const int side = done.sender == &engine1 ? 1 : 2;
    if (done.refused) {
        if (side == loop.mover)
            decide(loop.record, 3 - side, REASON_ILLEGAL, "a move the rules refuse");
        else
            decide(loop.record, 3 - side, REASON_OUT_OF_TURN,
                   "moved while the other side was to move");
        return true;
    }
    // Both engines run until the game is decided, so only an exit clears `running` here.
    if (!done.sender->running) {
        decide(loop.record, 3 - side, REASON_CRASH, exit_detail(loop.pids[side - 1]));
        return true;
    }
    return false;
}

// The judge of every hand-off, on the reader's thread under the window's part. A decided
// game refuses all later hand-offs at once. The game loop is woken only when it has
// something to do sooner than its wait would end: end the game, or watch a nearer deadline.
void judge_in_game(const HandOff& done) {
    GameLoop& loop = *current_game;
    if (loop.decided)
        return;
    loop.decided = judge_hand_off(loop, done);
    note_game_state(loop);
    if (loop.decided)
        game_window_close();
    if (loop.decided || board_full() ||
        ticks_between(turn_deadline(loop).tick, loop.waits_until) < 0)
        wake_game_loop();
}

// Decides the game against the side to move once its turn has run past the deadline;
// true when it has.
bool judge_deadline(GameLoop& loop) {
    const Deadline deadline = turn_deadline(loop);
    if (ticks_between(deadline.tick, tick_count()) < 0)
        return false;
    if (deadline.on_time)
        decide(loop.record, 3 - side_to_move, REASON_TIME,
               "clock used up by more than " + std::to_string(loop.options.time_margin_ms) + " ms");
    else
        decide(loop.record, 3 - side_to_move, REASON_STALL,
               "wrote nothing for " + std::to_string(loop.options.stall_timeout_s) + " s");
    return true;
}

// Referees until the game is decided: the hand-offs run on the readers' threads, while this
// thread ends the game when the board is full and watches the deadline of the side to move.
void referee_loop(GameLoop& loop, std::unique_lock<std::mutex>& held) {
    note_game_state(loop);
    for (;;) {
        if (loop.decided)
            return;
        if (board_full()) {
            const int32_t balance = side1_balance();
            decide(loop.record, balance > 0 ? 1 : balance < 0 ? 2 : 0, REASON_BOARD_FULL, "");
            return;
        }
        if (judge_deadline(loop))
            return;
        loop.waits_until = turn_deadline(loop).tick;
        wait_in_held_window(held, loop.waits_until, false);
    }
}

// Starts both engines and, when both run, sends them the set-up lines and the opening and
// asks the side to move; false when an engine could not be started, which decides the game.
bool start_engines(GameLoop& loop, const std::vector<Dot>& opening) {
    const int started1 = engine1.start_engine();
    const int started2 = engine2.start_engine();
    loop.pids[0] = started1 ? static_cast<pid_t>(engine1.process_info.process) : -1;
    loop.pids[1] = started2 ? static_cast<pid_t>(engine2.process_info.process) : -1;
    if (!started1 && !started2) {
        decide(loop.record, 0, REASON_CRASH, "neither engine could be started");
        return false;
    }
    if (!started1 || !started2) {
        decide(loop.record, started1 ? 1 : 2, REASON_CRASH, "could not be started");
        return false;
    }
    send_game_start(engine2, opening);
    send_game_start(engine1, opening);
    send_clock_block(engine_of_side(side_to_move), clock_of_side(side_to_move),
                     clock_of_side(3 - side_to_move));
    return true;
}

// Waits for the reader threads, which end with the engines' output. A process that an engine
// started and left behind may still hold that output open; the reader is then given up on,
// and ends with this process.
void join_readers() {
    timespec until{};
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += 1;
    for (EngineProcess* engine : {&engine1, &engine2}) {
        if (engine->reader_thread == NO_HANDLE)
            continue;
        const auto thread = static_cast<pthread_t>(engine->reader_thread);
        if (pthread_timedjoin_np(thread, nullptr, &until) != 0)
            pthread_detach(thread);
        engine->reader_thread = NO_HANDLE;
    }
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

    configure(engine1, command_lines[0], side1);
    configure(engine2, command_lines[1], side2);
    GameLoop loop{options, record, {-1, -1}};
    current_game = &loop;
    std::unique_lock held = game_window_open(judge_in_game);
    init_board();
    for (const Dot& dot : opening.dots) {
        last_move_cell = cell_index(dot.x, dot.y);
        place_dot(last_move_cell);
    }
    record.dots = opening.dots;
    increment_ms = options.increment_ms;
    side1_clock_ms = 0;
    side2_clock_ms = 0;
    const uint32_t start = tick_count();
    if (start_engines(loop, opening.dots))
        referee_loop(loop, held);
    game_window_close();
    quit_engines();
    held.unlock();
    std::vector<pid_t> alive;
    for (const pid_t pid : loop.pids)
        if (pid > 0)
            alive.push_back(pid);
    end_children(alive, QUIT_GRACE_MS);
    join_readers();

    record.duration_ms = tick_count() - start;
    record.score = side1_balance();
    record.clock_ms[0] = side1_clock_ms;
    record.clock_ms[1] = side2_clock_ms;
    record.referee_cpu_ms = own_cpu_ms();
    record.engines_cpu_ms = children_cpu_ms();
    return record;
}
