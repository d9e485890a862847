// A test engine that abuses the pipe. Copied as Engine1.exe it takes its mode from the first
// word of Engine1.mode beside it (engine_streams.h names the files it keeps); started with
// arguments, as the match runner starts engines, it takes its mode from the first one:
//
//   garbage       a name line, then lines of arbitrary bytes and malformed move lines
//   long-line     a name line, 4095 bytes without a line feed, then "\nafter\n"
//   huge          a name line, 10 MiB without a line feed in 64 KiB writes, then "\nafter\n"
//   endless       a name line, then 64 KiB writes without a line feed for as long as the
//                 pipe takes them
//   nul           a name line, then lines with NUL bytes in them, then "end\n"
//   crlf          every line ends in "\r\n": the name, a message, and on each "go" a move
//                 along the top row
//   split         a name line and a message, each written one byte per write
//   stderr        a name line on standard output, then a line on standard error
//   empty-writes  a name line, empty writes, then "after\n"
//   exit-now      ends at once, writing nothing
//   exit-mid-game a name line; ends with code 3 on the first "go", without answering
//   deaf          a name line, then never reads its input; waits to be killed
//   handles H...  a name line, then "inherited" and the handles it holds beyond its
//                 standard streams, each after a space (on Win32, of the handle values H
//                 given after the mode's word)
//   stall         a name line, then never moves
//   illegal       a name line; on each "go" a move onto a dot already on the board (the
//                 first, with the board empty, onto 0 0)
//   out-of-turn   a name line; on each "go" two moves in one write, the second while the
//                 other side is to move, both on free cells of the board's edge (which no
//                 enclosure can cover)
//
// Unless its mode ends it, the engine then reads until "quit" or the end of its input.
#include "engine_streams.h"

#include "os/process.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

namespace {

// Reads until "quit" or the end of input; on "go" calls on_go.
template <typename OnGo> void read_until_quit(OnGo on_go) {
    std::string line;
    while (next_input_line(line) && line != "quit") {
        if (line == "go")
            on_go();
    }
}

// The dots the engine knows of: those the referee relayed and its own.
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
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 39; ++x) {
            const bool edge = y == 0 || y == 31 || x == 0 || x == 38;
            if (edge && dots.insert({x, y}).second) {
                text += "move " + std::to_string(x) + " " + std::to_string(y) + "\n";
                return;
            }
        }
    }
}

// Plays the board-aware modes: on each "go", a move onto a known dot, or two edge moves.
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
            text = "move " + std::to_string(x) + " " + std::to_string(y) + "\n";
        } else {
            add_edge_move(text);
            add_edge_move(text);
        }
        write_output(text);
    }
    return 0;
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

// The handles the engine holds from its start, looked for before it opens anything of its
// own (on Win32, of the handle values after the mode's word), as "inherited 5 7".
std::string inherited_handles(const std::string& values_text) {
    std::vector<OsHandle> suspects;
    std::istringstream values(values_text);
    for (long long value; values >> value;)
        suspects.push_back(static_cast<OsHandle>(value));
    std::string text = "inherited";
    for (const OsHandle handle : handles_beyond_standard_streams(suspects)) {
        text += ' ';
        text += std::to_string(handle);
    }
    return text;
}

// Runs the mode; the exit code, or -1 to read on until "quit". `inherited` is what
// inherited_handles found.
int run_mode(const std::string& mode, const std::string& inherited) {
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
    } else if (mode == "endless") {
        const std::string block(65536, 'E');
        while (write_output(block)) {
        }
        return 0;
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
    } else if (mode == "illegal" || mode == "out-of-turn") {
        return play_rule_breaker(mode);
    } else if (mode == "handles") {
        write_output(inherited + "\n");
    } else if (mode == "deaf") {
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string content = argc > 1 ? argv[1] : read_side_file(".mode");
    const size_t word_end = std::min(content.find_first_of(" \t\r\n"), content.size());
    const std::string mode = content.substr(0, word_end);
    const std::string inherited =
        inherited_handles(content.substr(word_end, content.find('\n') - word_end));
    const int exit_code = run_mode(mode, inherited);
    if (exit_code >= 0)
        return exit_code;
    read_until_quit([] {});
    return 0;
}
