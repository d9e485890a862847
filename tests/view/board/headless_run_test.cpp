// `make run` without a display, end to end: the script it calls plays a short game of
// dotbot against itself through fendrel-match and fendrel-board, and what it prints and
// draws must show the game that the results file records, replayed on the rules core.
#include "match_program.h"
#include "records/game_record.h"
#include "records/replay.h"
#include "rules/board.h"
#include "ui/board_picture.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
namespace {

// The board the records are played on.
Board board;

class HeadlessRunTest : public MatchProgramTest {
  protected:
    // Runs the headless script on the test's folder with dotbot at one playout a move (a
    // game in well under a second natively), its output in files; killed after timeout_ms.
    ProgramRun run_script(int timeout_ms,
                          std::vector<const char*> engines = {"Engine1.exe", "Engine2.exe"}) {
        for (const char* name : engines)
            std::filesystem::copy_file(DOTBOT, path(name));
        std::vector<std::string> words = {RUN_HEADLESS, BUILD_DIR,   folder, "--playouts",
                                          "1",          "--threads", "1"};
        const pid_t pid = start_program(words, "run");
        EXPECT_NE(pid, -1);
        return pid != -1 ? wait_match(pid, "run", timeout_ms) : ProgramRun{};
    }
};

// "+3", "0", "-3".
std::string signed_number(int32_t n) {
    return (n > 0 ? "+" : "") + std::to_string(n);
}

// The colour that the window shows at the grid point of (x, y) on the board as it stands:
// the dot (or the latest-move mark on it), else the enclosure or the grid lines' crossing.
Colour expected_point_colour(int32_t x, int32_t y, const Dot& latest) {
    const int32_t cell = cell_index(board, x, y);
    const bool enclosed = board.cell_enclosed[cell] != 0;
    switch (board.cell_owner[cell]) {
    case 1:
    case 2:
        if (latest == Dot{x, y})
            return LATEST_MARK_COLOUR;
        if (board.cell_owner[cell] == 1)
            return enclosed ? SIDE1_ENCLOSED_COLOUR : SIDE1_COLOUR;
        return enclosed ? SIDE2_ENCLOSED_COLOUR : SIDE2_COLOUR;
    default:
        return enclosed ? ENCLOSURE_COLOUR : GRID_COLOUR;
    }
}

// The grid mark of (x, y) as the printed board shows it.
char expected_mark(int32_t x, int32_t y) {
    const int32_t cell = cell_index(board, x, y);
    const bool enclosed = board.cell_enclosed[cell] != 0;
    if (board.cell_owner[cell] == 1)
        return enclosed ? 'x' : 'X';
    if (board.cell_owner[cell] == 2)
        return enclosed ? 'o' : 'O';
    return enclosed ? '+' : '.';
}

TEST_F(HeadlessRunTest, ShortGamePrintsItsProgressBoardAndScoreAndDrawsItsPicture) {
    const ProgramRun run = run_script(60000);
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(nothing_left_behind());

    const std::vector<GameRecord> records = read_records("game.jsonl");
    ASSERT_EQ(records.size(), 1u);
    const GameRecord& game = records[0];
    EXPECT_EQ(game.reason, REASON_BOARD_FULL);
    ASSERT_EQ(replay_dots(board, game.dots), static_cast<int>(game.dots.size()));
    EXPECT_EQ(side1_balance(board), game.score);

    // Progress while it played, and at the end the whole game, followed from the engine log.
    std::istringstream out(run.out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(out, line);)
        lines.push_back(line);
    std::vector<std::string> progress;
    for (const std::string& line : lines)
        if (line.rfind("move ", 0) == 0)
            progress.push_back(line);
    ASSERT_GE(progress.size(), 2u) << run.out;
    EXPECT_EQ(progress.back().rfind("move " + std::to_string(game.dots.size()) +
                                        ", 0 points free, side 1 " + signed_number(game.score) +
                                        ", ",
                                    0),
              0u)
        << progress.back();

    // The board: under the column numbers, one line per row, its number and the points.
    size_t row = 0;
    while (row < lines.size() && lines[row].rfind("   0 1 2 3 4 5 6 7 8 9 0 1", 0) != 0)
        ++row;
    ASSERT_LT(row + board.board_rows, lines.size()) << run.out;
    for (int32_t y = 0; y < board.board_rows; ++y) {
        const std::string& line = lines[++row];
        ASSERT_EQ(line.size(), 2u + 2 * board.board_cols) << line;
        EXPECT_EQ(std::atoi(line.substr(0, 2).c_str()), y);
        for (int32_t x = 0; x < board.board_cols; ++x)
            EXPECT_EQ(line[3 + 2 * x], expected_mark(x, y)) << "at " << x << ", " << y;
    }
    EXPECT_NE(run.out.find("Score: side 1 " + signed_number(game.score) + " ("), std::string::npos)
        << run.out;
    const std::string winner = game.winner == 0   ? "Result: a draw"
                               : game.winner == 1 ? "Winner: side 1 (red, X) Engine1.exe"
                                                  : "Winner: side 2 (blue, O) Engine2.exe";
    EXPECT_NE(run.out.find(winner), std::string::npos) << run.out;

    // The picture: the window's board area, each grid point in the colour of its state.
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(path("final.png")), "PNG"));
    EXPECT_EQ(image.width(), 20 * board.board_cols + 15);
    EXPECT_EQ(image.height(), 20 * board.board_rows + 15);
    int wrong = 0;
    for (int32_t y = 0; y < board.board_rows; ++y)
        for (int32_t x = 0; x < board.board_cols; ++x) {
            const QRgb pixel = image.pixel(20 + 20 * x, 20 + 20 * y);
            const Colour seen{static_cast<uint8_t>(qRed(pixel)),
                              static_cast<uint8_t>(qGreen(pixel)),
                              static_cast<uint8_t>(qBlue(pixel))};
            wrong += seen != expected_point_colour(x, y, game.dots.back());
        }
    EXPECT_EQ(wrong, 0);
    // Between the points the background shows, unless an enclosure covers it.
    const QRgb corner = image.pixel(10, 10);
    EXPECT_EQ(qRgb(BACKGROUND_COLOUR.r, BACKGROUND_COLOUR.g, BACKGROUND_COLOUR.b), corner);
}

TEST_F(HeadlessRunTest, MatchThatCannotStartFailsWithItsReasonAndNoPicture) {
    const ProgramRun run = run_script(20000, {"Engine1.exe"});
    ASSERT_NE(run.status, -1);
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) != 0);
    EXPECT_NE(run.err.find("Engine2.exe"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(path("final.png")));
    EXPECT_TRUE(nothing_left_behind());
}

} // namespace
