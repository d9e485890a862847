// A test engine that abuses the pipe. Copied as Engine1.exe it takes its mode from the first
// word of Engine1.mode beside it (engine_streams.h names the files it keeps); started with
// arguments, as the match runner starts engines, it takes its mode from the first one:
//
//   garbage       a name line, then lines of arbitrary bytes and malformed move lines
//   line-4095     a name line, a line of exactly 4095 bytes, then legal moves
//                 (play_legally)
//   huge          a name line, 10 MiB without a line feed in 64 KiB writes, then "\nafter\n"
//   endless       a name line, then 64 KiB writes without a line feed for as long as the
//                 pipe takes them
//   chatter       a name line, then message lines, one a write, for as long as the pipe
//                 takes them: each is a status text for the window
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
//   legal         a name line; on each "go" a legal move
//   ground        a name line; on each "go" the line "ground" (a move under the standard
//                 rules, a message under ours)
//   half-mover    a name line; on each "go" the next point of its half of the board
//                 (play_half)
//   refuse-storm  a name line, then refused moves and legal ones (play_refuse_storm)
//   deaf-mover [T] a name line, then its half of the board without reading a byte, paced
//                 by the requests waiting in its input or by the window's status trace T
//                 (play_deaf)
//   spawns-child  a name line; starts a copy of itself that holds its pipes, and ends
//
// The mode comes with the words after it (R above, or handle values); a word --per-process
// anywhere keeps the records per process (keep_records_per_process) and puts the process id
// into the name line. Unless its mode ends it, the engine then reads until "quit" or the end
// of its input.
#include "chaos_players.h"
#include "engine_streams.h"

#include "os/console.h"
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

// Runs the mode, given with the words after it and its name line; the exit code, or -1 to
// read on until "quit". `inherited` is what inherited_handles found.
int run_mode(const std::string& mode, const std::vector<std::string>& words,
             const std::string& name, const std::string& inherited) {
    if (mode == "exit-now")
        return 0;
    if (mode == "hold")
        return hold_pipes();
    if (mode == "split") {
        write_bytewise(name + "\n");
        write_bytewise("one line in many writes\n");
        return -1;
    }
    write_output(name + (mode == "crlf" ? "\r\n" : "\n"));
    if (mode == "garbage") {
        write_garbage();
    } else if (mode == "line-4095") {
        write_output(std::string(4095, 'L'));
        write_output("\n");
        return play_legally();
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
    } else if (mode == "chatter") {
        for (uint64_t n = 1; write_output("chatter " + std::to_string(n) + "\n"); ++n) {
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
    } else if (mode == "legal") {
        return play_legally();
    } else if (mode == "ground") {
        for (std::string line; next_input_line(line) && line != "quit";)
            if (line == "go")
                write_output("ground\n");
        return 0;
    } else if (mode == "half-mover") {
        return play_half();
    } else if (mode == "refuse-storm") {
        return play_refuse_storm();
    } else if (mode == "deaf-mover") {
        return play_deaf(words.empty() ? "" : words[0]);
    } else if (mode == "spawns-child") {
        return spawn_holder_and_exit();
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
    // Looked for before the engine opens anything of its own.
    std::vector<std::string> words;
    if (argc > 1) {
        words.assign(argv + 1, argv + argc);
    } else {
        const std::string content = read_side_file(".mode");
        std::istringstream line(content.substr(0, content.find('\n')));
        for (std::string word; line >> word;)
            words.push_back(word);
    }
    std::string inherited_values;
    for (size_t i = 1; i < words.size(); ++i)
        inherited_values += words[i] + " ";
    const std::string inherited = inherited_handles(inherited_values);
    const auto per_process = std::find(words.begin(), words.end(), "--per-process");
    std::string name_tag;
    if (per_process != words.end()) {
        words.erase(per_process);
        keep_records_per_process();
        name_tag = ' ';
        name_tag += std::to_string(own_process_id());
    }
    const std::string mode = words.empty() ? "" : words[0];
    const std::vector<std::string> rest(words.begin() + (words.empty() ? 0 : 1), words.end());
    const int exit_code = run_mode(mode, rest, "Chaos " + mode + name_tag, inherited);
    if (exit_code >= 0)
        return exit_code;
    read_until_quit([] {});
    return 0;
}
