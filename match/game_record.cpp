#include "match/game_record.h"

#include "match/json.h"

#include <cmath>

namespace {

// A JSON array of numbers.
JsonValue number_array(const std::vector<double>& numbers) {
    JsonValue array = json_array();
    for (const double number : numbers)
        array.items.push_back(json_number(number));
    return array;
}

// A string member; false when it is missing or not a string.
bool read_string(const JsonValue& object, const char* key, std::string& out) {
    const JsonValue* value = json_member(object, key);
    if (!value || value->kind != JsonKind::string)
        return false;
    out = value->text;
    return true;
}

// An integer member within [low, high].
template <typename Int>
bool read_int(const JsonValue& object, const char* key, Int& out, double low, double high) {
    const JsonValue* value = json_member(object, key);
    if (!value || value->kind != JsonKind::number || value->number != std::floor(value->number) ||
        value->number < low || value->number > high)
        return false;
    out = static_cast<Int>(value->number);
    return true;
}

// An array of integers within [low, high].
template <typename Int>
bool read_ints(const JsonValue& array, std::vector<Int>& out, double low, double high) {
    if (array.kind != JsonKind::array)
        return false;
    out.clear();
    for (const JsonValue& item : array.items) {
        if (item.kind != JsonKind::number || item.number != std::floor(item.number) ||
            item.number < low || item.number > high)
            return false;
        out.push_back(static_cast<Int>(item.number));
    }
    return true;
}

// The "dots" member: an array of [x, y] pairs.
bool read_dots(const JsonValue& object, std::vector<Dot>& dots) {
    const JsonValue* array = json_member(object, "dots");
    if (!array || array->kind != JsonKind::array)
        return false;
    dots.clear();
    for (const JsonValue& item : array->items) {
        std::vector<int32_t> pair;
        if (!read_ints(item, pair, INT32_MIN, INT32_MAX) || pair.size() != 2)
            return false;
        dots.push_back({pair[0], pair[1]});
    }
    return true;
}

} // namespace

double a_points(const GameRecord& record) {
    if (record.winner == 0)
        return 0.5;
    return record.winner == record.a_side ? 1 : 0;
}

const std::string* loser_name(const GameRecord& record) {
    if (record.winner == 0)
        return nullptr;
    return record.winner == 1 ? &record.side2 : &record.side1;
}

std::string record_to_json(const GameRecord& record) {
    JsonValue line = json_object();
    json_add(line, "match", json_string(record.match));
    json_add(line, "game", json_number(record.game));
    json_add(line, "side1", json_string(record.side1));
    json_add(line, "side2", json_string(record.side2));
    json_add(line, "a_side", json_number(record.a_side));
    json_add(line, "opening", json_string(record.opening));
    json_add(line, "opening_dots", json_number(record.opening_dots));
    json_add(line, "winner", json_number(record.winner));
    json_add(line, "reason", json_string(record.reason));
    json_add(line, "detail", json_string(record.detail));
    json_add(line, "score", json_number(record.score));
    JsonValue dots = json_array();
    for (const Dot& dot : record.dots)
        dots.items.push_back(
            number_array({static_cast<double>(dot.x), static_cast<double>(dot.y)}));
    json_add(line, "dots", dots);
    json_add(line, "move_ms", number_array({record.move_ms.begin(), record.move_ms.end()}));
    json_add(line, "clock_ms",
             number_array({static_cast<double>(record.clock_ms[0]),
                           static_cast<double>(record.clock_ms[1])}));
    json_add(line, "duration_ms", json_number(static_cast<double>(record.duration_ms)));
    json_add(line, "cpu_ms",
             number_array({static_cast<double>(record.referee_cpu_ms),
                           static_cast<double>(record.engines_cpu_ms)}));
    return write_json(line);
}

bool record_from_json(const std::string& line, GameRecord& record) {
    JsonValue value;
    if (!parse_json(line, value) || value.kind != JsonKind::object)
        return false;
    record = GameRecord{};
    std::vector<uint32_t> clocks;
    std::vector<int64_t> cpu;
    const JsonValue* move_ms = json_member(value, "move_ms");
    const JsonValue* clock_ms = json_member(value, "clock_ms");
    const JsonValue* cpu_ms = json_member(value, "cpu_ms");
    const bool complete = read_string(value, "match", record.match) &&
                          read_int(value, "game", record.game, 0, INT32_MAX) &&
                          read_string(value, "side1", record.side1) &&
                          read_string(value, "side2", record.side2) &&
                          read_int(value, "a_side", record.a_side, 1, 2) &&
                          read_string(value, "opening", record.opening) &&
                          read_int(value, "opening_dots", record.opening_dots, 0, INT32_MAX) &&
                          read_int(value, "winner", record.winner, 0, 2) &&
                          read_string(value, "reason", record.reason) &&
                          read_string(value, "detail", record.detail) &&
                          read_int(value, "score", record.score, INT32_MIN, INT32_MAX) &&
                          read_dots(value, record.dots) && move_ms &&
                          read_ints(*move_ms, record.move_ms, 0, UINT32_MAX) && clock_ms &&
                          read_ints(*clock_ms, clocks, 0, UINT32_MAX) && clocks.size() == 2 &&
                          read_int(value, "duration_ms", record.duration_ms, 0, 9e15) && cpu_ms &&
                          read_ints(*cpu_ms, cpu, 0, 9e15) && cpu.size() == 2 &&
                          record.opening_dots <= static_cast<int>(record.dots.size());
    if (!complete)
        return false;
    record.clock_ms[0] = clocks[0];
    record.clock_ms[1] = clocks[1];
    record.referee_cpu_ms = cpu[0];
    record.engines_cpu_ms = cpu[1];
    return true;
}
