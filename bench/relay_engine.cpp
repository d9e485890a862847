// An engine that answers at once and records nothing, so that a relay benchmark measures
// the referee and the pipes rather than the engine: it follows the game on the rules core
// and on each "go" plays the first legal point after its previous one.
#include "engine/protocol.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

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

}  // namespace

int main() {
    init_board();
    write_text("relay engine\n");
    char line[256];
    int32_t next = 0;
    while (read_input_line(line, sizeof line)) {
        int32_t x, y;
        if (std::strcmp(line, "quit") == 0)
            return 0;
        if (parse_engine_line(line, &x, &y) == EngineLine::move && is_legal_dot(x, y)) {
            place_dot(cell_index(x, y));
        } else if (std::strcmp(line, "go") == 0) {
            for (int32_t tried = 0; tried < board_cols * board_rows; ++tried) {
                next = (next + 1) % (board_cols * board_rows);
                if (is_legal_dot(next % board_cols, next / board_cols))
                    break;
            }
            place_dot(cell_index(next % board_cols, next / board_cols));
            char move[PROTOCOL_LINE_SIZE];
            format_move_line(move, sizeof move, next % board_cols, next / board_cols);
            write_text(move);
        }
    }
    return 0;
}
