// fendrel-board: a game of fendrel-match for a person. "follow" shows a game's progress
// from its engine log while the match runs; "show" prints the finished game's board and
// outcome from the results file and saves the board as the window draws it.
#include "match/board/board_png.h"
#include "match/board/board_text.h"
#include "match/board/log_follow.h"
#include "match/records/replay.h"
#include "match/records/results_file.h"
#include "rules/board.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

const char USAGE[] =
    "usage: fendrel-board follow LOG < OUTPUT\n"
    "         shows the progress of the game whose engine log is LOG (it may not exist\n"
    "         yet) until standard input ends: pipe the match's output in\n"
    "       fendrel-board show RESULTS PNG\n"
    "         prints the board and the outcome of the last game in the results file and\n"
    "         saves its board picture as PNG\n";

// How often the log is read while the game runs.
constexpr int FOLLOW_POLL_MS = 200;
// A redrawn line stays within a terminal's 80 columns, so that it never wraps.
constexpr size_t REDRAWN_LINE_LIMIT = 79;
// Without a terminal to redraw a line on, a line is printed every this many moves.
constexpr int MOVES_PER_PRINTED_LINE = 100;

// Milliseconds since `start`.
int64_t elapsed_ms(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// Reads what the log has gained since the last call, opening it once it exists.
void read_new_log_bytes(const char* path, int& fd, FollowedGame& game) {
    if (fd < 0)
        fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    char buffer[65536];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        follow_log_bytes(game, buffer, static_cast<size_t>(got));
}

// Whether standard input is still open: its bytes are read and dropped.
bool input_open(int wait_ms) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, wait_ms) <= 0)
        return true;
    char buffer[4096];
    return read(STDIN_FILENO, buffer, sizeof buffer) > 0;
}

// "follow LOG": the progress line, redrawn on a terminal and printed every hundred moves
// otherwise, until standard input ends; then the last state on a line of its own.
int follow(const char* log_path) {
    const bool terminal = isatty(STDOUT_FILENO);
    const auto start = std::chrono::steady_clock::now();
    FollowedGame game;
    start_following(game);
    int fd = -1;
    int printed_moves = 0; // the hundreds reached at the last line printed
    int shown_moves = -1;  // the moves that line showed
    bool running = true;
    while (running) {
        running = input_open(FOLLOW_POLL_MS);
        read_new_log_bytes(log_path, fd, game);
        const std::string line = progress_line(game, elapsed_ms(start));
        if (terminal) {
            std::printf("\r\x1b[K%s%s", line.substr(0, REDRAWN_LINE_LIMIT).c_str(),
                        running ? "" : "\n");
        } else if (running ? game.moves >= printed_moves + MOVES_PER_PRINTED_LINE
                           : game.moves != shown_moves) {
            printed_moves = game.moves - game.moves % MOVES_PER_PRINTED_LINE;
            shown_moves = game.moves;
            std::printf("%s\n", line.c_str());
        }
        std::fflush(stdout);
    }
    if (fd >= 0)
        close(fd);
    return 0;
}

// "show RESULTS PNG": the last game of the file replayed on the rules core.
int show(const char* results_path, const char* png_path) {
    std::vector<GameRecord> records;
    int skipped = 0;
    std::string error;
    if (!read_results(results_path, records, skipped, error) || records.empty()) {
        std::fprintf(stderr, "fendrel-board: no game in %s%s\n", results_path,
                     error.empty() ? "" : (": " + error).c_str());
        return 1;
    }
    const GameRecord& record = records.back();
    const int played = replay_dots(record.dots);
    if (played != static_cast<int>(record.dots.size())) {
        std::fprintf(stderr, "fendrel-board: dot %d of game %d is not legal\n", played + 1,
                     record.game);
        return 1;
    }
    if (!record.dots.empty())
        last_move_cell = cell_index(record.dots.back().x, record.dots.back().y);
    std::printf("%s\n%s", board_text().c_str(), outcome_text(record).c_str());
    if (!save_board_png(png_path)) {
        std::fprintf(stderr, "fendrel-board: cannot write %s\n", png_path);
        return 1;
    }
    std::printf("Board picture: %s\n", png_path);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "follow" && argc == 3)
        return follow(argv[2]);
    if (command == "show" && argc == 4)
        return show(argv[2], argv[3]);
    std::fputs(USAGE, stderr);
    return 2;
}
