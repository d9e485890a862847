// The protocol's texts: every referee line byte for byte, and the reading of engine lines,
// whose numbers are read as "%d%d" reads them but only within 32 bits.
#include "engine/protocol.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(RefereeLines, AreByteExact) {
    char line[PROTOCOL_LINE_SIZE];
    EXPECT_EQ(format_new_line(line, sizeof line, 32, 39), 10);
    EXPECT_STREQ(line, "new 32 39\n");
    EXPECT_EQ(format_increment_line(line, sizeof line, 10000), 16);
    EXPECT_STREQ(line, "increment 10000\n");
    EXPECT_EQ(format_clock_block(line, sizeof line, 10000, 0), 22);
    EXPECT_STREQ(line, "time 10000\notime 0\ngo\n");
    EXPECT_EQ(format_move_line(line, sizeof line, 19, 15), 11);
    EXPECT_STREQ(line, "move 19 15\n");
    EXPECT_STREQ(QUIT_LINE, "quit\n");
}

TEST(RefereeLines, FitWhateverTheNumbers) {
    char line[PROTOCOL_LINE_SIZE];
    format_clock_block(line, sizeof line, UINT32_MAX, UINT32_MAX);
    EXPECT_STREQ(line, "time 4294967295\notime 4294967295\ngo\n");
    format_move_line(line, sizeof line, INT32_MIN, INT32_MAX);
    EXPECT_STREQ(line, "move -2147483648 2147483647\n");
    format_new_line(line, sizeof line, 0, -1);
    EXPECT_STREQ(line, "new 0 -1\n");
}

struct LineCase {
    std::string line;
    EngineLine kind;
    int32_t x = 0;
    int32_t y = 0;
};

class EngineLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(EngineLines, AreReadAsExpected) {
    const LineCase& c = GetParam();
    int32_t x = -7;
    int32_t y = -7;
    ASSERT_EQ(parse_engine_line(c.line.c_str(), &x, &y), c.kind) << c.line;
    if (c.kind == EngineLine::move) {
        EXPECT_EQ(x, c.x) << c.line;
        EXPECT_EQ(y, c.y) << c.line;
    } else {
        // Nothing is scanned into the caller's numbers unless the line is a move.
        EXPECT_EQ(x, -7);
        EXPECT_EQ(y, -7);
    }
}

constexpr EngineLine MOVE = EngineLine::move;
constexpr EngineLine BAD = EngineLine::bad_move;
constexpr EngineLine MESSAGE = EngineLine::message;

INSTANTIATE_TEST_SUITE_P(
    Moves, EngineLines,
    ::testing::Values(LineCase{"move 19 15", MOVE, 19, 15}, LineCase{"move 1 2 3", MOVE, 1, 2},
                      LineCase{"move    4     5", MOVE, 4, 5},
                      LineCase{"move \t\v\f\r\n6\t7", MOVE, 6, 7},
                      LineCase{"move 6 7\r", MOVE, 6, 7},
                      LineCase{"move 8 9 and then some", MOVE, 8, 9},
                      LineCase{"move 8 9x", MOVE, 8, 9}, LineCase{"move 1-2", MOVE, 1, -2},
                      LineCase{"move +3 -0", MOVE, 3, 0},
                      LineCase{"move 007 000000000000000000000000000010", MOVE, 7, 10},
                      LineCase{"move -1 -1", MOVE, -1, -1},
                      LineCase{"move 2147483647 -2147483648", MOVE, INT32_MAX, INT32_MIN},
                      LineCase{"move -2147483648 2147483647", MOVE, INT32_MIN, INT32_MAX}));

INSTANTIATE_TEST_SUITE_P(
    Refused, EngineLines,
    ::testing::Values(LineCase{"move ", BAD}, LineCase{"move 7", BAD}, LineCase{"move 7 ", BAD},
                      LineCase{"move x 1", BAD}, LineCase{"move 1 y", BAD},
                      LineCase{"move 1,2", BAD}, LineCase{"move - 1 2", BAD},
                      LineCase{"move +-1 2", BAD}, LineCase{"move --1 2", BAD},
                      LineCase{"move 1 +", BAD}, LineCase{"move 2147483648 1", BAD},
                      LineCase{"move 1 2147483648", BAD}, LineCase{"move -2147483649 1", BAD},
                      LineCase{"move 1 -2147483649", BAD}, LineCase{"move 4294967297 1", BAD},
                      LineCase{"move 99999999999999999999999999999 1", BAD},
                      LineCase{"move 1 -99999999999999999999999999999", BAD}));

INSTANTIATE_TEST_SUITE_P(
    Messages, EngineLines,
    ::testing::Values(LineCase{"", MESSAGE}, LineCase{"move", MESSAGE},
                      LineCase{"Move 1 2", MESSAGE}, LineCase{"MOVE 1 2", MESSAGE},
                      LineCase{"move\t1 2", MESSAGE}, LineCase{" move 1 2", MESSAGE},
                      LineCase{"movex 1 2", MESSAGE}, LineCase{"mov 1 2", MESSAGE},
                      LineCase{"hello", MESSAGE}, LineCase{"\xcf\xf0\xe8\xe2\xe5\xf2", MESSAGE}));

} // namespace
