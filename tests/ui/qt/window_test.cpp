// The Linux window with the referee, on Qt's offscreen platform: its size and status bar,
// texts from reader threads, clicks, the clock timer, the painted board, message boxes
// that leave the window usable, and the close. Engines are the recording stand-ins; the
// test's threads play their readers.
#include "engine/engine_events.h"
#include "engine/engine_process.h"
#include "recording_engines.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "referee/move.h"
#include "referee/window.h"
#include "ui/board_picture.h"
#include "ui/qt/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace {

using Writes = std::vector<std::string>;

// A fresh board, engines and status bar, then the start of the game.
void start(bool engine1_present, bool engine2_present) {
    init_board(game_board);
    recording_engines::reset(engine1_present, engine2_present);
    game_board.last_move_cell = 0;
    clock_timer->stop();
    for (QLabel* part : status_part)
        part->clear();
    start_game();
}

// The text a status part shows.
QString part_text(int part) {
    return status_part[part]->text();
}

// The client pixel of the board point (x, y).
QPoint grid_point(int32_t x, int32_t y) {
    return {20 + 20 * x, 20 + 20 * y};
}

// A click on the board area (QTest hands it to the window itself, whatever lies there).
void click_at(QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(main_window, button, {}, point);
}

// Runs fn on a thread of its own, as an engine's reader would, while this thread goes on
// handling the window's events; returns once fn has returned. A reader still waiting
// after a minute ends the test program, since it would otherwise outlive what it refers to.
bool run_as_reader(const std::function<void()>& fn) {
    std::atomic<bool> done{false};
    std::thread reader([&] {
        fn();
        done = true;
    });
    QDeadlineTimer deadline(60000);
    while (!done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!done)
        qFatal("a reader thread still waits after a minute");
    reader.join();
    return done;
}

// Every message box that is open.
std::vector<QMessageBox*> open_boxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            boxes.push_back(box);
    return boxes;
}

// The message box that is open, if any.
QMessageBox* open_box() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

// Calls fn with the first message box that opens, from inside the box's own event loop.
void when_box_opens(std::function<void(QMessageBox*)> fn) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, fn] {
        if (QMessageBox* box = open_box()) {
            poll->stop();
            poll->deleteLater();
            fn(box);
        }
    });
    poll->start(5);
}

// Closes a box as its user would, with its OK button.
void close_box(QMessageBox* box) {
    box->button(QMessageBox::Ok)->click();
}

// What a board point shows, as the pixels of a picture of the window tell it.
enum class Seen {
    empty,
    enclosed_empty,
    side1,
    side1_captured,
    side2,
    side2_captured,
    latest,
    unknown
};

// What the pixel at point shows.
Seen seen_at(const QImage& shot, QPoint point) {
    const QRgb pixel = shot.pixel(point);
    const std::pair<Colour, Seen> colours[] = {
        {GRID_COLOUR, Seen::empty},        {ENCLOSURE_COLOUR, Seen::enclosed_empty},
        {SIDE1_COLOUR, Seen::side1},       {SIDE1_ENCLOSED_COLOUR, Seen::side1_captured},
        {SIDE2_COLOUR, Seen::side2},       {SIDE2_ENCLOSED_COLOUR, Seen::side2_captured},
        {LATEST_MARK_COLOUR, Seen::latest}};
    for (auto [colour, seen] : colours)
        if (pixel == qRgb(colour.r, colour.g, colour.b))
            return seen;
    return Seen::unknown;
}

// What the game state says a board point should show.
Seen expected_at(int32_t x, int32_t y) {
    const int32_t cell = cell_index(game_board, x, y);
    const bool enclosed = game_board.cell_enclosed[cell] != 0;
    if (game_board.cell_owner[cell] == CELL_EMPTY)
        return enclosed ? Seen::enclosed_empty : Seen::empty;
    if (cell == game_board.last_move_cell)
        return Seen::latest;
    if (game_board.cell_owner[cell] == 1)
        return enclosed ? Seen::side1_captured : Seen::side1;
    return enclosed ? Seen::side2_captured : Seen::side2;
}

// Whether an enclosure disc of the point or of a neighbour may lie over its dot's rim.
bool enclosure_near(int32_t x, int32_t y) {
    for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx)
            if (game_board.cell_enclosed[cell_index(game_board, x + dx, y + dy)] != 0)
                return true;
    return false;
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        init_board(game_board);
        create_main_window();
        main_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(main_window));
    }

    void startUpLaysOutTheWindowAndNamesThePlayers() {
        start(true, true);
        QCOMPARE(main_window->windowTitle(), QString("Fendrel"));
        QCOMPARE(main_window->size(), QSize(795, 675));
        QCOMPARE(main_window->minimumSize(), main_window->maximumSize());
        QVERIFY(!(main_window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(back_buffer.size(), QSize(795, 655));
        QCOMPARE(status_bar->geometry(), QRect(0, 655, 795, 20));
        const int lefts[] = {0, 125, 165, 290, 330, 365};
        const int widths[] = {125, 40, 125, 40, 35, 795 - 365};
        for (int part = 0; part < STATUS_PART_COUNT; ++part)
            QCOMPARE(status_part[part]->geometry(), QRect(lefts[part], 0, widths[part], 20));
        const QString texts[] = {"Игрок", "", "Игрок", "", "", ""};
        for (int part = 0; part < STATUS_PART_COUNT; ++part)
            QCOMPARE(part_text(part), texts[part]);
        // Before the first move no clock shows and no timer runs.
        QVERIFY(!clock_timer->isActive());
    }

    void readerTextsAndMovesReachTheStatusBarInOrder() {
        start(true, true);
        QVERIFY(run_as_reader([] {
            window_set_status_text(0, "Bot One");
            window_set_status_text(2, "Bot Two");
            engine_moved(engine1, 19, 15);
            window_set_status_text(5, "first");
            window_set_status_text(5, "second");
        }));
        QCOMPARE(game_board.cell_owner[cell_index(game_board, 19, 15)], 1);
        QCOMPARE(part_text(0), QString("Bot One"));
        QCOMPARE(part_text(2), QString("Bot Two"));
        QCOMPARE(part_text(1), QString(""));
        QCOMPARE(part_text(3), QString("0:10"));
        QCOMPARE(part_text(4), QString("0"));
        QCOMPARE(part_text(5), QString("second"));
        QVERIFY(clock_timer->isActive());
        QCOMPARE(recording_engines::writes(engine2).at(2).rfind("move 19 15\ntime ", 0), size_t{0});
    }

    void engineLinesShowAsTextInUtf8OrWindows1251() {
        start(true, true);
        const std::string long_line(4095, 'L');
        QString shown[5];
        QVERIFY(run_as_reader([&] {
            const char* lines[] = {"\xcf\xf0\xe8\xe2\xe5\xf2", "Привет", "<b>bold</b> &amp;",
                                   long_line.c_str(), ""};
            for (int i = 0; i < 5; ++i) {
                window_set_status_text(5, lines[i]);
                shown[i] = part_text(5); // the reader waited until the text was set
            }
        }));
        QCOMPARE(shown[0], QString("Привет"));
        QCOMPARE(shown[1], QString("Привет"));
        QCOMPARE(shown[2], QString("<b>bold</b> &amp;"));
        QCOMPARE(shown[3], QString::fromStdString(long_line));
        QCOMPARE(shown[4], QString(""));
        QCOMPARE(status_part[5]->textFormat(), Qt::PlainText);
        QCOMPARE(main_window->size(), QSize(795, 675));
        QCOMPARE(status_part[5]->width(), 795 - 365);
    }

    void anEngineThatExitsPassesItsSideToTheMouse() {
        start(true, true);
        click_at(grid_point(3, 4));
        QCOMPARE(game_board.cell_owner[cell_index(game_board, 3, 4)], CELL_EMPTY);
        QVERIFY(run_as_reader([] { engine_output_ended(engine1); }));
        QCOMPARE(part_text(5), QString("Engine1.exe exited"));
        click_at(grid_point(3, 4));
        QCOMPARE(game_board.cell_owner[cell_index(game_board, 3, 4)], 1);
        QCOMPARE(recording_engines::writes(engine2).at(2).rfind("move 3 4\ntime ", 0), size_t{0});
    }

    void theClockTicksOnTheWindowThread() {
        start(false, false);
        click_at(grid_point(0, 0));
        QCOMPARE(part_text(3), QString("0:10"));
        QTRY_COMPARE_WITH_TIMEOUT(part_text(3), QString("0:09"), 30000);
        QVERIFY(clock_timer->isActive());
        QCOMPARE(part_text(1), QString(""));
    }

    void clicksPlayForSidesWithoutEngines() {
        start(false, false);
        click_at(grid_point(3, 4));
        click_at(grid_point(5, 6) + QPoint(9, 9)); // the last pixel that still means (5, 6)
        click_at(grid_point(7, 8), Qt::RightButton);
        QTest::mouseClick(status_part[3], Qt::LeftButton); // the status bar is no board
        QCOMPARE(game_board.cell_owner[cell_index(game_board, 3, 4)], 1);
        QCOMPARE(game_board.cell_owner[cell_index(game_board, 5, 6)], 2);
        QCOMPARE(game_board.cell_owner[cell_index(game_board, 7, 8)], CELL_EMPTY);
        QCOMPARE(game_board.side_to_move, 1);
        QCOMPARE(open_box(), nullptr);
        QCOMPARE(part_text(4), QString("0"));
        QCOMPARE(part_text(1), QString("0:20"));
        QCOMPARE(game_board.last_move_cell, cell_index(game_board, 5, 6));
    }

    void clicksAreIgnoredWhileARunningEnginePlaysTheSideToMove() {
        start(true, false);
        click_at(grid_point(3, 4));
        QCOMPARE(game_board.cell_owner[cell_index(game_board, 3, 4)], CELL_EMPTY);
        QVERIFY(run_as_reader([] { engine_moved(engine1, 10, 10); }));
        click_at(grid_point(3, 4));
        QCOMPARE(game_board.cell_owner[cell_index(game_board, 3, 4)], 2);
        QCOMPARE(recording_engines::writes(engine1).at(3).rfind("move 3 4\ntime ", 0), size_t{0});
    }

    void paintedBoardShowsEveryPointAsTheGameHasIt() {
        start(false, false);
        // Side 2 captures (3, 3); side 1 encloses side 2's (10, 10) and the empty (11, 10).
        const QPoint moves[] = {{3, 3}, {2, 3},   {9, 10},  {3, 2},   {10, 9},  {4, 3},   {11, 9},
                                {3, 4}, {12, 10}, {10, 10}, {11, 11}, {30, 25}, {10, 11}, {31, 25}};
        for (QPoint move : moves)
            QCOMPARE(make_move(move.x(), move.y()), 1);
        QCOMPARE(game_board.cell_enclosed[cell_index(game_board, 3, 3)], 1);
        QCOMPARE(game_board.cell_enclosed[cell_index(game_board, 11, 10)], 1);

        const QImage shot = main_window->grab().toImage();
        int enclosed_seen = 0;
        for (int32_t y = 0; y < game_board.board_rows; ++y) {
            for (int32_t x = 0; x < game_board.board_cols; ++x) {
                const QPoint centre = grid_point(x, y);
                const Seen expected = expected_at(x, y);
                QCOMPARE(int(seen_at(shot, centre)), int(expected));
                if (expected == Seen::enclosed_empty) {
                    // The enclosure disc reaches 14 pixels up from the point.
                    QCOMPARE(int(seen_at(shot, centre + QPoint(0, -14))), int(expected));
                    ++enclosed_seen;
                }
                if (game_board.cell_owner[cell_index(game_board, x, y)] == CELL_EMPTY ||
                    enclosure_near(x, y))
                    continue;
                // A free dot spans 14 pixels from 6 left of (or above) the point, over the
                // grid lines; the white mark 8 pixels from 3 left of (or above) it.
                const Seen dot = game_board.cell_owner[cell_index(game_board, x, y)] == 1
                                     ? Seen::side1
                                     : Seen::side2;
                const bool latest = expected == Seen::latest;
                for (QPoint step : {QPoint(1, 0), QPoint(0, 1)}) {
                    QCOMPARE(int(seen_at(shot, centre - 7 * step)), int(Seen::empty));
                    QCOMPARE(int(seen_at(shot, centre - 6 * step)), int(dot));
                    QCOMPARE(int(seen_at(shot, centre + 7 * step)), int(dot));
                    QCOMPARE(int(seen_at(shot, centre + 8 * step)), int(Seen::empty));
                    QCOMPARE(int(seen_at(shot, centre - 4 * step)), int(dot));
                    QCOMPARE(int(seen_at(shot, centre - 3 * step)),
                             int(latest ? Seen::latest : dot));
                    QCOMPARE(int(seen_at(shot, centre + 4 * step)),
                             int(latest ? Seen::latest : dot));
                    QCOMPARE(int(seen_at(shot, centre + 5 * step)), int(dot));
                }
            }
        }
        QCOMPARE(enclosed_seen, 1);
        // Between the points lies the light-gray background; the status bar is not painted.
        QCOMPARE(shot.pixel(30, 30), qRgb(192, 192, 192));
        QCOMPARE(shot.pixel(790, 650), qRgb(192, 192, 192));
    }

    void illegalClickOpensABoxAndTheWindowStillTakesClicks() {
        start(false, false);
        click_at(grid_point(3, 4));
        QString caption;
        QString text;
        int32_t owner_during_box = -1;
        bool timer_during_box = false;
        bool closed = false;
        when_box_opens([&](QMessageBox* box) {
            caption = box->windowTitle();
            text = box->text();
            timer_during_box = clock_timer->isActive();
            click_at(grid_point(5, 6)); // side 2, whose turn it still is
            owner_during_box = game_board.cell_owner[cell_index(game_board, 5, 6)];
            close_box(box);
            closed = true;
        });
        QTimer::singleShot(0, [] { click_at(grid_point(3, 4)); });
        QTRY_VERIFY_WITH_TIMEOUT(closed, 30000);
        QCOMPARE(caption, QString("error"));
        QCOMPARE(text, QString("illegal move!"));
        QVERIFY(timer_during_box);
        QCOMPARE(owner_during_box, 2);
        QCOMPARE(open_box(), nullptr);
    }

    void eachEnginesBoxHoldsUpOnlyItsOwnReader() {
        start(true, true);
        std::atomic<bool> first_returned{false};
        std::atomic<bool> second_returned{false};
        std::thread first([&] {
            engine_moved(engine1, 0, -1); // off the board
            first_returned = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(open_boxes().size() == 1, 30000);
        QMessageBox* first_box = open_boxes()[0];
        std::thread second([&] {
            engine_moved(engine2, 5, 5); // side 1 is to move
            second_returned = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(open_boxes().size() == 2, 30000);
        QMessageBox* second_box = open_boxes()[0] == first_box ? open_boxes()[1] : open_boxes()[0];
        // With both boxes open, the window takes engine 1's next move.
        QVERIFY(run_as_reader([] { engine_moved(engine1, 3, 3); }));
        QCOMPARE(game_board.cell_owner[cell_index(game_board, 3, 3)], 1);
        QVERIFY(!first_returned && !second_returned);
        // Closing the first box releases its reader alone.
        close_box(first_box);
        QTRY_VERIFY_WITH_TIMEOUT(first_returned, 30000);
        QVERIFY(!second_returned);
        close_box(second_box);
        QTRY_VERIFY_WITH_TIMEOUT(second_returned, 30000);
        first.join();
        second.join();
    }

    void closingQuitsTheEnginesAndReleasesAWaitingReader() {
        start(true, true);
        recording_engines::clear_writes();
        when_box_opens([](QMessageBox*) { main_window->close(); });
        QVERIFY(run_as_reader([] { engine_moved(engine1, 0, -1); }));
        QCOMPARE(recording_engines::all_writes(), (Writes{"1:quit\n", "2:quit\n"}));
        QVERIFY(!engine1.running && !engine2.running);
        // Once the window is gone, reader threads neither wait nor reach it.
        bool ran = true;
        QVERIFY(run_as_reader([&] {
            window_set_status_text(5, "too late");
            ran =
                window_run_and_wait([](void* flag) { *static_cast<bool*>(flag) = true; }, nullptr);
        }));
        QVERIFY(!ran);
        QVERIFY(part_text(5) != QString("too late"));
        QVERIFY(!clock_timer->isActive());
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
