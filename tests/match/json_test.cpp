// The results-line JSON: values survive a write and a read, escapes both ways, and broken
// or hostile input is refused rather than misread.
#include "match/game_record.h"
#include "match/json.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonTest, ReadsEveryKindOfValue) {
    JsonValue value;
    ASSERT_TRUE(parse_json(R"( {"a": [1, -2.5e3, true, false, null], "b": {"c": "d"}} )", value));
    ASSERT_EQ(value.kind, JsonKind::object);
    const JsonValue* a = json_member(value, "a");
    ASSERT_TRUE(a);
    ASSERT_EQ(a->items.size(), 5u);
    EXPECT_EQ(a->items[0].number, 1);
    EXPECT_EQ(a->items[1].number, -2500);
    EXPECT_TRUE(a->items[2].boolean);
    EXPECT_EQ(a->items[3].kind, JsonKind::boolean);
    EXPECT_EQ(a->items[4].kind, JsonKind::null);
    EXPECT_EQ(json_member(*json_member(value, "b"), "c")->text, "d");
    EXPECT_EQ(json_member(value, "missing"), nullptr);
}

TEST(JsonTest, StringEscapesBothWays) {
    JsonValue value;
    ASSERT_TRUE(
        parse_json(R"("q\" b\\ s\/ \b\f\n\r\t \u0041\u00e9\u20ac\ud83d\ude00 \ud800")", value));
    EXPECT_EQ(value.text, "q\" b\\ s/ \b\f\n\r\t Aé€😀 \xEF\xBF\xBD");

    // Control bytes (NUL too) and quotes are escaped, other bytes (any encoding) pass through.
    const std::string raw = std::string("a\"\\\n\x01\x7f\xff", 8) + "\xd0\x98";
    const std::string text = write_json(json_string(raw));
    EXPECT_EQ(text, "\"a\\\"\\\\\\n\\u0001\\u007f\xff\\u0000\xd0\x98\"");
    JsonValue back;
    ASSERT_TRUE(parse_json(text, back));
    EXPECT_EQ(back.text, raw);
}

TEST(JsonTest, NumbersKeepTheirValue) {
    EXPECT_EQ(write_json(json_number(4294967295.0)), "4294967295");
    EXPECT_EQ(write_json(json_number(-3)), "-3");
    JsonValue back;
    ASSERT_TRUE(parse_json(write_json(json_number(0.1)), back));
    EXPECT_EQ(back.number, 0.1);
}

TEST(JsonTest, RefusesBrokenInput) {
    const char* broken[] = {"",         "{",       "[1,]",      "{\"a\" 1}", "[1 2]", "\"open",
                            "tru",      "01x",     "-",         ".5",        "[1] x", "{\"a\":}",
                            "\"\x01\"", "\"\\x\"", "\"\\u12\"", "1e999",     "{1:2}", "nul"};
    for (const char* text : broken) {
        JsonValue value;
        EXPECT_FALSE(parse_json(text, value)) << text;
    }
    // Nesting past the limit is refused instead of exhausting the stack.
    JsonValue value;
    EXPECT_TRUE(
        parse_json(std::string(JSON_MAX_DEPTH, '[') + std::string(JSON_MAX_DEPTH, ']'), value));
    EXPECT_FALSE(parse_json(std::string(100000, '['), value));
}

// A record with every field set, names in two scripts and a clock past 31 bits.
GameRecord sample_record() {
    GameRecord record;
    record.match = "0123456789abcdef";
    record.game = 7;
    record.side1 = "dotbot \"2\"";
    record.side2 = "Игрок";
    record.a_side = 2;
    record.opening = "cross";
    record.opening_dots = 2;
    record.winner = 1;
    record.reason = REASON_TIME;
    record.detail = "clock used up by 250 ms";
    record.score = -3;
    record.dots = {{19, 15}, {20, 15}, {0, 31}};
    record.move_ms = {4000000000u};
    record.clock_ms[0] = 10000;
    record.clock_ms[1] = 0;
    record.duration_ms = 12345;
    record.referee_cpu_ms = 12;
    record.engines_cpu_ms = 3456;
    return record;
}

TEST(GameRecordTest, RoundTripsThroughItsLine) {
    const GameRecord record = sample_record();
    const std::string line = record_to_json(record);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    GameRecord back;
    ASSERT_TRUE(record_from_json(line, back));
    EXPECT_EQ(record_to_json(back), line);
    EXPECT_EQ(back.dots, record.dots);
    EXPECT_EQ(back.move_ms, record.move_ms);
    EXPECT_EQ(back.side2, "Игрок");
    EXPECT_EQ(a_points(back), 0);
    EXPECT_EQ(*loser_name(back), "Игрок");
}

TEST(GameRecordTest, RefusesLinesThatAreNotRecords) {
    const std::string line = record_to_json(sample_record());
    GameRecord back;
    // Cut short, as by a run killed while writing.
    for (size_t length : {size_t{0}, size_t{1}, line.size() / 2, line.size() - 1})
        EXPECT_FALSE(record_from_json(line.substr(0, length), back)) << length;
    // Values out of range or of the wrong kind.
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = line;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    EXPECT_FALSE(record_from_json(replaced("\"winner\":1", "\"winner\":3"), back));
    EXPECT_FALSE(record_from_json(replaced("\"game\":7", "\"game\":-1"), back));
    EXPECT_FALSE(record_from_json(replaced("\"game\":7", "\"game\":7.5"), back));
    EXPECT_FALSE(record_from_json(replaced("\"opening_dots\":2", "\"opening_dots\":4"), back));
    EXPECT_FALSE(record_from_json(replaced("[0,31]", "[0]"), back));
    EXPECT_FALSE(record_from_json(replaced("\"side1\":\"dotbot", "\"side1\":[\"dotbot"), back));
    EXPECT_FALSE(record_from_json("[1,2,3]", back));
}

} // namespace
