// A game in progress as a watcher reads it: the header and the moves written so far, a last
// line cut short left for later, and text that is no such game refused.
#include "records/live_game.h"

#include <gtest/gtest.h>

namespace {

TEST(LiveGameTest, ReadsTheWholeLinesWrittenSoFar) {
    GameRecord before;
    before.game = 3;
    before.side1 = "a";
    before.side2 = "b";
    before.dots = {{19, 15}, {20, 15}};
    before.opening_dots = 2;
    const std::string header = live_header_line(before);
    const std::string moves = live_move_line({1, 2}, false, 0, 40) +
                              live_move_line({3, 4}, false, 0, 7) + live_move_line({}, true, 1, 9);
    const struct {
        std::string text;
        size_t dots;
        int grounded;
        bool read;
    } cases[] = {
        {header + moves, 4, 1, true},
        {header + moves.substr(0, moves.size() - 5), 4, 0, true}, // the grounding cut short
        {header, 2, 0, true},
        {header.substr(0, header.size() - 1), 0, 0, false}, // the header still being written
        {"", 0, 0, false},
        {header + "{\"dot\":[1,2]}\n", 0, 0, false},           // no time
        {header + "{\"dot\":[-1,2],\"ms\":1}\n", 0, 0, false}, // off any board
        {header + "{\"ground\":3,\"ms\":1}\n", 0, 0, false},
        {header + moves + live_move_line({5, 5}, false, 0, 1), 0, 0, false}, // after grounding
        {header + "not json\n", 0, 0, false},
    };
    for (const auto& c : cases) {
        GameRecord record;
        std::string error;
        ASSERT_EQ(read_live_game(c.text, record, error), c.read) << c.text;
        if (!c.read) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(record.game, 3);
        EXPECT_EQ(record.dots.size(), c.dots);
        EXPECT_EQ(record.grounded, c.grounded);
        EXPECT_EQ(record.move_ms.size(), c.dots - 2 + (c.grounded ? 1 : 0));
    }
    EXPECT_EQ(live_game_path("m/r.jsonl", 12), "m/r.jsonl.live/game-12.jsonl");
}

// What the match is, as its watcher reads it: names in any encoding keep their bytes, and
// the SPRT comes back when it was on.
TEST(LiveGameTest, TheMatchReadsBackAsWritten) {
    LiveMatch match{{"dotbot", "\xc8\xe3\xf0\xee\xea"}, 400, {true, 0, 5, 0.05, 0.1}};
    LiveMatch back;
    ASSERT_TRUE(read_live_match(live_match_text(match), back));
    EXPECT_EQ(back.engines, match.engines);
    EXPECT_EQ(back.games, 400);
    EXPECT_TRUE(back.sprt.enabled);
    EXPECT_EQ(back.sprt.elo1, 5);
    EXPECT_EQ(back.sprt.beta, 0.1);
    match.sprt = {};
    ASSERT_TRUE(read_live_match(live_match_text(match), back));
    EXPECT_FALSE(back.sprt.enabled);
    for (const char* bad : {"", "{}", "{\"engines\":[1],\"games\":2}", "[1,2]",
                            "{\"engines\":[],\"games\":2,\"sprt\":{\"elo0\":1}}"})
        EXPECT_FALSE(read_live_match(bad, back)) << bad;
}

} // namespace
