// fendrel-board: a game for a person. "follow" shows a game's progress from its engine log
// while the match runs; "show" prints a game's board and outcome, at its end or at a move,
// from a results file or an SGF file, and saves the board as the window draws it.
#include "review/board_text.h"
#include "review/log_follow.h"
#include "review/shown_game.h"
#include "ui/qt/board_png.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

const char USAGE[] =
    "usage: fendrel-board follow LOG < OUTPUT\n"
    "         shows the progress of the game whose engine log is LOG (it may not exist\n"
    "         yet) until standard input ends: pipe the match's output in\n"
    "       fendrel-board show FILE [PNG] [--game N] [--move M] [--rules SET[,OPTION=...]]\n"
    "         prints the board and the outcome of a game in FILE, a results file of\n"
    "         fendrel-match or an SGF file, and saves its board picture as PNG when given;\n"
    "         N is the game's number in a results file, the game tree's (from 0) in SGF,\n"
    "         and the last game by default; M moves are shown, all by default; the rules\n"
    "         are SET's, else the file's (RU, the results line's), else fendrel\n";

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

// A --game or --move value: a whole number from 0.
bool parse_count(const char* text, int& value) {
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (*text < '0' || *text > '9' || *end || errno || number > 1000000)
        return false;
    value = static_cast<int>(number);
    return true;
}

// "show FILE [PNG] [--game N] [--move M]": the game replayed on the rules core to the move.
// A game that the rules stop short of is shown up to the move they refuse.
int show(int argc, char** argv) {
    const char* path = nullptr;
    const char* png_path = nullptr;
    int game = WHOLE;
    int move = WHOLE;
    std::optional<RuleSet> rules;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        std::string rules_error;
        if (word == "--rules" && i + 1 < argc) {
            rules.emplace();
            if (!parse_rule_set(argv[++i], *rules, rules_error)) {
                std::fprintf(stderr, "fendrel-board: %s\n", rules_error.c_str());
                return 2;
            }
        } else if ((word == "--game" || word == "--move") && i + 1 < argc) {
            if (!parse_count(argv[++i], word == "--game" ? game : move)) {
                std::fprintf(stderr, "fendrel-board: %s takes a whole number from 0\n",
                             word.c_str());
                return 2;
            }
        } else if (word.rfind("--", 0) != 0 && !path) {
            path = argv[i];
        } else if (word.rfind("--", 0) != 0 && !png_path) {
            png_path = argv[i];
        } else {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    if (!path) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    GameFile file;
    ShownPosition shown;
    std::string error;
    if (!read_game_file(path, file, error) ||
        !show_game(file, game, move, shown, error, rules ? &*rules : nullptr)) {
        std::fprintf(stderr, "fendrel-board: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& warning : shown.warnings)
        std::fprintf(stderr, "fendrel-board: warning: %s\n", warning.c_str());
    if (!shown.stop.empty())
        std::fprintf(stderr, "fendrel-board: %s; shown up to move %d\n", shown.stop.c_str(),
                     shown.moves);
    std::printf("%s\n%s", board_text(shown.board).c_str(), shown.text.c_str());
    // Side 1 took side 2's captured dots, and side 2 side 1's.
    std::printf("Captured dots: side 1 took %d, side 2 took %d\n", captured_dots(shown.board, 2),
                captured_dots(shown.board, 1));
    if (png_path && !save_board_png(shown.board, png_path)) {
        std::fprintf(stderr, "fendrel-board: cannot write %s\n", png_path);
        return 1;
    }
    if (png_path)
        std::printf("Board picture: %s\n", png_path);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "follow" && argc == 3)
        return follow(argv[2]);
    if (command == "show")
        return show(argc, argv);
    std::fputs(USAGE, stderr);
    return 2;
}
