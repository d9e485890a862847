#include "bridge/dialects.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>
#include <map>
#include <utility>

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

// The fork's rules for a rule set, as JSON members in its own key order. Its start position is
// always empty: the referee gives start and opening dots as moves, which the bridge plays.
// The fork has no fendrel rules; empty bases captured is its nearest (every ring encloses),
// apart from a dot enclosed twice and freed once, which stays captured only under fendrel.
std::vector<std::pair<std::string, std::string>> gtp_rules_members(const RuleSet& rules) {
    const bool standard = rules.kind == RuleKind::standard;
    const bool empty_bases = !standard || rules.capture_empty_bases;
    const bool suicide = !standard || rules.suicide;
    return {{"dotsCaptureEmptyBase", empty_bases ? "true" : "false"},
            {"startPos", "\"EMPTY\""},
            {"startPosIsRandom", "false"},
            {"suicide", suicide ? "true" : "false"}};
}

// The end of a JSON string token that starts at text[at] (a quote): one past its closing
// quote, or npos when it has none.
size_t json_string_end(const std::string& text, size_t at) {
    for (size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '"')
            return i + 1;
    }
    return std::string::npos;
}

// The members of a flat JSON object, each value as written ("true", "\"EMPTY\""); false when
// the text is not one object whose values are all strings, numbers or words.
bool flat_json_members(const std::string& text, std::map<std::string, std::string>& members) {
    size_t i = 0;
    const auto skip_space = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r'))
            ++i;
    };
    // Past the next character when it is `c`.
    const auto take = [&](char c) {
        skip_space();
        if (i >= text.size() || text[i] != c)
            return false;
        ++i;
        return true;
    };
    if (!take('{'))
        return false;
    if (take('}'))
        return i == text.size();
    do {
        skip_space();
        if (i >= text.size() || text[i] != '"')
            return false;
        const size_t key_end = json_string_end(text, i);
        if (key_end == std::string::npos)
            return false;
        const std::string key = text.substr(i + 1, key_end - i - 2);
        i = key_end;
        if (!take(':'))
            return false;
        skip_space();
        const size_t value_start = i;
        if (i < text.size() && text[i] == '"')
            i = json_string_end(text, i);
        else
            i = std::min(text.find_first_of(",} \t\r{[", i), text.size());
        if (i == std::string::npos || i == value_start)
            return false;
        members[key] = text.substr(value_start, i - value_start);
    } while (take(','));
    return take('}') && (skip_space(), i == text.size());
}

} // namespace

bool parse_answer(ForeignProtocol protocol, const std::string& line, Answer& answer) {
    return protocol == ForeignProtocol::pointsai ? parse_pointsai_answer(line, answer)
                                                 : parse_gtp_answer(line, answer);
}

std::vector<std::string> size_commands(ForeignProtocol protocol, int32_t rows, int32_t cols,
                                       uint32_t seed) {
    if (protocol == ForeignProtocol::pointsai)
        return {"init " + std::to_string(cols) + " " + std::to_string(rows) + " " +
                std::to_string(seed)};
    return {"boardsize " + std::to_string(cols) + ":" + std::to_string(rows)};
}

std::vector<Command> rules_commands(ForeignProtocol protocol, const RuleSet& rules) {
    if (protocol == ForeignProtocol::pointsai)
        return {};
    std::string json;
    for (const auto& [key, value] : gtp_rules_members(rules))
        json += (json.empty() ? "{\"" : ",\"") + key + "\":" + value;
    // The rules before clear_board: a board the fork set up earlier holds the start position
    // of its rules then, and clear_board sets up a fresh one under these, which start empty.
    return {{"kata-set-rules " + json + "}", RequestKind::rules},
            {"kata-get-rules", RequestKind::rules_check},
            {"clear_board", RequestKind::setup}};
}

bool fork_plays_rules(const std::string& results, const RuleSet& rules) {
    std::map<std::string, std::string> members;
    if (!flat_json_members(results, members) || members["dots"] != "true")
        return false;
    for (const auto& [key, value] : gtp_rules_members(rules))
        if (members[key] != value)
            return false;
    return true;
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

bool is_grounding(ForeignProtocol protocol, const std::string& results) {
    if (protocol == ForeignProtocol::pointsai)
        return false;
    const std::vector<std::string> words = words_of(results);
    // The fork reads the word in any case, and writes it in small letters.
    return words.size() == 1 && words[0].size() == 6 &&
           std::equal(words[0].begin(), words[0].end(), "ground", [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
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
