#include "records/game_record.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>

// Results lines are JSON, read and written by nlohmann-json without exceptions. JSON text
// is UTF-8, but engine names come from the command line and may be in any encoding
// (Windows-1251, say), and older runs wrote their bytes as they were. So a byte that is not
// part of valid UTF-8 travels as the code point U+EF80 + (byte - 0x80) of the Private Use
// Area, which no engine name holds, and comes back as that byte when the line is read.
namespace {

using Json = nlohmann::ordered_json;

constexpr unsigned STAND_IN_BASE = 0xEF80 - 0x80;

// The length of the valid UTF-8 sequence at text[i], or 0 when the byte starts none.
size_t utf8_sequence(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned lead = byte(i);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not valid UTF-8.
    const unsigned lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < lowest[length] || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF)
        return 0;
    return length;
}

// A string member; false when it is missing or not a string.
bool read_string(const Json& object, const char* key, std::string& out) {
    const auto member = object.find(key);
    if (member == object.end() || !member->is_string())
        return false;
    out = json_text_bytes(member->get_ref<const std::string&>());
    return true;
}

// A whole number within [low, high], written as an integer or as a number without a
// fraction.
template <typename Int> bool read_number(const Json& value, Int& out, double low, double high) {
    if (!value.is_number())
        return false;
    const double number = value.get<double>();
    if (number != std::floor(number) || number < low || number > high)
        return false;
    // Exact: every value allowed here is below 2^53.
    out = static_cast<Int>(number);
    return true;
}

// An integer member within [low, high].
template <typename Int>
bool read_int(const Json& object, const char* key, Int& out, double low, double high) {
    const auto member = object.find(key);
    return member != object.end() && read_number(*member, out, low, high);
}

// An array member of integers within [low, high].
template <typename Int>
bool read_ints(const Json& object, const char* key, std::vector<Int>& out, double low,
               double high) {
    const auto member = object.find(key);
    if (member == object.end() || !member->is_array())
        return false;
    out.clear();
    for (const Json& item : *member) {
        Int number = 0;
        if (!read_number(item, number, low, high))
            return false;
        out.push_back(number);
    }
    return true;
}

// The "dots" member: an array of [x, y] pairs.
bool read_dots(const Json& object, std::vector<Dot>& dots) {
    const auto member = object.find("dots");
    if (member == object.end() || !member->is_array())
        return false;
    dots.clear();
    for (const Json& pair : *member) {
        Dot dot;
        if (!pair.is_array() || pair.size() != 2 ||
            !read_number(pair[0], dot.x, INT32_MIN, INT32_MAX) ||
            !read_number(pair[1], dot.y, INT32_MIN, INT32_MAX))
            return false;
        dots.push_back(dot);
    }
    return true;
}

// The board's "size" ([columns, rows]) and "rules" members, both absent from lines written
// before boards had them, which were 39 x 32 under fendrel.
bool read_board(const Json& object, GameRecord& record) {
    std::vector<int32_t> size;
    if (object.contains("size") &&
        (!read_ints(object, "size", size, MIN_BOARD_SIDE, MAX_BOARD_SIDE) || size.size() != 2))
        return false;
    if (!size.empty()) {
        record.board_cols = size[0];
        record.board_rows = size[1];
    }
    std::string rules, error;
    return !object.contains("rules") ||
           (read_string(object, "rules", rules) && parse_rule_set(rules, record.rules, error));
}

} // namespace

std::string json_text(const std::string& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = utf8_sequence(bytes, i);
        if (length) {
            text.append(bytes, i, length);
            i += length;
            continue;
        }
        const unsigned code = STAND_IN_BASE + static_cast<unsigned char>(bytes[i++]);
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
    return text;
}

std::string json_text_bytes(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0xEE && i + 2 < text.size()) {
            const unsigned code = (c & 0x0F) << 12 |
                                  (static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6 |
                                  (static_cast<unsigned char>(text[i + 2]) & 0x3F);
            if (code >= STAND_IN_BASE + 0x80 && code <= STAND_IN_BASE + 0xFF) {
                bytes += static_cast<char>(code - STAND_IN_BASE);
                i += 2;
                continue;
            }
        }
        bytes += text[i];
    }
    return bytes;
}

double side_points(const GameRecord& record, int side) {
    if (record.winner == 0)
        return 0.5;
    return record.winner == side ? 1 : 0;
}

double a_points(const GameRecord& record) {
    return side_points(record, record.a_side);
}

const std::string* loser_name(const GameRecord& record) {
    if (record.winner == 0)
        return nullptr;
    return record.winner == 1 ? &record.side2 : &record.side1;
}

int record_moves(const GameRecord& record) {
    return static_cast<int>(record.dots.size()) + (record.grounded != 0 ? 1 : 0);
}

bool has_side_cpu(const GameRecord& record) {
    return record.side_cpu_ms[0] >= 0 && record.side_cpu_ms[1] >= 0;
}

std::string record_to_json(const GameRecord& record) {
    Json dots = Json::array();
    for (const Dot& dot : record.dots)
        dots.push_back({dot.x, dot.y});
    // The referee's, then each side's; a record read from an older line has only both sides'.
    const Json cpu =
        has_side_cpu(record)
            ? Json::array({record.referee_cpu_ms, record.side_cpu_ms[0], record.side_cpu_ms[1]})
            : Json::array({record.referee_cpu_ms, record.engines_cpu_ms});
    Json line = {
        {"match", json_text(record.match)},
        {"game", record.game},
        {"side1", json_text(record.side1)},
        {"side2", json_text(record.side2)},
        {"a_side", record.a_side},
        {"opening", json_text(record.opening)},
        {"opening_dots", record.opening_dots},
        {"winner", record.winner},
        {"reason", json_text(record.reason)},
        {"detail", json_text(record.detail)},
        {"size", {record.board_cols, record.board_rows}},
        {"rules", rule_set_text(record.rules)},
        {"score", record.score},
        {"dots", dots},
        {"move_ms", record.move_ms},
        {"clock_ms", {record.clock_ms[0], record.clock_ms[1]}},
        {"duration_ms", record.duration_ms},
        {"cpu_ms", cpu},
    };
    if (record.increment_ms[0] != 0 || record.increment_ms[1] != 0)
        line["increment_ms"] = {record.increment_ms[0], record.increment_ms[1]};
    // Only a grounded game has the member, so that other lines stay as they were.
    if (record.grounded != 0)
        line["grounded"] = record.grounded;
    return line.dump();
}

bool record_from_json(const std::string& line, GameRecord& record) {
    const Json value = Json::parse(json_text(line), nullptr, false);
    if (!value.is_object())
        return false;
    record = GameRecord{};
    std::vector<uint32_t> clocks;
    std::vector<uint32_t> increments;
    std::vector<int64_t> cpu;
    const bool complete =
        read_string(value, "match", record.match) &&
        read_int(value, "game", record.game, 0, INT32_MAX) &&
        read_string(value, "side1", record.side1) && read_string(value, "side2", record.side2) &&
        read_int(value, "a_side", record.a_side, 1, 2) &&
        read_string(value, "opening", record.opening) &&
        read_int(value, "opening_dots", record.opening_dots, 0, INT32_MAX) &&
        read_int(value, "winner", record.winner, 0, 2) &&
        read_string(value, "reason", record.reason) &&
        read_string(value, "detail", record.detail) &&
        read_int(value, "score", record.score, INT32_MIN, INT32_MAX) && read_board(value, record) &&
        read_dots(value, record.dots) &&
        read_ints(value, "move_ms", record.move_ms, 0, UINT32_MAX) &&
        read_ints(value, "clock_ms", clocks, 0, UINT32_MAX) && clocks.size() == 2 &&
        (!value.contains("increment_ms") ||
         (read_ints(value, "increment_ms", increments, 1, UINT32_MAX) && increments.size() == 2)) &&
        (!value.contains("grounded") || read_int(value, "grounded", record.grounded, 1, 2)) &&
        read_int(value, "duration_ms", record.duration_ms, 0, 9e15) &&
        read_ints(value, "cpu_ms", cpu, 0, 9e15) && (cpu.size() == 2 || cpu.size() == 3) &&
        record.opening_dots <= static_cast<int>(record.dots.size());
    if (!complete)
        return false;
    record.clock_ms[0] = clocks[0];
    record.clock_ms[1] = clocks[1];
    if (!increments.empty()) {
        record.increment_ms[0] = increments[0];
        record.increment_ms[1] = increments[1];
    }
    record.referee_cpu_ms = cpu[0];
    if (cpu.size() == 3) {
        record.side_cpu_ms[0] = cpu[1];
        record.side_cpu_ms[1] = cpu[2];
        record.engines_cpu_ms = cpu[1] + cpu[2];
    } else {
        record.engines_cpu_ms = cpu[1];
    }
    return true;
}
