// Openings: the fixed ones, random ones that every machine makes alike, and files of lines
// or SGF, each checked against the rules.
#include "records/openings.h"
#include "records/replay.h"
#include "rules/board.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

// The board the records are played on.
Board board;

TEST(OpeningsTest, CrossIsFourDotsOnTheDiagonalsOfTheCentreSquare) {
    OpeningBook book;
    std::string error;
    ASSERT_TRUE(load_opening_book("cross", book, error));
    const Opening opening = opening_for_pair(book, 1, 0);
    EXPECT_EQ(opening.label, "cross");
    // Side 1 on (19, 15) and (20, 16), side 2 on (20, 15) and (19, 16); side 1 then moves.
    EXPECT_EQ(opening.dots, (std::vector<Dot>{{19, 15}, {20, 15}, {20, 16}, {19, 16}}));
    EXPECT_EQ(replay_dots(board, opening.dots), 4);
    EXPECT_EQ(board.side_to_move, 1);
    EXPECT_EQ(board.cell_owner[cell_index(board, 20, 16)], 1);
    EXPECT_EQ(board.cell_owner[cell_index(board, 19, 16)], 2);
}

// The start positions as openings on the match's board: their dots alternate from side 1
// and make the rules' own start position; cross4 is drawn for each pair, the same on every
// machine; a start position that does not fit the board is refused.
TEST(OpeningsTest, StartPositionsOnTheMatchBoard) {
    RuleSet standard{RuleKind::standard};
    const struct {
        const char* choice;
        int32_t cols, rows;
        StartPosition start;
    } cases[] = {
        {"cross", 10, 7, StartPosition::cross},   {"cross2", 39, 32, StartPosition::cross2},
        {"cross2", 8, 8, StartPosition::cross2},  {"cross4", 39, 32, StartPosition::cross4},
        {"cross4", 12, 9, StartPosition::cross4},
    };
    for (const auto& c : cases) {
        Board empty;
        init_board(empty, c.cols, c.rows, standard);
        OpeningBook book;
        std::string error;
        ASSERT_TRUE(load_opening_book(c.choice, book, error, &empty)) << c.choice << error;
        Board position;
        RuleSet with_start = standard;
        with_start.start = c.start;
        for (const int pair : {0, 1, 2}) {
            const Opening opening = opening_for_pair(book, 7, pair);
            ASSERT_EQ(replay_dots(empty, opening.dots), static_cast<int>(opening.dots.size()));
            EXPECT_EQ(empty.side_to_move, 1);
            if (c.start != StartPosition::cross4) {
                init_board(position, c.cols, c.rows, with_start);
                EXPECT_EQ(std::vector<int32_t>(empty.cell_owner),
                          std::vector<int32_t>(position.cell_owner))
                    << c.choice << " " << c.cols;
                EXPECT_EQ(opening.label, c.choice);
            } else {
                EXPECT_EQ(opening.label, std::string("cross4 #") + std::to_string(pair));
                EXPECT_EQ(opening.dots.size(), 16u);
                EXPECT_EQ(opening_for_pair(book, 7, pair).dots, opening.dots);
            }
        }
        if (c.start == StartPosition::cross4) {
            // Some pair of the first few is turned otherwise than another.
            bool differs = false;
            for (int pair = 1; pair < 8; ++pair)
                differs |=
                    opening_for_pair(book, 7, pair).dots != opening_for_pair(book, 7, 0).dots;
            EXPECT_TRUE(differs) << c.cols;
        }
    }
    Board small;
    init_board(small, 6, 3, standard);
    OpeningBook book;
    std::string error;
    EXPECT_FALSE(load_opening_book("cross4", book, error, &small));
    EXPECT_NE(error.find("6 x 3"), std::string::npos) << error;
}

// Random openings are drawn on the match's board under its rules.
TEST(OpeningsTest, RandomOpeningsOnASmallBoardUnderTheStandardRules) {
    Board empty;
    init_board(empty, 5, 4, RuleSet{RuleKind::standard, false});
    OpeningBook book;
    std::string error;
    ASSERT_TRUE(load_opening_book("random:12", book, error, &empty));
    for (int pair = 0; pair < 20; ++pair) {
        const Opening opening = opening_for_pair(book, 3, pair);
        EXPECT_EQ(replay_dots(empty, opening.dots), static_cast<int>(opening.dots.size()));
        for (const Dot& dot : opening.dots)
            EXPECT_TRUE(dot.x < 5 && dot.y < 4) << dot.x << " " << dot.y;
    }
}

TEST(OpeningsTest, EmptyHasNoDots) {
    OpeningBook book;
    std::string error;
    ASSERT_TRUE(load_opening_book("empty", book, error));
    EXPECT_TRUE(opening_for_pair(book, 1, 5).dots.empty());
}

TEST(OpeningsTest, RandomOpeningsAreLegalAndRepeatable) {
    OpeningBook book;
    std::string error;
    ASSERT_TRUE(load_opening_book("random:9", book, error));
    const Opening first = opening_for_pair(book, 42, 3);
    EXPECT_EQ(first.label, "random:9 #3");
    ASSERT_EQ(first.dots.size(), 9u);
    EXPECT_EQ(replay_dots(board, first.dots), 9);
    EXPECT_EQ(opening_for_pair(book, 42, 3).dots, first.dots);
    EXPECT_NE(opening_for_pair(book, 42, 4).dots, first.dots);
    EXPECT_NE(opening_for_pair(book, 43, 3).dots, first.dots);
    // The sequence is fixed by the seed and the pair alone, on every machine and build.
    EXPECT_EQ(
        first.dots,
        (std::vector<Dot>{
            {20, 26}, {12, 18}, {2, 10}, {5, 19}, {35, 18}, {31, 10}, {3, 3}, {8, 20}, {19, 9}}));

    ASSERT_TRUE(load_opening_book("random:0", book, error));
    EXPECT_TRUE(opening_for_pair(book, 1, 0).dots.empty());
    ASSERT_TRUE(load_opening_book("random:400", book, error));
    EXPECT_EQ(replay_dots(board, opening_for_pair(book, 7, 0).dots), 400);
}

TEST(OpeningsTest, RefusesBadSpecs) {
    OpeningBook book;
    std::string error;
    for (const char* choice :
         {"random:", "random:-1", "random:401", "random:3x", "/no/such/file"}) {
        EXPECT_FALSE(load_opening_book(choice, book, error)) << choice;
        EXPECT_FALSE(error.empty());
    }
}

TEST(OpeningsTest, LinesOfPairs) {
    std::vector<Opening> openings;
    std::string error;
    ASSERT_TRUE(parse_opening_text("# two openings\n19 15 20 15\n\n0,0, 38,31  # corners\r\n",
                                   "book.txt", openings, error))
        << error;
    ASSERT_EQ(openings.size(), 2u);
    EXPECT_EQ(openings[0].label, "book.txt:2");
    EXPECT_EQ(openings[1].label, "book.txt:4");
    EXPECT_EQ(openings[1].dots, (std::vector<Dot>{{0, 0}, {38, 31}}));

    // Used in turn, over again when the pairs outnumber them.
    OpeningBook book;
    book.kind = OpeningKind::file;
    book.file_openings = openings;
    EXPECT_EQ(opening_for_pair(book, 1, 2).label, "book.txt:2");
    EXPECT_EQ(opening_for_pair(book, 1, 3).label, "book.txt:4");
}

TEST(OpeningsTest, SgfCollections) {
    std::vector<Opening> openings;
    std::string error;
    ASSERT_TRUE(
        parse_opening_text("(;GM[40];B[tp];W[up])(;GM[40];B[aa])", "book.sgf", openings, error))
        << error;
    ASSERT_EQ(openings.size(), 2u);
    EXPECT_EQ(openings[0].dots, (std::vector<Dot>{{19, 15}, {20, 15}}));
    EXPECT_EQ(openings[1].label, "book.sgf #2");
}

TEST(OpeningsTest, FirstMovesOfTheGamesOfAnSgfFile) {
    const std::string path = ::testing::TempDir() + "openings_test_games.sgf";
    std::ofstream(path) << "(;SZ[39:32];B[tp];W[up](;B[aa];W[bb])(;B[cc]))\n" // the main line
                           "(;SZ[39:32]AB[aa];B[bb];W[cc];B[dd])\n"           // set-up dots
                           "(;SZ[39:32];B[aa])\n"                             // too short
                           "(;SZ[39:32];B[aa];W[aa];B[bb])\n"                 // refused move
                           "(;SZ[39];B[aa];W[bb];B[cc])\n"                    // wrong board
                           "(;SZ[39:32];B[aa];B[bb];W[cc])\n"                 // B twice
                           "(;SZ[39:32];B[dd];W[ee];B[ff];W[aa.aabbcc])\n";   // ends later
    OpeningBook book;
    std::string error;
    ASSERT_TRUE(load_opening_book("sgf:" + path + ":3", book, error)) << error;
    ASSERT_EQ(book.file_openings.size(), 2u);
    EXPECT_EQ(book.file_openings[0].label, "sgf:" + path + ":3 #1");
    EXPECT_EQ(book.file_openings[0].dots, (std::vector<Dot>{{19, 15}, {20, 15}, {0, 0}}));
    EXPECT_EQ(book.file_openings[1].label, "sgf:" + path + ":3 #7");
    EXPECT_EQ(book.file_openings[1].dots, (std::vector<Dot>{{3, 3}, {4, 4}, {5, 5}}));

    // On a match of another board, the games of that size.
    Board square;
    init_board(square, 39, 39);
    ASSERT_TRUE(load_opening_book("sgf:" + path + ":3", book, error, &square)) << error;
    ASSERT_EQ(book.file_openings.size(), 1u);
    EXPECT_EQ(book.file_openings[0].label, "sgf:" + path + ":3 #5");

    for (const std::string& bad :
         {"sgf:" + path + ":0", "sgf:" + path + ":x", "sgf:" + path + ":", "sgf:" + path + ":4097",
          "sgf:" + path + ":6", std::string("sgf::3"), std::string("sgf:/no/such/file:3")}) {
        EXPECT_FALSE(load_opening_book(bad, book, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    std::remove(path.c_str());
}

TEST(OpeningsTest, RefusesOpeningsTheRulesRefuse) {
    const char* bad[] = {
        "1 2 3",          // odd count
        "1 x",            // not a number
        "5 5 5 5",        // the same cell twice
        "39 0",           // off the right edge (the rules would read it as (0, 1))
        "0 32",           // below the board
        "-1 0",           // negative
        "",               // no openings at all
        "(;B[aa];B[bb])", // SGF moves that do not alternate
        "(;W[aa])",       // SGF that starts with White
        "(;B[aa]",        // broken SGF
    };
    for (const char* text : bad) {
        std::vector<Opening> openings;
        std::string error;
        EXPECT_FALSE(parse_opening_text(text, "f", openings, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

} // namespace
