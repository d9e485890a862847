// Following a game from its engine log: the log holds whatever the engines wrote, in any
// pieces, so every byte must leave the count of moves and the message sound.
#include "records/replay.h"
#include "review/log_follow.h"
#include "rules/board.h"

#include <gtest/gtest.h>

namespace {

// Feeds the text to a fresh follower in pieces of `piece` bytes.
FollowedGame followed(const std::string& text, size_t piece) {
    FollowedGame game;
    start_following(game);
    for (size_t i = 0; i < text.size(); i += piece)
        follow_log_bytes(game, text.data() + i, std::min(piece, text.size() - i));
    return game;
}

TEST(LogFollowTest, MovesArePlayedInTurnWhateverThePieces) {
    const std::string log = "dotbot 1.0\nmove 1 0\r\ndotbot 1.0\nmove 1 1\ndotbot: 7 playouts\n"
                            "move 0 1\nmove 10 10\nmove 2 1\nmove 11 11\nmove 1 2\nmove 3";
    for (size_t piece : {size_t{1}, size_t{3}, log.size()}) {
        const FollowedGame game = followed(log, piece);
        EXPECT_EQ(game.moves, 7) << piece;
        EXPECT_EQ(game.refused, 0);
        EXPECT_EQ(game.message, "dotbot: 7 playouts");
        EXPECT_EQ(game.partial, "move 3"); // not yet a whole line
        // Side 1 has closed its diamond around side 2's (1, 1).
        EXPECT_EQ(game.board.cell_owner[cell_index(game.board, 1, 1)], 2);
        EXPECT_NE(game.board.cell_enclosed[cell_index(game.board, 1, 1)], 0);
        EXPECT_EQ(side1_balance(game.board), 1);
        EXPECT_EQ(free_points(game.board), 39 * 32 - 7);
    }
}

TEST(LogFollowTest, MovesTheRulesRefuseAreCountedApart) {
    const FollowedGame game =
        followed("move 5 5\nmove 5 5\nmove 39 0\nmove -1 0\nmove x y\nmove 99999999999 1\n"
                 "move 6 5\n",
                 4);
    EXPECT_EQ(game.moves, 2);
    EXPECT_EQ(game.refused, 5);
    EXPECT_EQ(game.board.cell_owner[cell_index(game.board, 6, 5)], 2);
    EXPECT_EQ(game.message, "");
}

TEST(LogFollowTest, MessagesAreMadePrintableAndShort) {
    // An escape sequence and a NUL can do nothing to the terminal; bytes above ASCII go too.
    std::string log = "dotbot: \x1b[2Jwin\t\xd0\x9f";
    log += '\0';
    log += "end\n";
    EXPECT_EQ(followed(log, 5).message, "dotbot: ?[2Jwin????end");
    const FollowedGame long_line = followed(std::string(500, 'a').append(1, '\n'), 64);
    EXPECT_EQ(long_line.message, std::string(SHOWN_MESSAGE_LIMIT, 'a'));
    // An empty line leaves the latest message.
    EXPECT_EQ(followed("hello\n\r\n\n", 1).message, "hello");
}

TEST(LogFollowTest, EndlessLinesAreHeldToTheLimit) {
    // A move line with a megabyte of tail is still a move; the tail is not kept.
    const std::string tail(1 << 20, 'z');
    FollowedGame game = followed("move 4 4 " + tail + "\nmove 7 7 " + tail, 4096);
    EXPECT_EQ(game.moves, 1);
    EXPECT_EQ(game.partial.size(), FOLLOWED_LINE_LIMIT);
    follow_log_bytes(game, "\n", 1);
    EXPECT_EQ(game.moves, 2);
    EXPECT_TRUE(game.partial.empty());
}

TEST(LogFollowTest, ProgressLine) {
    FollowedGame game = followed("dotbot 1.0\nmove 1 0\nmove 1 1\nmove 0 1\nmove 9 9\nmove 2 1\n"
                                 "move 8 8\nmove 1 2\n",
                                 7);
    EXPECT_EQ(progress_line(game, 83'999),
              "move 7, 1241 points free, side 1 +1, 1:23 | dotbot 1.0");
    follow_log_bytes(game, "move 1 1\n", 9);
    EXPECT_EQ(progress_line(game, 0), "move 7, 1241 points free, side 1 +1, 0:00, 1 refused | "
                                      "dotbot 1.0");
    start_following(game);
    EXPECT_EQ(progress_line(game, 3'600'000), "move 0, 1248 points free, side 1 0, 60:00");
}

} // namespace
