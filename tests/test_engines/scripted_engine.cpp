// A test engine that follows a script. Copied as Engine1.exe it runs Engine1.script from its
// own folder, one command a line, in order (engine_streams.h names the files it keeps):
//
//   say TEXT      write TEXT and a line feed (a script usually begins with its name line)
//   raw TEXT      write TEXT with the escapes \n \r \t \0 \\ and \xHH, nothing added
//   play X Y      wait for the next "go" line, then write "move X Y" and a line feed
//   wait TEXT     wait for an input line equal to TEXT
//   hold SUFFIX   wait until the file beside the program with that suffix exists
//                 (Engine1.go for ".go"): the test lets the engine go on
//   pwd           write the working directory and a line feed
//   exit CODE     end at once with that exit code
//
// Empty lines and lines starting with "#" are skipped. A "quit" line ends the engine while
// it waits, unless it is the line waited for; so does the end of its input. After the last
// command it reads on until either comes, then exits with 0.
#include "engine_streams.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

namespace {

// The value of one hexadecimal digit, or -1.
int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// TEXT of a "raw" command with its escapes replaced by the bytes they stand for.
std::string unescape(std::string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'n')
            bytes += '\n';
        else if (c == 'r')
            bytes += '\r';
        else if (c == 't')
            bytes += '\t';
        else if (c == '0')
            bytes += '\0';
        else if (c == 'x' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 &&
                 hex_digit(text[i + 2]) >= 0) {
            bytes += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
            i += 2;
        } else
            bytes += c;
    }
    return bytes;
}

// Reads input lines until one equals expected; false when "quit" or the end of input came
// first, which ends the engine.
bool wait_for_line(std::string_view expected) {
    std::string line;
    while (next_input_line(line)) {
        if (line == expected)
            return true;
        if (line == "quit")
            return false;
    }
    return false;
}

// A command's number argument.
int number(std::string_view argument) {
    return std::atoi(std::string(argument).c_str());
}

constexpr int GO_ON = -1;

// Runs one script command, its word and the rest of its line; GO_ON, or the exit code when
// the engine is to end.
int run_command(std::string_view word, std::string_view argument) {
    if (word == "say")
        write_output(std::string(argument) + "\n");
    else if (word == "raw")
        write_output(unescape(argument));
    else if (word == "play") {
        if (!wait_for_line("go"))
            return 0;
        write_output("move " + std::string(argument) + "\n");
    } else if (word == "wait") {
        if (!wait_for_line(argument))
            return 0;
    } else if (word == "hold") {
        const std::filesystem::path release = side_file_path(std::string(argument).c_str());
        while (!std::filesystem::exists(release))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } else if (word == "pwd")
        write_output(std::filesystem::current_path().string() + "\n");
    else if (word == "exit")
        return number(argument);
    return GO_ON;
}

} // namespace

int main() {
    const std::string script = read_side_file(".script");
    size_t start = 0;
    while (start < script.size()) {
        size_t end = script.find('\n', start);
        if (end == std::string::npos)
            end = script.size();
        std::string_view command(script.data() + start, end - start);
        start = end + 1;
        if (!command.empty() && command.back() == '\r')
            command.remove_suffix(1);
        if (command.empty() || command[0] == '#')
            continue;
        const size_t space = command.find(' ');
        const std::string_view word = command.substr(0, space);
        const std::string_view argument =
            space == std::string_view::npos ? std::string_view() : command.substr(space + 1);
        const int exit_code = run_command(word, argument);
        if (exit_code != GO_ON)
            return exit_code;
    }
    wait_for_line("quit");
    return 0;
}
