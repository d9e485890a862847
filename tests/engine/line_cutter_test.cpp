// The line cutter on its own: output arriving in given reads, cut into the lines read_line
// hands out, with nothing but the room left in the buffer limiting each read.
#include "engine/engine_process.h"
#include "engine/line_cutter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Feeds the reads in order, each as read_line would (only while no line can be cut, and no
// more than the room allows, the rest of that read coming in the next), and gathers every
// line cut. Whatever is left uncut at the end is returned in `left`.
std::vector<std::string> cut_all(const std::vector<std::string>& reads, std::string* left) {
    char pending[ENGINE_LINE_SIZE];
    char line[ENGINE_LINE_SIZE];
    int pending_length = 0;
    bool after_full = false;
    pending[0] = '\0';
    std::vector<std::string> lines;
    for (std::string chunk : reads) {
        while (!chunk.empty()) {
            const int size = std::min<int>(pending_room(pending_length), chunk.size());
            EXPECT_GT(size, 0) << "a read of nothing";
            append_chunk(pending, pending_length, chunk.data(), size);
            chunk.erase(0, size);
            while (cut_line(pending, pending_length, line, after_full))
                lines.emplace_back(line);
        }
    }
    EXPECT_EQ(static_cast<int>(std::string(pending).size()), pending_length);
    *left = std::string(pending, pending_length);
    return lines;
}

struct CutCase {
    const char* what;
    std::vector<std::string> reads;
    std::vector<std::string> lines;
    std::string left;
};

class LineCutting : public ::testing::TestWithParam<CutCase> {};

TEST_P(LineCutting, HandsOutTheExpectedLines) {
    const CutCase& c = GetParam();
    std::string left;
    EXPECT_EQ(cut_all(c.reads, &left), c.lines);
    EXPECT_EQ(left, c.left);
}

// A case's description as a test name.
std::string case_name(const ::testing::TestParamInfo<CutCase>& param_info) {
    std::string name;
    for (const char* p = param_info.param.what; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

const std::string L4095(4095, 'L');
const std::string L4094(4094, 'L');

INSTANTIATE_TEST_SUITE_P(
    Reads, LineCutting,
    ::testing::Values(
        CutCase{"two lines in one read", {"first\nsecond\n"}, {"first", "second"}, ""},
        CutCase{"line in two reads", {"hal", "f\n"}, {"half"}, ""},
        CutCase{"line in many reads", {"a", "b", "c", "", "d\n"}, {"abcd"}, ""},
        CutCase{"incomplete line waits", {"done\nnot yet"}, {"done"}, "not yet"},
        CutCase{"feed then return dropped", {"one\n\rtwo\n"}, {"one", "two"}, ""},
        CutCase{"only one return dropped", {"one\n\r\rtwo\n"}, {"one", "\rtwo"}, ""},
        CutCase{"return before feed stays", {"crlf\r\n"}, {"crlf\r"}, ""},
        CutCase{"return in a later read", {"one\n", "\rtwo\n"}, {"one", "\rtwo"}, ""},
        CutCase{"return waiting at the end", {"one\n\r"}, {"one"}, ""},
        CutCase{"empty line", {"\n"}, {""}, ""},
        CutCase{"empty lines", {"\n\n\r\n"}, {"", "", ""}, ""},
        CutCase{"NULs dropped", {std::string("a\0b\n\0\0\n", 7)}, {"ab", ""}, ""},
        CutCase{"only NULs", {std::string("\0\0\0", 3)}, {}, ""},
        CutCase{"full buffer is a line", {L4095 + "rest\n"}, {L4095, "rest"}, ""},
        CutCase{"feed after a full line", {L4095, "\nafter\n"}, {L4095, "after"}, ""},
        CutCase{"feed with a full line", {L4095 + "\nafter\n"}, {L4095, "after"}, ""},
        CutCase{"feed and return after", {L4095, "\n\rafter\n"}, {L4095, "after"}, ""},
        CutCase{"feed after NULs", {L4095, std::string("\0\0\n", 3), "x\n"}, {L4095, "x"}, ""},
        CutCase{"only the next feed", {L4095 + "\n\n"}, {L4095, ""}, ""},
        CutCase{"two full lines", {L4095 + L4095 + "\n"}, {L4095, L4095}, ""},
        CutCase{"longer line, rest", {L4095 + "ab\n"}, {L4095, "ab"}, ""},
        CutCase{"one short of full waits", {L4094}, {}, L4094},
        CutCase{"full line split", {L4094, "L", "x\n"}, {L4095, "x"}, ""},
        CutCase{"feed as the 4095th byte", {L4094 + "\n"}, {L4094}, ""},
        CutCase{"full after a line", {"a\n" + L4095}, {"a", L4095}, ""},
        CutCase{"every byte value",
                {std::string("\x01\x7f\x80\xff\t\v\f\n", 8)},
                {"\x01\x7f\x80\xff\t\v\f"},
                ""}),
    case_name);

TEST(LineCutter, TenMegabytesWithoutFeedComeOutInFullLines) {
    const std::string block(65536, 'H');
    std::vector<std::string> reads(160, block);
    reads.push_back("\nafter\n");
    std::string left;
    const std::vector<std::string> lines = cut_all(reads, &left);
    // 160 * 65536 = 2560 lines of 4095 and 2560 bytes, which the feed ends.
    ASSERT_EQ(lines.size(), 2562u);
    for (size_t i = 0; i < 2560; ++i)
        ASSERT_EQ(lines[i].size(), 4095u) << i;
    EXPECT_EQ(lines[2560], std::string(2560, 'H'));
    EXPECT_EQ(lines[2561], "after");
    EXPECT_EQ(left, "");
}

TEST(LineCutter, RoomNeverRunsOutWhileNoLineCanBeCut) {
    EXPECT_EQ(pending_room(0), 4095);
    EXPECT_EQ(pending_room(4094), 1);
    // A full buffer always yields a line, so a read of zero bytes is never asked for.
    char pending[ENGINE_LINE_SIZE];
    char line[ENGINE_LINE_SIZE];
    int length = 0;
    bool after_full = false;
    append_chunk(pending, length, L4095.data(), 4095);
    EXPECT_EQ(pending_room(length), 0);
    EXPECT_TRUE(cut_line(pending, length, line, after_full));
    EXPECT_EQ(pending_room(length), 4095);
}

TEST(LineCutter, AppendNeverPassesTheRoom) {
    char pending[ENGINE_LINE_SIZE + 16];
    std::memset(pending, '#', sizeof pending);
    int length = 4000;
    std::memset(pending, 'a', 4000);
    const std::string chunk(500, 'b');
    append_chunk(pending, length, chunk.data(), chunk.size());
    EXPECT_EQ(length, 4095);
    EXPECT_EQ(pending[4095], '\0');
    EXPECT_EQ(pending[4096], '#');
}

} // namespace
