#include "engines/dotbot/commands.h"

#include <cstring>

namespace {

struct Cursor {
    const char* at;
    const char* end;
};

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The next word, skipping blanks; an empty word at the end of the line.
void next_word(Cursor& cursor, const char** word, size_t* length) {
    while (cursor.at < cursor.end && is_blank(*cursor.at))
        ++cursor.at;
    *word = cursor.at;
    while (cursor.at < cursor.end && !is_blank(*cursor.at))
        ++cursor.at;
    *length = static_cast<size_t>(cursor.at - *word);
}

// The next word as a 32-bit decimal integer; false when it is missing or not one.
bool next_number(Cursor& cursor, int64_t* value) {
    const char* word;
    size_t length;
    next_word(cursor, &word, &length);
    const bool signed_word = length > 0 && (word[0] == '-' || word[0] == '+');
    const bool negative = signed_word && word[0] == '-';
    size_t i = signed_word ? 1 : 0;
    if (i == length)
        return false;
    int64_t magnitude = 0;
    for (; i < length; ++i) {
        if (word[i] < '0' || word[i] > '9')
            return false;
        magnitude = magnitude * 10 + (word[i] - '0');
        if (magnitude > INT64_C(2147483648))
            return false;
    }
    *value = negative ? -magnitude : magnitude;
    return *value >= INT32_MIN && *value <= INT32_MAX;
}

bool word_is(const char* word, size_t length, const char* keyword) {
    return length == std::strlen(keyword) && std::memcmp(word, keyword, length) == 0;
}

} // namespace

Command parse_command(const char* line, size_t length) {
    Cursor cursor{line, line + length};
    const char* word;
    size_t word_length;
    next_word(cursor, &word, &word_length);

    struct Keyword {
        const char* text;
        CommandKind kind;
        int numbers;
    };
    static constexpr Keyword keywords[] = {
        {"new", CommandKind::new_board, 2},     {"increment", CommandKind::increment, 1},
        {"movetime", CommandKind::movetime, 1}, {"time", CommandKind::time, 1},
        {"otime", CommandKind::otime, 1},       {"go", CommandKind::go, 0},
        {"move", CommandKind::move, 2},         {"quit", CommandKind::quit, 0},
    };
    if (word_is(word, word_length, "rules")) {
        const char* text;
        size_t text_length;
        next_word(cursor, &text, &text_length);
        if (text_length == 0)
            return {CommandKind::unknown, 0, 0};
        return {CommandKind::rules, 0, 0, std::string_view(text, text_length)};
    }
    for (const Keyword& keyword : keywords) {
        if (!word_is(word, word_length, keyword.text))
            continue;
        Command command{keyword.kind, 0, 0};
        if (keyword.numbers >= 1 && !next_number(cursor, &command.first))
            return {CommandKind::unknown, 0, 0};
        if (keyword.numbers >= 2 && !next_number(cursor, &command.second))
            return {CommandKind::unknown, 0, 0};
        return command;
    }
    return {CommandKind::unknown, 0, 0};
}
