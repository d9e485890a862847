// A test engine that abuses the pipe. Copied as Engine1.exe it takes its mode from the first
// word of Engine1.mode beside it (engine_streams.h names the files it keeps):
//
//   garbage       a name line, then lines of arbitrary bytes and malformed move lines
//   long-line     a name line, 4095 bytes without a line feed, then "\nafter\n"
//   huge          a name line, 10 MiB without a line feed in 64 KiB writes, then "\nafter\n"
//   nul           a name line, then lines with NUL bytes in them, then "end\n"
//   crlf          every line ends in "\r\n": the name, a message, and on each "go" a move
//                 along the top row
//   split         a name line and a message, each written one byte per write
//   stderr        a name line on standard output, then a line on standard error
//   empty-writes  a name line, empty writes, then "after\n"
//   exit-now      ends at once, writing nothing
//   exit-mid-game a name line; ends with code 3 on the first "go", without answering
//   deaf          a name line, then never reads its input; waits to be killed
//
// Unless its mode ends it, the engine then reads until "quit" or the end of its input.
#include "engine_streams.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace {

// Reads until "quit" or the end of input; on "go" calls on_go.
template <typename OnGo> void read_until_quit(OnGo on_go) {
    std::string line;
    while (next_input_line(line) && line != "quit") {
        if (line == "go")
            on_go();
    }
}

// Lines of bytes from a fixed pseudo-random sequence, and move lines the referee must refuse
// or read with care.
void write_garbage() {
    write_output("move 1 2 3\nmove\nMove 1 2\nmove\t1 2\nmove x y\nmove 7\nmove -\n");
    write_output("move 99999999999 1\nmove 1 -2147483649\nmove 2147483647 -2147483648\n");
    uint32_t state = 12345;
    for (int line = 0; line < 200; ++line) {
        std::string bytes;
        for (int i = 0; i < 1 + line % 97; ++i) {
            state = state * 1103515245u + 12345u;
            bytes += static_cast<char>(state >> 24);
        }
        write_output(bytes + "\n");
    }
}

// Writes text one byte per write, pausing between them so that the reader sees the pieces.
void write_bytewise(const std::string& text) {
    for (char c : text) {
        write_output(std::string(1, c));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Runs the mode; the exit code, or -1 to read on until "quit".
int run_mode(const std::string& mode) {
    if (mode == "exit-now")
        return 0;
    if (mode == "split") {
        write_bytewise("Chaos split\n");
        write_bytewise("one line in many writes\n");
        return -1;
    }
    write_output(mode == "crlf" ? "Chaos crlf\r\n" : "Chaos " + mode + "\n");
    if (mode == "garbage") {
        write_garbage();
    } else if (mode == "long-line") {
        write_output(std::string(4095, 'L'));
        write_output("\nafter\n");
    } else if (mode == "huge") {
        const std::string block(65536, 'H');
        for (int i = 0; i < 160; ++i)
            write_output(block);
        write_output("\nafter\n");
    } else if (mode == "nul") {
        static const char bytes[] = "nul\0in\0line\n\0\0\0\nend\n";
        write_output(std::string(bytes, sizeof bytes - 1));
    } else if (mode == "crlf") {
        write_output("hello\r\n");
        int moves = 0;
        read_until_quit([&moves] {
            write_output("move " + std::to_string(moves % 39) + " " + std::to_string(moves / 39) +
                         "\r\n");
            ++moves;
        });
        return 0;
    } else if (mode == "stderr") {
        write_stream(2, "to standard error\n");
    } else if (mode == "empty-writes") {
        for (int i = 0; i < 100; ++i)
            write_output("");
        write_output("after\n");
    } else if (mode == "exit-mid-game") {
        std::string line;
        while (next_input_line(line) && line != "go") {
        }
        return 3;
    } else if (mode == "deaf") {
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return -1;
}

} // namespace

int main() {
    const std::string content = read_side_file(".mode");
    const std::string mode = content.substr(0, content.find_first_of(" \t\r\n"));
    const int exit_code = run_mode(mode);
    if (exit_code >= 0)
        return exit_code;
    read_until_quit([] {});
    return 0;
}
