// The results line of a game: every field survives a write and a read, names in any
// encoding keep their bytes, and broken or hostile lines are refused rather than misread.
#include "records/game_record.h"

#include <gtest/gtest.h>

namespace {

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
    record.side_cpu_ms[0] = 3000;
    record.side_cpu_ms[1] = 456;
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
    EXPECT_EQ(line.find("grounded"), std::string::npos);

    // A grounded game has one more move, whose time follows the dots'.
    GameRecord grounded = record;
    grounded.grounded = 2;
    grounded.move_ms.push_back(7);
    ASSERT_TRUE(record_from_json(record_to_json(grounded), back));
    EXPECT_EQ(back.grounded, 2);
    EXPECT_EQ(record_moves(back), record_moves(record) + 1);
    EXPECT_EQ(record_to_json(back), record_to_json(grounded));
}

TEST(GameRecordTest, CpuTimesOfTheRefereeAndEachSide) {
    const std::string line = record_to_json(sample_record());
    EXPECT_NE(line.find("\"cpu_ms\":[12,3000,456]"), std::string::npos) << line;
    // Lines of earlier runs give the referee's and both engines' together.
    std::string older = line;
    older.replace(older.find("[12,3000,456]"), 13, "[12,3456]");
    GameRecord back;
    ASSERT_TRUE(record_from_json(older, back));
    EXPECT_EQ(back.referee_cpu_ms, 12);
    EXPECT_EQ(back.engines_cpu_ms, 3456);
    EXPECT_FALSE(has_side_cpu(back));
    EXPECT_EQ(record_to_json(back), older);
    ASSERT_TRUE(record_from_json(line, back));
    EXPECT_TRUE(has_side_cpu(back));
    EXPECT_EQ(back.side_cpu_ms[1], 456);
    EXPECT_EQ(back.engines_cpu_ms, 3456);
    for (const char* bad : {"[12]", "[12,1,2,3]", "[12,-1,2]"}) {
        std::string changed = line;
        changed.replace(changed.find("[12,3000,456]"), 13, bad);
        EXPECT_FALSE(record_from_json(changed, back)) << bad;
    }
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
    EXPECT_FALSE(record_from_json(replaced("\"winner\":1", "\"grounded\":3,\"winner\":1"), back));
    EXPECT_FALSE(record_from_json(replaced("\"winner\":1", "\"grounded\":0,\"winner\":1"), back));
    EXPECT_FALSE(record_from_json(replaced("\"game\":7", "\"game\":-1"), back));
    EXPECT_FALSE(record_from_json(replaced("\"game\":7", "\"game\":7.5"), back));
    EXPECT_FALSE(record_from_json(replaced("\"opening_dots\":2", "\"opening_dots\":4"), back));
    EXPECT_FALSE(record_from_json(replaced("[0,31]", "[0]"), back));
    EXPECT_FALSE(record_from_json(replaced("\"side1\":\"dotbot", "\"side1\":[\"dotbot"), back));
    EXPECT_FALSE(record_from_json("[1,2,3]", back));
    // Broken or hostile text is refused, never thrown at the reader.
    for (const std::string& text :
         {std::string("{"), std::string("\"open"), std::string(100000, '['),
          std::string("{\"a\":}\xff"), std::string("nul"), std::string("1e999")})
        EXPECT_FALSE(record_from_json(text, back)) << text.substr(0, 20);
}

TEST(GameRecordTest, NamesThatAreNotUtf8SurviveAsTheirBytes) {
    GameRecord record = sample_record();
    record.side1 = "\xc8\xe3\xf0\xee\xea"; // "Игрок" in Windows-1251
    record.side2 = std::string("mixed \xd0\x98\xff\x80 \0nul", 16);
    record.detail = "\xed\xa0\x80 a surrogate, \xc0\xaf an overlong slash";
    const std::string line = record_to_json(record);
    GameRecord back;
    ASSERT_TRUE(record_from_json(line, back));
    EXPECT_EQ(back.side1, record.side1);
    EXPECT_EQ(back.side2, record.side2);
    EXPECT_EQ(back.detail, record.detail);
    // The line itself is valid UTF-8 JSON, which other tools can read: each stray byte is a
    // code point of the Private Use Area.
    const std::string stand_ins = "\xee\xbf\x88\xee\xbf\xa3\xee\xbf\xb0\xee\xbf\xae\xee\xbf\xaa";
    ASSERT_NE(line.find(stand_ins), std::string::npos) << line;
    // A line as earlier runs wrote it, with the raw bytes, reads the same.
    std::string raw = line;
    raw.replace(raw.find(stand_ins), stand_ins.size(), record.side1);
    ASSERT_TRUE(record_from_json(raw, back));
    EXPECT_EQ(back.side1, record.side1);
}

} // namespace
