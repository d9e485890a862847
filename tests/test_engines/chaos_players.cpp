#include "chaos_players.h"

#include "engine/protocol.h"
#include "engine_streams.h"
#include "game_follower.h"
#include "os/console.h"
#include "os/file.h"
#include "os/process.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace {

// How many turns of refused moves the storm makes before it plays legally only.
constexpr int STORM_TURNS = 3;

std::string move_line(int32_t x, int32_t y) {
    return "move " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

// The dots the rule breakers know of: those the referee relayed and their own.
std::set<std::pair<int, int>> dots;

// Notes the dot of a "move" line from the referee.
void note_move(const std::string& line) {
    int x = 0;
    int y = 0;
    if (std::sscanf(line.c_str(), "move %d %d", &x, &y) == 2)
        dots.insert({x, y});
}

// Takes a free cell of the board's edge and writes it as a move line into text.
void add_edge_move(std::string& text) {
    for (int y = 0; y < followed_board.board_rows; ++y) {
        for (int x = 0; x < followed_board.board_cols; ++x) {
            const bool edge = y == 0 || y == followed_board.board_rows - 1 || x == 0 ||
                              x == followed_board.board_cols - 1;
            if (edge && dots.insert({x, y}).second) {
                text += move_line(x, y);
                return;
            }
        }
    }
}

// Where the legal mover looks first; it moves on after every move.
int32_t next_look = 0;
// The legal mover's latest point, which is taken from then on.
std::pair<int32_t, int32_t> latest_own{-1, -1};

// Places the first legal point from next_look on and gives its line; "" when none is left.
std::string legal_move() {
    const int32_t points = followed_board.board_cols * followed_board.board_rows;
    for (int32_t i = 0; i < points; ++i) {
        const int32_t point = (next_look + i) % points;
        const int32_t x = point % followed_board.board_cols;
        const int32_t y = point / followed_board.board_cols;
        if (is_legal_dot(followed_board, x, y)) {
            place_dot(followed_board, cell_index(followed_board, x, y));
            next_look = (point + 97) % points;
            latest_own = {x, y};
            return move_line(x, y);
        }
    }
    return "";
}

// The points of a side's half for the deaf and half movers: side 1 the columns left of the middle
// and the middle column's even rows, side 2 those right of it and the odd rows; column by column,
// top to bottom. Neither half can enclose anything of the other's.
std::vector<std::pair<int32_t, int32_t>> half_of(int side) {
    std::vector<std::pair<int32_t, int32_t>> points;
    const int32_t middle = followed_board.board_cols / 2;
    for (int32_t x = 0; x < followed_board.board_cols; ++x) {
        if (x == middle || (side == 1) != (x < middle))
            continue;
        for (int32_t y = 0; y < followed_board.board_rows; ++y)
            points.push_back({x, y});
    }
    for (int32_t y = side == 1 ? 0 : 1; y < followed_board.board_rows; y += 2)
        points.push_back({middle, y});
    return points;
}

// The side the referee gave the deaf engine, from what waits in its input without taking
// any of it: side 2 is told side 1's move before it is first asked.
int side_from_waiting_input() {
    for (;;) {
        char waiting[4096];
        const std::string text(
            waiting, static_cast<size_t>(peek_pipe(standard_stream(0), waiting, sizeof waiting)));
        const size_t asked = text.find("go\n");
        if (asked != std::string::npos)
            return text.find("move ") < asked ? 2 : 1;
        // A pipe that holds bytes stays readable, so only a fresh look tells of more.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// How many "go" lines wait in the input, untaken: how often the engine has been asked.
int times_asked() {
    static char waiting[65536];
    const std::string_view text(
        waiting, static_cast<size_t>(peek_pipe(standard_stream(0), waiting, sizeof waiting)));
    int asked = 0;
    for (size_t at = 0; (at = text.find("go\n", at)) != std::string_view::npos; at += 3)
        asked += at == 0 || text[at - 1] == '\n';
    return asked;
}

// The number of score lines ("4 ...") in a status trace, which grows: one per move applied.
int scores_in(const std::string& path) {
    const std::string text = whole_file(path);
    int scores = 0;
    for (size_t at = 0; (at = text.find("4 ", at)) != std::string::npos; at += 2)
        scores += at == 0 || text[at - 1] == '\n';
    return scores;
}

// A path beside the program when it is relative.
std::string beside_program(const std::string& path) {
    if (!path.empty() && (path[0] == '/' || path[0] == '\\' || path.find(':') != std::string::npos))
        return path;
    const std::string program = own_program_path();
    return program.substr(0, program.find_last_of("/\\") + 1) + path;
}

// Blocks for good: the engine ends only when it is killed.
[[noreturn]] void wait_to_be_killed() {
    std::mutex never;
    std::condition_variable unset;
    std::unique_lock lock(never);
    for (;;)
        unset.wait(lock);
}

} // namespace

int play_rule_breaker(const std::string& mode) {
    std::string line;
    while (next_input_line(line) && line != "quit") {
        if (line.rfind("move ", 0) == 0)
            note_move(line);
        if (line != "go")
            continue;
        std::string text;
        if (mode == "illegal") {
            const auto [x, y] = dots.empty() ? std::pair{0, 0} : *dots.begin();
            dots.insert({x, y});
            text = move_line(x, y);
        } else {
            add_edge_move(text);
            add_edge_move(text);
        }
        write_output(text);
    }
    return 0;
}

int play_legally() {
    return follow_and_answer(legal_move);
}

int play_half() {
    size_t played = 0;
    return follow_and_answer([&played] {
        // The rules core follows the game, so the side to move at "go" is the engine's own.
        const auto points = half_of(followed_board.side_to_move);
        if (played == points.size())
            return std::string();
        const auto [x, y] = points[played++];
        place_dot(followed_board, cell_index(followed_board, x, y));
        return move_line(x, y);
    });
}

int play_refuse_storm() {
    write_output("move -1 -1\n");
    int turns = 0;
    return follow_and_answer([&turns] {
        std::string text;
        if (turns++ < STORM_TURNS) {
            text = "move -1 -1\n";
            if (latest_own.first >= 0)
                text += move_line(latest_own.first, latest_own.second);
        }
        return text + legal_move();
    });
}

int play_deaf(const std::string& score_trace) {
    // Paced by the trace, the engine lets its pipe fill as soon as it can, as a Windows
    // pipe does; paced by its own input, the pipe must hold the whole game's requests.
    if (!score_trace.empty())
        shrink_pipe(standard_stream(0));
    const int side = side_from_waiting_input();
    const std::string trace = beside_program(score_trace);
    const auto points = half_of(side);
    for (size_t k = 0; k < points.size(); ++k) {
        // The k-th move answers the (k + 1)-th "go", which follows 2k moves (side 1 moves
        // first) or 2k + 1 (side 2).
        const int asked = static_cast<int>(k) + 1;
        const int applied = 2 * static_cast<int>(k) + side - 1;
        // Nothing signals bytes that wait untaken, nor a file that grows: look again soon.
        // How soon decides only how fast the game goes, never what it comes to.
        while (score_trace.empty() ? times_asked() < asked : scores_in(trace) < applied)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        write_output(move_line(points[k].first, points[k].second));
    }
    wait_to_be_killed();
}

int spawn_holder_and_exit() {
    ProgramStart holder;
    holder.program = own_program_path();
    holder.arguments = {"hold"};
    // Without a console of its own, which on Windows would open a window of its own.
    holder.without_console = true;
    ProcessInfo process;
    if (!start_program(holder, process))
        write_output("could not start the holder\n");
    return 0;
}

int hold_pipes() {
    wait_to_be_killed();
}
