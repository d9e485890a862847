#include "ui/qt/main_window.h"

#include "referee/clock.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "ui/click.h"
#include "ui/geometry.h"
#include "ui/handoff.h"
#include "ui/qt/message_boxes.h"
#include "ui/qt/picture_raster.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <vector>

MainWindow* main_window = nullptr;
QWidget* status_bar = nullptr;
QLabel* status_part[STATUS_PART_COUNT] = {};
QTimer* clock_timer = nullptr;
QImage back_buffer;

namespace {

std::vector<DrawCommand> board_picture;

// Has the window's thread run one queued hand-off soon, as a posted event: Qt handles the
// window system's events between posted events, so input is never starved.
void wake_window_thread() {
    QMetaObject::invokeMethod(qApp, &handoff_run_next, Qt::QueuedConnection);
}

// Lays six sunken, plain-text parts along the bottom of the window.
void create_status_bar() {
    status_bar = new QWidget(main_window);
    status_bar->setGeometry(0, board_area_height(), client_width(), STATUS_BAR_HEIGHT);
    status_bar->setAutoFillBackground(true);
    // Clicks on the status bar must not reach the board below it.
    status_bar->setAttribute(Qt::WA_NoMousePropagation);
    int32_t left = 0;
    for (int32_t part = 0; part < STATUS_PART_COUNT; ++part) {
        const int32_t right =
            part + 1 < STATUS_PART_COUNT ? STATUS_PART_RIGHT_EDGES[part] : client_width();
        QLabel* label = new QLabel(status_bar);
        label->setGeometry(left, 0, right - left, STATUS_BAR_HEIGHT);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(2);
        // Engine lines are shown as they are: never as markup, never wrapped.
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(false);
        status_part[part] = label;
        left = right;
    }
}

} // namespace

// The Windows program's client area, its outer size less the nominal caption and frame.
int32_t client_width() {
    return nominal_outer_width(FENDREL_COLS) - NOMINAL_FRAME_WIDTH;
}

int32_t client_height() {
    return nominal_outer_height(FENDREL_ROWS) - NOMINAL_FRAME_HEIGHT;
}

int32_t board_area_height() {
    return client_height() - STATUS_BAR_HEIGHT;
}

void create_main_window() {
    main_window = new MainWindow;
    main_window->setWindowTitle("Fendrel");
    main_window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                Qt::WindowCloseButtonHint);
    main_window->setFixedSize(client_width(), client_height());
    // The board is painted whole from the back buffer: nothing to erase first.
    main_window->setAttribute(Qt::WA_OpaquePaintEvent);
    back_buffer = QImage(client_width(), board_area_height(), QImage::Format_RGB32);
    create_status_bar();
    clock_timer = new QTimer(main_window);
    clock_timer->setSingleShot(true);
    clock_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(clock_timer, &QTimer::timeout, &on_clock_timer);
    handoff_open(wake_window_thread);
}

void paint_board() {
    build_board_picture(game_board, client_width(), client_height(), board_picture);
    render_picture(board_picture, back_buffer);
    QPainter painter(main_window);
    painter.drawImage(0, 0, back_buffer);
}

void close_main_window() {
    handoff_close();
    release_reader_boxes();
    clock_timer->stop();
    quit_engines();
    end_engines(WINDOW_QUIT_GRACE_MS);
    QCoreApplication::exit(0);
}

void MainWindow::paintEvent(QPaintEvent*) {
    paint_board();
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    handle_click(point.x(), point.y());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    close_main_window();
    event->accept();
}
