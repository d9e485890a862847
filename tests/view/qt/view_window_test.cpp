// fendrel-view's window on Qt's offscreen platform: keys, the slider and the list of games
// move the board, the slider, the list and the texts together; each state the window can
// show (a game's start, middle and end, a game cut short, another board, a results file's
// clocks) shows its texts; Ctrl+S saves the shown board as PNG where the dialog says.
#include "board_colour.h"
#include "view/qt/view_window.h"
#include "view_files.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QtTest>

namespace {

// Whether the board shows exactly the first `moves` dots of game 1 of the SGF file, which
// puts side 1's dot i at (i, 0) and side 2's at (i, 5).
bool shows_long_game_at(const ViewWindow& window, int moves) {
    for (int i = 0; i < 23; ++i) {
        const bool side1 = i % 2 == 0;
        const Colour expected = i >= moves ? BACKGROUND_COLOUR
                                : side1    ? SIDE1_COLOUR
                                           : SIDE2_COLOUR;
        if (!(colour_at(window, i, side1 ? 0 : 5) == expected))
            return false;
    }
    return true;
}

// Answers the save dialog that Ctrl+S is about to open as a person would: types the path
// into its name field (Qt's own dialog calls it fileNameEdit) and presses Return, or
// cancels when the path is empty. It looks for the dialog each time the dialog's own event
// loop runs its timers.
void answer_save_dialog(const QString& path) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        if (path.isEmpty())
            return dialog->reject();
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name);
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
    });
    timer->start(10);
}

ViewModel opened(const std::string& path, int game, int move) {
    ViewModel model;
    std::string error;
    if (!open_view(path, game, move, model, error))
        qFatal("%s", error.c_str());
    return model;
}

} // namespace

class ViewWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void keysMoveTheBoardTheSliderAndTheTexts() {
        const ScratchFolder folder("view-window-keys");
        ViewWindow window(opened(write_sgf_file(folder.path), 1, 0));
        window.show();
        QVERIFY(shows_long_game_at(window, 0));
        const struct {
            Qt::Key key;
            int move;
        } steps[] = {{Qt::Key_Left, 0},      {Qt::Key_Right, 1},     {Qt::Key_PageDown, 11},
                     {Qt::Key_PageDown, 21}, {Qt::Key_PageDown, 23}, {Qt::Key_PageUp, 13},
                     {Qt::Key_Home, 0},      {Qt::Key_End, 23},      {Qt::Key_Left, 22}};
        for (const auto& step : steps) {
            QTest::keyClick(&window, step.key);
            QCOMPARE(window.model().move, step.move);
            QCOMPARE(window.slider->value(), step.move);
            QCOMPARE(window.slider->maximum(), 23);
            QVERIFY(shows_long_game_at(window, step.move));
            QVERIFY(window.move_text->text().startsWith(
                QString("Move %1 of 23, side ").arg(step.move)));
        }
        QTest::keyClick(&window, Qt::Key_P);
        QCOMPARE(window.model().game, 0);
        QCOMPARE(window.game_list->currentRow(), 0);
        QCOMPARE(window.slider->maximum(), 3);
        QCOMPARE(colour_at(window, 2, 2), SIDE1_COLOUR);
        QTest::keyClick(&window, Qt::Key_N);
        QCOMPARE(window.game_list->currentRow(), 1);
        QVERIFY(shows_long_game_at(window, 23));
    }

    void theSliderAndTheListPickTheMoveAndTheGame() {
        const ScratchFolder folder("view-window-picks");
        ViewWindow window(opened(write_sgf_file(folder.path), 1, 0));
        window.show();
        window.slider->setValue(9);
        QCOMPARE(window.model().move, 9);
        QVERIFY(shows_long_game_at(window, 9));
        QCOMPARE(window.game_list->count(), 4);
        QCOMPARE(window.game_list->item(0)->text(), QString("#0 first - second: B+R (resign)"));
        QTest::mouseClick(window.game_list->viewport(), Qt::LeftButton, {},
                          window.game_list->visualItemRect(window.game_list->item(0)).center());
        QCOMPARE(window.model().game, 0);
        QCOMPARE(window.model().move, 3);
        QCOMPARE(window.slider->value(), 3);
        QVERIFY(window.game_text->text().contains("first"));
    }

    void aGameCutShortAndAnotherBoardSayWhy() {
        const ScratchFolder folder("view-window-cut");
        ViewWindow window(opened(write_sgf_file(folder.path), 3, 2));
        window.show();
        QVERIFY(!window.notes_text->isHidden());
        QVERIFY(window.notes_text->text().contains("move 8 W[bb] refused"));
        QVERIFY(window.time_text->isHidden());
        QTest::keyClick(&window, Qt::Key_End);
        QCOMPARE(window.slider->maximum(), 7);
        QCOMPARE(window.slider->value(), 7);
        QTest::keyClick(&window, Qt::Key_P);
        QCOMPARE(window.model().game, 2);
        QVERIFY(window.notes_text->text().contains("70"));
        QVERIFY(window.move_text->text().isEmpty());
        QCOMPARE(window.slider->maximum(), 0);
        QCOMPARE(colour_at(window, 0, 0), BACKGROUND_COLOUR);
    }

    void aResultsFileShowsTheMoveTimeAndClocks() {
        const ScratchFolder folder("view-window-clocks");
        ViewWindow window(opened(write_results_file(folder.path), 4, 4));
        window.show();
        QVERIFY(!window.time_text->isHidden());
        QCOMPARE(window.time_text->text(),
                 QString("Move 4 took 0:00.4; clocks: side 1 0:00.7, side 2 0:00.6"));
        QVERIFY(window.notes_text->isHidden());
        QVERIFY(window.game_text->text().contains("north"));
        QCOMPARE(window.game_list->item(1)->text(),
                 QString("#7 north - south: side 1 won (board full)"));
    }

    void timesRecordedBelowZeroShowAsUnknown() {
        // Written by fendrel-match before a move's time was its clock's charge: move 66 took
        // -1 ms, written unsigned.
        ViewWindow window(opened(std::string(MATCH_FIXTURES) + "/wrapped_times.jsonl", 52, 66));
        window.show();
        QCOMPARE(window.time_text->text(),
                 QString("Move 66 took an unknown time; clocks: side 1 5:29.9, side 2 5:30.0"));
        QCOMPARE(window.slider->maximum(), 1160);
    }

    void savedPngIsTheShownBoard() {
        const ScratchFolder folder("view-window-png");
        ViewWindow window(opened(write_sgf_file(folder.path), 1, 12));
        window.show();
        const QString path = QString::fromStdString(folder.path + "/board.png");
        answer_save_dialog("");
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!QFile::exists(path));
        answer_save_dialog(path);
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QImage saved(path);
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
                 window.board->pixmap().toImage().convertToFormat(QImage::Format_RGB32));
        QVERIFY(!window.save_png(QString::fromStdString(folder.path + "/no/such/folder.png")));
    }
};

QTEST_MAIN(ViewWindowTest)
#include "view_window_test.moc"
