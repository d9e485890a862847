// The standard rules, grounding and the start positions on hand-made positions, each drawn
// as a diagram of the area around it (see board_diagram.h for the letters).
#include "board_diagram.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/standard_bases.h"

#include <gtest/gtest.h>

#include <utility>

#include <string>
#include <vector>

namespace {

Board board;

struct Placed {
    int side;
    int32_t x, y;
};

struct PositionCase {
    const char* what;
    const char* rules;
    std::vector<Placed> dots;
    std::string diagram;                              // columns 0 to 4, rows 0 to 4
    int32_t balance;                                  // side 1's
    std::vector<std::pair<int32_t, int32_t>> refused; // points no dot may take now
};

// The ring around (2, 2) that side 1 closes with its fourth dot.
std::vector<Placed> ring(int side) {
    return {{side, 2, 1}, {side, 1, 2}, {side, 3, 2}, {side, 2, 3}};
}

std::vector<Placed> operator+(std::vector<Placed> a, const std::vector<Placed>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Side 1's ring captures side 2's dot at (2, 2); side 1's dot at (1, 1) has that point alone
// as a gap between its own dots, so our rules enclose it once more; side 2's ring around it
// all, closed at (2, 4), frees it once.
std::vector<Placed> enclosed_twice_freed_once() {
    return {{1, 2, 1}, {2, 2, 2}, {1, 1, 2}, {2, 1, 0}, {1, 3, 2}, {2, 2, 0}, {1, 2, 3}, {2, 0, 1},
            {1, 1, 1}, {2, 3, 1}, {2, 0, 2}, {2, 4, 2}, {2, 1, 3}, {2, 3, 3}, {2, 2, 4}};
}

TEST(StandardRules, PositionsOfEachRule) {
    const PositionCase cases[] = {
        {"an empty ring captures nothing and stays open to both",
         "standard",
         ring(1),
         ".....\n..X..\n.X.X.\n..X..\n.....\n",
         0,
         {}},
        {"the same ring is an enclosure under the fendrel rules",
         "fendrel",
         ring(1),
         ".....\n..X..\n.X+X.\n..X..\n.....\n",
         0,
         {{2, 2}}},
        {"with empty bases captured, the empty ring is a base",
         "standard,empty-bases=capture",
         ring(1),
         ".....\n..X..\n.X+X.\n..X..\n.....\n",
         0,
         {{2, 2}}},
        {"a ring around an enemy dot captures it",
         "standard",
         std::vector<Placed>{{2, 2, 2}} + ring(1),
         ".....\n..X..\n.XoX.\n..X..\n.....\n",
         1,
         {}},
        {"a dot into the other's empty ring is captured at once (suicide)",
         "standard",
         ring(1) + std::vector<Placed>{{2, 2, 2}},
         ".....\n..X..\n.XoX.\n..X..\n.....\n",
         1,
         {}},
        {"a dot inside the other's ring that captures is not captured: it breaks the ring",
         "standard",
         ring(1) + std::vector<Placed>{{2, 2, 0}, {2, 1, 1}, {2, 3, 1}, {2, 2, 2}},
         "..O..\n.OxO.\n.XOX.\n..X..\n.....\n",
         -1,
         {}},
        {"a dot enclosed twice and freed once stays captured under the fendrel rules, though "
         "the score counts it freed",
         "fendrel",
         enclosed_twice_freed_once(),
         ".OO..\nOxxO.\nOxoxO\n.OxO.\n..O..\n",
         -5,
         {}},
        {"with empty bases captured, the newest base frees it",
         "standard,empty-bases=capture",
         enclosed_twice_freed_once(),
         ".OO..\nOxxO.\nOxOxO\n.OxO.\n..O..\n",
         -5,
         {}},
        {"a ring that reaches the edge is no ring",
         "standard",
         {{2, 0, 1}, {1, 0, 0}, {1, 1, 1}, {1, 0, 2}},
         "X....\nOX...\nX....\n.....\n.....\n",
         0,
         {}},
    };
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.what);
        RuleSet rules;
        std::string error;
        ASSERT_TRUE(parse_rule_set(c.rules, rules, error)) << error;
        reset_rules_state(board, 12, 12, rules);
        for (const Placed& p : c.dots)
            play_for(board, p.side, p.x, p.y);
        EXPECT_EQ(board_diagram(board, 0, 0, 4, 4), c.diagram);
        EXPECT_EQ(side1_balance(board), c.balance);
        for (const auto& [x, y] : c.refused)
            EXPECT_FALSE(is_legal_dot(board, x, y)) << x << "," << y;
    }
}

// With suicide off, the dot that would be captured at once is refused, and the point stays
// open to the ring's own side.
TEST(StandardRules, SuicideOffRefusesTheDot) {
    RuleSet rules;
    std::string error;
    ASSERT_TRUE(parse_rule_set("standard,suicide=off", rules, error));
    reset_rules_state(board, 9, 9, rules);
    for (const Placed& p : ring(1))
        play_for(board, p.side, p.x, p.y);
    ASSERT_EQ(board.side_to_move, 2);
    EXPECT_FALSE(is_legal_dot(board, 2, 2));
    play(board, 6, 6);
    EXPECT_TRUE(is_legal_dot(board, 2, 2));

    // When such a point is all that is left to the side to move, the game is over; with
    // suicide on, the dot is a move.
    for (const bool suicide : {false, true}) {
        rules.suicide = suicide;
        reset_rules_state(board, 4, 3, rules);
        for (const auto& [x, y] : {std::pair{1, 0},
                                   {0, 0},
                                   {0, 1},
                                   {2, 0},
                                   {2, 1},
                                   {0, 2},
                                   {1, 2},
                                   {2, 2},
                                   {3, 1},
                                   {3, 0},
                                   {3, 2}})
            play(board, x, y);
        ASSERT_EQ(board.side_to_move, 2);
        EXPECT_EQ(board_full(board), suicide ? 0 : 1) << suicide;
        EXPECT_EQ(is_legal_dot(board, 1, 1), suicide) << suicide;
    }
}

// Grounding: the side's dots not linked to the edge through its own dots, orthogonally or
// diagonally, count as captured; the game is over.
TEST(StandardRules, GroundingLosesTheDotsNotLinkedToTheEdge) {
    reset_rules_state(board, 8, 8, RuleSet{RuleKind::standard});
    for (const Placed& p : std::vector<Placed>{{1, 0, 3}, {1, 1, 4}, {1, 4, 4}, {1, 5, 5}})
        play_for(board, p.side, p.x, p.y);
    ASSERT_EQ(board.side_to_move, 2);
    play(board, 3, 3);
    ASSERT_EQ(board.side_to_move, 1);
    const int32_t before = side1_balance(board);
    ground(board);
    EXPECT_EQ(side1_balance(board), before - 2); // (4, 4) and (5, 5)
    EXPECT_EQ(board_diagram(board, 0, 3, 5, 5), "X..O..\n.X..x.\n.....x\n");
    EXPECT_EQ(board_full(board), 1);
    EXPECT_FALSE(is_legal_dot(board, 6, 1));
}

// Each start position on two sizes: where its crosses are, side 1 to move.
TEST(StandardRules, StartPositionsOnTwoSizes) {
    struct StartCase {
        StartPosition start;
        int32_t cols, rows;
        std::vector<Placed> side1_dots; // the upper-left dot of each cross that is side 1's
    };
    const StartCase cases[] = {
        {StartPosition::cross, 39, 32, {{1, 19, 15}, {1, 20, 16}, {2, 20, 15}, {2, 19, 16}}},
        {StartPosition::cross, 10, 7, {{1, 4, 2}, {1, 5, 3}, {2, 5, 2}, {2, 4, 3}}},
        {StartPosition::cross2,
         39,
         32,
         {{1, 18, 15},
          {2, 19, 15},
          {2, 20, 15},
          {1, 21, 15},
          {2, 18, 16},
          {1, 19, 16},
          {1, 20, 16},
          {2, 21, 16}}},
        {StartPosition::cross2, 8, 8, {{1, 2, 3}, {2, 3, 3}, {2, 4, 3}, {1, 5, 3}}},
        {StartPosition::cross4,
         39,
         32,
         {{1, 12, 9}, {2, 13, 9}, {1, 25, 9}, {1, 25, 21}, {1, 12, 21}, {2, 12, 22}}},
        {StartPosition::cross4, 5, 5, {{1, 0, 0}, {1, 3, 0}, {1, 3, 3}, {1, 0, 3}, {2, 4, 3}}},
    };
    for (const StartCase& c : cases) {
        RuleSet rules{RuleKind::standard};
        rules.start = c.start;
        reset_rules_state(board, c.cols, c.rows, rules);
        for (const Placed& p : c.side1_dots)
            EXPECT_EQ(board.cell_owner[cell_index(board, p.x, p.y)], p.side)
                << rule_set_text(rules) << " " << c.cols << " at " << p.x << "," << p.y;
        int dots = 0;
        for (int32_t i = board.first_cell; i < board.end_cell; ++i)
            dots += board.cell_owner[i] == 1 || board.cell_owner[i] == 2;
        EXPECT_EQ(dots, c.start == StartPosition::cross    ? 4
                        : c.start == StartPosition::cross2 ? 8
                                                           : 16);
        EXPECT_EQ(board.side_to_move, 1);
    }
}

} // namespace
