// The Linux program: the referee in a Qt window. Start-up as on Windows: the board, the
// window shown, then the game (placeholders, clocks, engines, set-up lines, the first
// request for a move); then the event loop until the window is closed.
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "ui/qt/main_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Only the main window's close ends the run (close_main_window), never a box's.
    QApplication::setQuitOnLastWindowClosed(false);
    init_board(game_board);
    create_main_window();
    main_window->show();
    main_window->repaint();
    start_game();
    return QApplication::exec();
}
