#include "bridge/dialects.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>

namespace {

// The words of a text, split at spaces and tabs.
std::vector<std::string> words_of(const std::string& text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r'))
            ++i;
        const size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r')
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

// A whole word as a decimal integer of 32 bits; false for anything else.
bool whole_number(const std::string& word, int32_t& value) {
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    return error == std::errc{} && stop == end && !word.empty();
}

// Milliseconds as GTP's seconds, to the millisecond.
std::string seconds(uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", ms / 1000, ms % 1000);
    return text;
}

const char* gtp_colour(int side) {
    return side == 1 ? "B" : "W";
}

// pointsai: "= ID COMMAND RESULTS" or "? ID COMMAND".
bool parse_pointsai_answer(const std::string& line, Answer& answer) {
    const std::vector<std::string> words = words_of(line);
    if (words.size() < 3 || (words[0] != "=" && words[0] != "?") ||
        !whole_number(words[1], answer.id))
        return false;
    answer.success = words[0] == "=";
    answer.command = words[2];
    answer.results.clear();
    for (size_t i = 3; i < words.size(); ++i)
        answer.results += (i > 3 ? " " : "") + words[i];
    return answer.success || words.size() == 3;
}

// gtp: "=ID RESULT" or "?ID ERROR"; the id is ours, so it must be there.
bool parse_gtp_answer(const std::string& line, Answer& answer) {
    if (line.empty() || (line[0] != '=' && line[0] != '?'))
        return false;
    size_t digits = 1;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
        ++digits;
    if (!whole_number(line.substr(1, digits - 1), answer.id))
        return false;
    if (digits < line.size() && line[digits] != ' ' && line[digits] != '\t' && line[digits] != '\r')
        return false;
    answer.success = line[0] == '=';
    answer.command.clear();
    const std::vector<std::string> words = words_of(line.substr(digits));
    answer.results.clear();
    for (size_t i = 0; i < words.size(); ++i)
        answer.results += (i > 0 ? " " : "") + words[i];
    return true;
}

} // namespace

bool parse_answer(ForeignProtocol protocol, const std::string& line, Answer& answer) {
    return protocol == ForeignProtocol::pointsai ? parse_pointsai_answer(line, answer)
                                                 : parse_gtp_answer(line, answer);
}

std::vector<std::string> setup_commands(ForeignProtocol protocol, int32_t rows, int32_t cols,
                                        uint32_t seed) {
    if (protocol == ForeignProtocol::pointsai)
        return {"init " + std::to_string(cols) + " " + std::to_string(rows) + " " +
                std::to_string(seed)};
    return {"boardsize " + std::to_string(cols) + ":" + std::to_string(rows), "clear_board"};
}

std::vector<std::string> increment_commands(ForeignProtocol protocol, uint32_t increment_ms) {
    if (protocol == ForeignProtocol::pointsai)
        return {};
    // No main time, and the increment as a byo-yomi period of one move; each request to
    // move then says with time_left what that move may take.
    return {"time_settings 0 " + seconds(increment_ms) + " 1"};
}

std::string play_command(ForeignProtocol protocol, int side, int32_t x, int32_t y, int32_t rows) {
    if (protocol == ForeignProtocol::pointsai)
        return "play " + std::to_string(x) + " " + std::to_string(y) + " " +
               std::to_string(side - 1);
    return std::string("play ") + gtp_colour(side) + " " + std::to_string(x + 1) + "-" +
           std::to_string(rows - y);
}

std::vector<std::string> clock_commands(ForeignProtocol protocol, int side, uint32_t budget_ms) {
    if (protocol == ForeignProtocol::pointsai)
        return {};
    return {std::string("time_left ") + gtp_colour(side) + " " + seconds(budget_ms) + " 1"};
}

std::string generate_command(ForeignProtocol protocol, int side, uint32_t budget_ms) {
    if (protocol == ForeignProtocol::pointsai)
        return "gen_move_with_time " + std::to_string(side - 1) + " " + std::to_string(budget_ms);
    return std::string("genmove ") + gtp_colour(side);
}

bool parse_generated(ForeignProtocol protocol, const std::string& results, int side, int32_t rows,
                     int32_t& x, int32_t& y) {
    const std::vector<std::string> words = words_of(results);
    if (protocol == ForeignProtocol::pointsai) {
        int32_t player = 0;
        return words.size() == 3 && whole_number(words[0], x) && whole_number(words[1], y) &&
               whole_number(words[2], player) && player == side - 1;
    }
    if (words.size() != 1)
        return false;
    const size_t dash = words[0].find('-', 1);
    int32_t column = 0;
    int32_t row = 0;
    if (dash == std::string::npos || !whole_number(words[0].substr(0, dash), column) ||
        !whole_number(words[0].substr(dash + 1), row))
        return false;
    // In 64 bits, so that no number overflows; a point far off the board stays off it.
    x = static_cast<int32_t>(std::clamp<int64_t>(int64_t{column} - 1, INT32_MIN, INT32_MAX));
    y = static_cast<int32_t>(std::clamp<int64_t>(int64_t{rows} - row, INT32_MIN, INT32_MAX));
    return true;
}

bool generate_places_move(ForeignProtocol protocol) {
    return protocol == ForeignProtocol::gtp;
}

std::string command_word(const std::string& command) {
    return command.substr(0, command.find(' '));
}
