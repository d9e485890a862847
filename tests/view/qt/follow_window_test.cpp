// fendrel-view --follow's window on Qt's offscreen platform, its poller on its own thread:
// the test writes a match's files step by step, as fendrel-match does, and waits each time
// for the window to show them (the board, the title, the list, the standings, the plot and
// the status line); and a finished file is shown whole.
#include "board_colour.h"
#include "records/live_game.h"
#include "view/qt/follow_window.h"
#include "view/qt/rating_plot.h"
#include "view_files.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSlider>
#include <QtTest>

#include <filesystem>
#include <fstream>

namespace {

// Long enough for any look at the files on a machine under load: a guard, not a pace.
constexpr int PATIENCE_MS = 30000;

void write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::app) << text;
}

// Game `number` between two of the field "a", "b", "c" before its first move.
GameRecord header(int number) {
    GameRecord record;
    record.game = number;
    record.side1 = number == 0 ? "a" : "b";
    record.side2 = number == 0 ? "b" : "c";
    record.increment_ms[0] = record.increment_ms[1] = 1000;
    return record;
}

// Move i of a game: along the top row.
std::string move(int i) {
    return live_move_line({i, 0}, false, 0, 100);
}

QString title(const FollowWindow& window) {
    return window.windowTitle();
}

// How many of the plot's pixels are of the colour.
int pixels_of(RatingPlot* plot, QColor colour) {
    const QImage image = plot->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

FollowState state_of(const std::string& path, std::optional<SprtSpec> sprt = std::nullopt) {
    FollowState state;
    state.results_path = path;
    state.sprt_option = sprt;
    return state;
}

} // namespace

class FollowWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void followsAMatchAsItsFilesAreWritten() {
        const ScratchFolder folder("follow-window");
        const std::string results = folder.path + "/match.jsonl";
        const std::string live = live_directory(results);
        FollowWindow window(follow_view(), state_of(results));
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.status->text().contains("does not exist yet"), PATIENCE_MS);
        QCOMPARE(title(window), QString("Fendrel view: no game yet"));

        std::filesystem::create_directory(live);
        write(live_match_path(results), live_match_text({{"a", "b", "c"}, 6, {}}));
        write(live_game_path(results, 0), live_header_line(header(0)) + move(0) + move(1));
        QTRY_COMPARE_WITH_TIMEOUT(
            title(window), QString("Fendrel view: game 0 at move 2, being played, following"),
            PATIENCE_MS);
        QCOMPARE(colour_at(window, 0, 0), SIDE1_COLOUR);
        QCOMPARE(colour_at(window, 1, 0), SIDE2_COLOUR);
        QCOMPARE(window.game_list->item(0)->text(), QString("#0 a - b: being played, move 2"));
        write(live_game_path(results, 0), move(2) + move(3));
        QTRY_COMPARE_WITH_TIMEOUT(window.model().move, 4, PATIENCE_MS);
        QCOMPARE(window.slider->maximum(), 4);
        QVERIFY(window.move_text->text().startsWith("Move 4 of 4"));

        // Stepped back, the window stays where it is as the game goes on.
        QTest::keyClick(&window, Qt::Key_Left);
        QCOMPARE(title(window), QString("Fendrel view: game 0 at move 3, being played"));
        write(live_game_path(results, 0), move(4));
        write(live_game_path(results, 1), live_header_line(header(1)));
        QTRY_COMPARE_WITH_TIMEOUT(window.game_list->count(), 2, PATIENCE_MS);
        QCOMPARE(window.game_list->item(0)->text(), QString("#0 a - b: being played, move 5"));
        QCOMPARE(title(window), QString("Fendrel view: game 0 at move 3, being played"));
        QCOMPARE(window.slider->maximum(), 5);
        QTest::keyClick(&window, Qt::Key_End);
        QCOMPARE(title(window), QString("Fendrel view: game 0 at move 5, being played, following"));

        // The game ends as fendrel-match ends it: its results line, then its file goes.
        GameRecord finished = header(0);
        for (int i = 0; i < 6; ++i)
            finished.dots.push_back({i, 0});
        finished.winner = 2;
        finished.reason = REASON_BOARD_FULL;
        write(results, record_to_json(finished) + "\n");
        std::filesystem::remove(live_game_path(results, 0));
        QTRY_COMPARE_WITH_TIMEOUT(
            title(window), QString("Fendrel view: game 1 at move 0, being played, following"),
            PATIENCE_MS);
        QCOMPARE(window.game_list->item(0)->text(), QString("#0 a - b: side 2 won (board full)"));
        QCOMPARE(window.game_list->item(1)->text(), QString("#1 b - c: being played, move 0"));
        QVERIFY(window.standings->toPlainText().contains("Games: 1 finished of 6, 1 in progress"));
        QVERIFY(window.standings->toPlainText().contains("No games: c"));
        QCOMPARE(window.plot->series().games, 1);
        QVERIFY(window.status->text().contains("Game 0 has ended"));

        // The results file breaks and mends: garbage, a line cut short, gone, back.
        write(results, "garbage\n{\"match\":");
        QTRY_VERIFY_WITH_TIMEOUT(window.status->text().contains("without its line feed"),
                                 PATIENCE_MS);
        QVERIFY(window.status->text().contains("1 line is no results line and is left out: 2"));
        std::filesystem::remove(results);
        QTRY_VERIFY_WITH_TIMEOUT(window.status->text().contains("is gone"), PATIENCE_MS);
        QCOMPARE(window.game_list->count(), 2);
        write(results, record_to_json(finished) + "\n");
        QTRY_VERIFY_WITH_TIMEOUT(!window.status->text().contains("is gone"), PATIENCE_MS);
        QVERIFY(!window.status->text().contains("no results line"));
        QCOMPARE(window.game_list->count(), 2);

        // The folder of games in progress goes: what is left is the finished game.
        std::filesystem::remove_all(live);
        QTRY_VERIFY_WITH_TIMEOUT(window.status->text().contains("is not there"), PATIENCE_MS);
        QCOMPARE(window.game_list->count(), 1);
        QCOMPARE(title(window), QString("Fendrel view: game 0 at move 6, finished, following"));
    }

    void aFinishedFileIsShownWhole() {
        const ScratchFolder folder("follow-finished");
        const std::string results = folder.path + "/tournament.jsonl";
        std::filesystem::copy_file(MATCH_FIXTURES "/tournament.jsonl", results);
        FollowWindow window(follow_view(), state_of(results));
        window.show();
        // Its last line repeats game 5, which is counted once.
        QTRY_COMPARE_WITH_TIMEOUT(window.game_list->count(), 120, PATIENCE_MS);
        QCOMPARE(title(window), QString("Fendrel view: game 92 at move 0, finished, following"));
        QVERIFY(window.standings->toPlainText().contains("Ratings: 5 engines, 120 games"));
        QVERIFY(window.status->text().contains("is not there"));
        QVERIFY(window.status->text().contains("1 line repeats a game it has, and is left out: "
                                               "game 5"));
        const RatingSeries& series = window.plot->series();
        QVERIFY(!series.difference);
        QCOMPARE(series.lines.size(), size_t{5});
        // Each engine's line is drawn in its colour, with its name in the legend.
        for (size_t i = 0; i < series.lines.size(); ++i) {
            QCOMPARE(series.lines[i].points.size(), size_t{120});
            QVERIFY2(pixels_of(window.plot, RatingPlot::line_colour(i)) > 100,
                     series.lines[i].name.c_str());
        }
    }

    void twoEnginesWithTheSprtOfTheCommandLine() {
        const ScratchFolder folder("follow-sprt");
        const std::string results = folder.path + "/stopped.jsonl";
        std::filesystem::copy_file(MATCH_FIXTURES "/stopped_run.jsonl", results);
        FollowWindow window(follow_view(), state_of(results, SprtSpec{true, 0, 10, 0.05, 0.05}));
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(window.game_list->count(), 2, PATIENCE_MS);
        QVERIFY(window.standings->toPlainText().contains("SPRT: llr"));
        QVERIFY(window.status->text().contains("without its line feed"));
        const RatingSeries& series = window.plot->series();
        QVERIFY(series.difference);
        QVERIFY(series.sprt);
        QCOMPARE(series.llr.size(), size_t{2});
        QVERIFY(pixels_of(window.plot, RatingPlot::line_colour(0)) > 10);
    }
};

QTEST_MAIN(FollowWindowTest)
#include "follow_window_test.moc"
