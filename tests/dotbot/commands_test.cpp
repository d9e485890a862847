// The referee's lines as dotbot reads them, table-driven: what each line means, and which
// lines are ignored.
#include "engines/dotbot/commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Case {
    std::string line;
    CommandKind kind;
    int64_t first;
    int64_t second;
    std::string text = "";
};

TEST(Commands, LinesAndTheirMeaning) {
    const Case cases[] = {
        {"new 32 39", CommandKind::new_board, 32, 39},
        {"increment 10000", CommandKind::increment, 10000, 0},
        {"movetime 100", CommandKind::movetime, 100, 0},
        {"time 18500", CommandKind::time, 18500, 0},
        {"otime 0", CommandKind::otime, 0, 0},
        {"go", CommandKind::go, 0, 0},
        {"quit", CommandKind::quit, 0, 0},
        {"move 19 15", CommandKind::move, 19, 15},
        {"move -1 41", CommandKind::move, -1, 41},
        {"move +3 4", CommandKind::move, 3, 4},
        {"move 2147483647 -2147483648", CommandKind::move, INT32_MAX, INT32_MIN},
        // Tools that end lines in "\r\n", and extra blanks.
        {"go\r", CommandKind::go, 0, 0},
        {"move 1 2\r", CommandKind::move, 1, 2},
        {"  move\t1   2  ", CommandKind::move, 1, 2},
        {"move 1 2 3", CommandKind::move, 1, 2},
        {"time 5 extra", CommandKind::time, 5, 0},
        {"rules standard", CommandKind::rules, 0, 0, "standard"},
        {"rules standard,suicide=off,empty-bases=capture\r", CommandKind::rules, 0, 0,
         "standard,suicide=off,empty-bases=capture"},
        {"rules nonsense more", CommandKind::rules, 0, 0, "nonsense"},
    };
    for (const Case& c : cases) {
        const Command command = parse_command(c.line.data(), c.line.size());
        EXPECT_EQ(command.kind, c.kind) << c.line;
        EXPECT_EQ(command.first, c.first) << c.line;
        EXPECT_EQ(command.second, c.second) << c.line;
        EXPECT_EQ(command.text, c.text) << c.line;
    }
}

TEST(Commands, LinesThatAreIgnored) {
    const std::string lines[] = {
        "",
        "   ",
        "Move 1 2",
        "MOVE 1 2",
        "move",
        "move 1",
        "move 1 x",
        "move 1.5 2",
        "move 0x10 2",
        "move 2147483648 0",
        "move -2147483649 0",
        "move 99999999999999999999999 1",
        "move - 1",
        "move1 2",
        "movex 1 2",
        "new 32",
        "new a b",
        "increment",
        "time",
        "time -",
        "goo",
        "quitting",
        "rules",
        "rules \t",
        "Rules standard",
        "g o",
        std::string("go\0", 3),
        std::string("move 1\0 2", 9),
        "\xff\xfe garbage",
    };
    for (const std::string& line : lines)
        EXPECT_EQ(parse_command(line.data(), line.size()).kind, CommandKind::unknown) << line;
}

TEST(Commands, ReadsOnlyTheGivenLength) {
    const char text[] = "move 12 34";
    EXPECT_EQ(parse_command(text, 9).second, 3);
    EXPECT_EQ(parse_command(text, 6).kind, CommandKind::unknown);
    EXPECT_EQ(parse_command(text, 0).kind, CommandKind::unknown);
}

} // namespace
