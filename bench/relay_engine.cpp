// An engine that answers at once, so that a relay benchmark measures the referee and the
// pipes rather than the engine: it follows the game on the rules core and on each "go" plays
// the first legal point after its previous one. It notes the monotonic time right before it
// writes each move and right after it has read each "go", and at the end of its input writes
// both lists to PROGRAM.times (two counts, then the nanoseconds), for the benchmark to pair
// one engine's move with the other's receipt of it.
#include "engine/protocol.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The game as the relay follows it.
Board board;

// Reads one line of standard input without its "\n"; false at the end of input.
bool read_input_line(char* line, int size) {
    static char buffer[4096];
    static int start = 0, end = 0;
    int length = 0;
    for (;;) {
        if (start == end) {
            const ssize_t n = read(0, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            start = 0;
            end = static_cast<int>(n);
        }
        const char c = buffer[start++];
        if (c == '\n') {
            line[length] = '\0';
            return true;
        }
        if (length + 1 < size)
            line[length++] = c;
    }
}

void write_text(const char* text) {
    const ssize_t written = write(1, text, std::strlen(text));
    (void)written;
}

int64_t now_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

std::vector<int64_t> sent_ns;
std::vector<int64_t> asked_ns;

// Writes the two lists beside the program.
void save_times(const char* program) {
    std::FILE* file = std::fopen((std::string(program) + ".times").c_str(), "wb");
    if (!file)
        return;
    const int64_t counts[2] = {static_cast<int64_t>(sent_ns.size()),
                               static_cast<int64_t>(asked_ns.size())};
    std::fwrite(counts, sizeof counts, 1, file);
    std::fwrite(sent_ns.data(), sizeof(int64_t), sent_ns.size(), file);
    std::fwrite(asked_ns.data(), sizeof(int64_t), asked_ns.size(), file);
    std::fclose(file);
}

} // namespace

int main(int, char** argv) {
    sent_ns.reserve(2048);
    asked_ns.reserve(2048);
    init_board(board);
    write_text("relay engine\n");
    char line[256];
    int32_t next = 0;
    while (read_input_line(line, sizeof line)) {
        int32_t x, y;
        if (std::strcmp(line, "quit") == 0)
            break;
        if (parse_engine_line(line, &x, &y) == EngineLine::move && is_legal_dot(board, x, y)) {
            place_dot(board, cell_index(board, x, y));
        } else if (std::strcmp(line, "go") == 0) {
            asked_ns.push_back(now_ns());
            for (int32_t tried = 0; tried < board.board_cols * board.board_rows; ++tried) {
                next = (next + 1) % (board.board_cols * board.board_rows);
                if (is_legal_dot(board, next % board.board_cols, next / board.board_cols))
                    break;
            }
            place_dot(board, cell_index(board, next % board.board_cols, next / board.board_cols));
            char move[PROTOCOL_LINE_SIZE];
            format_move_line(move, sizeof move, next % board.board_cols, next / board.board_cols);
            sent_ns.push_back(now_ns());
            write_text(move);
        }
    }
    save_times(argv[0]);
    return 0;
}
