#include "engine/protocol.h"

#include <cstdio>
#include <cstring>

int format_new_line(char* buf, int size, int32_t rows, int32_t cols) {
    return std::snprintf(buf, size, "new %d %d\n", static_cast<int>(rows), static_cast<int>(cols));
}

int format_rules_line(char* buf, int size, const char* rules) {
    return std::snprintf(buf, size, "rules %s\n", rules);
}

int format_increment_line(char* buf, int size, uint32_t increment) {
    return std::snprintf(buf, size, "increment %u\n", static_cast<unsigned>(increment));
}

int format_movetime_line(char* buf, int size, uint32_t movetime) {
    return std::snprintf(buf, size, "movetime %u\n", static_cast<unsigned>(movetime));
}

int format_clock_block(char* buf, int size, uint32_t own_clock, uint32_t opponent_clock) {
    return std::snprintf(buf, size, "time %u\notime %u\ngo\n", static_cast<unsigned>(own_clock),
                         static_cast<unsigned>(opponent_clock));
}

int format_move_line(char* buf, int size, int32_t x, int32_t y) {
    return std::snprintf(buf, size, "move %d %d\n", static_cast<int>(x), static_cast<int>(y));
}

namespace {

// The white space that "%d" skips, as isspace() has it in the "C" locale.
bool is_scan_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one integer at *text as "%d" would and moves *text past it; false when there is no
// integer there or it does not fit in 32 bits.
bool scan_int32(const char** text, int32_t* value) {
    const char* p = *text;
    while (is_scan_space(*p))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    // Gathered as a magnitude in 64 bits and stopped as soon as it leaves the 32-bit
    // range, so no digit string, however long, can overflow.
    const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : INT32_MAX;
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit)
            return false;
    }
    *value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    *text = p;
    return true;
}

} // namespace

EngineLine parse_engine_line(const char* line, int32_t* x, int32_t* y) {
    if (std::strncmp(line, "move ", 5) != 0)
        return EngineLine::message;
    const char* p = line + 5;
    int32_t first = 0;
    int32_t second = 0;
    if (!scan_int32(&p, &first) || !scan_int32(&p, &second))
        return EngineLine::bad_move;
    *x = first;
    *y = second;
    return EngineLine::move;
}
