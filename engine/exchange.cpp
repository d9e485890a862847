#include "engine/exchange.h"

#include <charconv>
#include <cstring>

namespace {

void append_number(std::string& out, uint64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// "MS.UUU": milliseconds to the microsecond.
void append_moment(std::string& out, uint64_t us) {
    append_number(out, us / 1000);
    const auto fraction = static_cast<unsigned>(us % 1000);
    const char digits[4] = {'.', static_cast<char>('0' + fraction / 100),
                            static_cast<char>('0' + fraction / 10 % 10),
                            static_cast<char>('0' + fraction % 10)};
    out.append(digits, 4);
}

// Reads the decimal number at text[at], up to `end`, and moves `at` past it; false when
// there is none.
bool read_number(const std::string& text, size_t& at, size_t end, uint64_t& value) {
    const auto result = std::from_chars(text.data() + at, text.data() + end, value);
    if (result.ec != std::errc() || result.ptr == text.data() + at)
        return false;
    at = static_cast<size_t>(result.ptr - text.data());
    return true;
}

// The moment of a log line starting at `at`: its "MS.UUU" in microseconds; false when the
// line does not start so.
bool line_moment(const std::string& log, size_t at, size_t end, uint64_t& us) {
    uint64_t ms = 0;
    uint64_t fraction = 0;
    if (!read_number(log, at, end, ms) || at >= end || log[at] != '.')
        return false;
    const size_t digits = ++at;
    if (!read_number(log, at, end, fraction) || at - digits != 3)
        return false;
    us = ms * 1000 + fraction;
    return true;
}

// A bridge's record as a line of the log, and whether it is a line the bridge sent; false
// when it cannot be read.
bool record_line(const std::string& records, size_t at, size_t end, uint64_t start_us,
                 const char* name, int side, uint64_t& us, std::string& line, bool& sent) {
    uint64_t tick = 0;
    if (!read_number(records, at, end, tick) || at >= end || records[at] != ' ')
        return false;
    const size_t mark = ++at;
    const size_t space = records.find(' ', mark);
    if (space == std::string::npos || space >= end)
        return false;
    const std::string word = records.substr(mark, space - mark);
    const char* mark_text = nullptr;
    const char* qualifier = "";
    if (word == BRIDGE_RECORD_SENT) {
        mark_text = EXCHANGE_BRIDGE_TO_ENGINE;
    } else if (word == BRIDGE_RECORD_OUTPUT) {
        mark_text = EXCHANGE_ENGINE_TO_BRIDGE;
    } else if (word == BRIDGE_RECORD_STDERR) {
        mark_text = EXCHANGE_ENGINE_TO_BRIDGE;
        qualifier = EXCHANGE_STDERR;
    } else {
        return false;
    }
    // A side file written in text mode on Windows ends its records in "\r\n".
    size_t text_end = end;
    if (text_end > space + 1 && records[text_end - 1] == '\r')
        --text_end;
    us = tick > start_us ? tick - start_us : 0;
    sent = mark_text == EXCHANGE_BRIDGE_TO_ENGINE;
    line.clear();
    append_exchange_line(line, us, mark_text, name, side, qualifier, records.data() + space + 1,
                         text_end - space - 1);
    return true;
}

} // namespace

void append_exchange_line(std::string& out, uint64_t since_start_us, const char* mark,
                          const char* name, int side, const char* qualifier, const char* text,
                          size_t length) {
    append_moment(out, since_start_us);
    out += ' ';
    out += mark;
    out += name;
    out += '(';
    append_number(out, static_cast<uint64_t>(side));
    out += ')';
    if (*qualifier) {
        out += ' ';
        out += qualifier;
    }
    out += ": ";
    out.append(text, length);
    out += '\n';
}

void append_bridge_record(std::string& out, uint64_t tick_us, const char* mark, const char* text,
                          size_t length) {
    append_number(out, tick_us);
    out += ' ';
    out += mark;
    out += ' ';
    out.append(text, length);
    out += '\n';
}

std::string merge_bridge_records(const std::string& log, const std::string& records,
                                 uint64_t start_us, const char* name, int side) {
    std::string merged;
    merged.reserve(log.size() + records.size() + records.size() / 2);
    size_t in_log = 0;
    size_t in_records = 0;
    std::string line;
    while (in_records < records.size()) {
        size_t end = records.find('\n', in_records);
        // A record without its line feed was cut off as the bridge was killed.
        if (end == std::string::npos)
            break;
        uint64_t us = 0;
        bool sent = false;
        if (record_line(records, in_records, end, start_us, name, side, us, line, sent)) {
            // The log's earlier lines go first; at the same moment, a line the bridge sent
            // follows the referee's (its cause), and a line it read comes first (the cause of
            // the referee's).
            for (;;) {
                if (in_log >= log.size())
                    break;
                size_t log_end = log.find('\n', in_log);
                log_end = log_end == std::string::npos ? log.size() : log_end + 1;
                uint64_t log_us = 0;
                if (line_moment(log, in_log, log_end, log_us) &&
                    (log_us > us || (log_us == us && !sent)))
                    break;
                merged.append(log, in_log, log_end - in_log);
                in_log = log_end;
            }
            merged += line;
        }
        in_records = end + 1;
    }
    merged.append(log, in_log, std::string::npos);
    return merged;
}
