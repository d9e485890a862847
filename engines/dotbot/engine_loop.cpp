#include "engines/dotbot/engine_loop.h"

#include "engines/dotbot/commands.h"
#include "engines/dotbot/fast_bases.h"
#include "os/console.h"
#include "rules/rule_set.h"

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

// Longer lines are none of the referee's; they are read to their end and ignored.
constexpr int INPUT_LINE_SIZE = 256;

FastBoard board;
// The dots since "new", in order, so that a "rules" line can replay them under its rules.
std::vector<int32_t> played;
TurnInfo turn{-1, -1, false, 0, 0, 0, {}};
std::atomic<bool> stop_requested{false};

// Writes text to standard output at once: the referee waits for it.
void write_text(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

// Reads the next line into line without its "\n"; false at the end of input with nothing
// read. A line too long for the buffer is read to its end and flagged `overlong`, its text
// cut short.
bool read_input_line(char* line, size_t* length, bool* overlong) {
    size_t n = 0;
    int c = std::getc(stdin);
    if (c == EOF)
        return false;
    *overlong = false;
    for (; c != EOF && c != '\n'; c = std::getc(stdin)) {
        if (n < INPUT_LINE_SIZE - 1)
            line[n++] = static_cast<char>(c);
        else
            *overlong = true;
    }
    line[n] = '\0';
    *length = n;
    return true;
}

// Places a dot for the side to move and remembers it as the latest.
void play_cell(int32_t cell) {
    put_dot(board, cell);
    played.push_back(cell);
    turn.previous = turn.last;
    turn.last = cell;
}

// Places a relayed dot when the rules allow it; otherwise says so and leaves the board alone.
void follow_move(int64_t x, int64_t y, int32_t cell) {
    if (cell >= 0 && is_legal_move(board, cell)) {
        play_cell(cell);
        return;
    }
    char text[128];
    std::snprintf(text, sizeof text, "ignored move %lld %lld: not free here\n",
                  static_cast<long long>(x), static_cast<long long>(y));
    write_text(text);
}

// Sets the board up afresh under the rules of a "rules" line and replays the dots so far;
// rules that cannot be read change nothing, and say why.
void take_rules(std::string_view text) {
    RuleSet rules;
    std::string error;
    if (!parse_rule_set(text, rules, error)) {
        write_text(("cannot play rules " + std::string(text) + ": " + error + "\n").c_str());
        return;
    }
    const std::vector<int32_t> dots = played;
    setup_board(board, board.rows, board.cols, rules);
    played.clear();
    turn.last = turn.previous = -1;
    for (const int32_t cell : dots)
        follow_move(cell_x(board, cell), cell_y(board, cell), cell);
}

// The turn thread: chooses, plays and writes the move, then the engine's note. Every "go"
// gets an answer: a grounding where the rules have it, else a move, a choice that cannot
// be played replaced by the first legal cell; with none left the answer says so.
void play_turn(ChooseMove choose, TurnInfo asked) {
    MoveChoice choice = choose(board, asked, stop_requested);
    if (stop_requested.load())
        return;
    const bool standard = board.rules.kind == RuleKind::standard && board.grounded == 0;
    if (!(choice.ground && standard) &&
        (choice.cell < board.first_cell || choice.cell >= board.end_cell ||
         !is_legal_move(board, choice.cell))) {
        choice.cell = first_legal_cell(board);
        choice.ground = false;
    }
    char text[64 + NOTE_SIZE];
    if (choice.ground && standard) {
        ground(board);
        write_text("ground\n");
    } else if (choice.cell >= 0) {
        const int32_t x = cell_x(board, choice.cell);
        const int32_t y = cell_y(board, choice.cell);
        play_cell(choice.cell);
        std::snprintf(text, sizeof text, "move %d %d\n", static_cast<int>(x), static_cast<int>(y));
        write_text(text);
    } else {
        write_text("no free cell left\n");
    }
    if (choice.note[0] != '\0') {
        std::snprintf(text, sizeof text, "%.*s\n", NOTE_SIZE - 1, choice.note);
        write_text(text);
    }
}

// Handles one line other than "quit", with no turn thread running.
void handle_command(const Command& command, ChooseMove choose, std::thread& turn_thread) {
    char text[128];
    switch (command.kind) {
    case CommandKind::new_board:
        // A game under other rules than ours has its "rules" line after this one.
        if (board_fits(command.first, command.second)) {
            setup_board(board, static_cast<int32_t>(command.first),
                        static_cast<int32_t>(command.second));
            played.clear();
            turn.last = turn.previous = -1;
        } else {
            std::snprintf(text, sizeof text, "cannot play on %lld rows and %lld columns\n",
                          static_cast<long long>(command.first),
                          static_cast<long long>(command.second));
            write_text(text);
        }
        break;
    case CommandKind::rules:
        take_rules(command.text);
        break;
    case CommandKind::increment:
        turn.increment_ms = command.first;
        break;
    case CommandKind::movetime:
        turn.movetime_ms = command.first > 0 ? command.first : 0;
        break;
    case CommandKind::time:
        turn.own_ms = command.first;
        turn.clock_known = true;
        break;
    case CommandKind::otime:
        turn.other_ms = command.first;
        break;
    case CommandKind::move:
        follow_move(command.first, command.second,
                    point_cell(board, command.first, command.second));
        break;
    case CommandKind::go:
        turn.asked_at = std::chrono::steady_clock::now();
        turn_thread = std::thread(play_turn, choose, turn);
        break;
    case CommandKind::quit:
    case CommandKind::unknown:
        break;
    }
}

} // namespace

int run_engine(const char* name_line, ChooseMove choose) {
    use_binary_console();
    setup_board(board, FENDREL_ROWS, FENDREL_COLS);
    // One write, like every other line: in a log shared with another engine a line written
    // in pieces can be torn by the other's output.
    write_text((std::string(name_line) + "\n").c_str());

    std::thread turn_thread;
    char line[INPUT_LINE_SIZE];
    size_t length = 0;
    bool overlong = false;
    while (read_input_line(line, &length, &overlong)) {
        const Command command =
            overlong ? Command{CommandKind::unknown, 0, 0} : parse_command(line, length);
        if (command.kind == CommandKind::quit)
            break;
        if (turn_thread.joinable())
            turn_thread.join();
        handle_command(command, choose, turn_thread);
    }
    stop_requested.store(true);
    if (turn_thread.joinable())
        turn_thread.join();
    return 0;
}
