// The Linux program's main window: the board area on top, the six-part status bar below.
// Its size is the Windows program's client area, fixed: 20 * board_cols + 15 pixels wide
// (never narrower than that program's minimum of 750 outer pixels less its 15-pixel frame)
// and 20 * board_rows + 15 pixels of board above the 20-pixel status bar.
//
// Threads: everything here is created, used and destroyed on the window's thread (the
// thread running the application's event loop). Other threads reach it only through the
// window seam (window_seam_qt.cpp).
#pragma once

#include "referee/window.h"

#include <QImage>
#include <QWidget>

#include <cstdint>

class QLabel;
class QTimer;

// Qt delivers paints, clicks and the close only to overrides of QWidget's handlers, so
// this is the one place that overrides; each handler passes straight to a free function.
class MainWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

extern MainWindow* main_window;
extern QWidget* status_bar;
extern QLabel* status_part[STATUS_PART_COUNT];
extern QTimer* clock_timer; // the one-shot clock timer; its expiry calls on_clock_timer()
extern QImage back_buffer;  // the board area, composed off-screen before each paint

// The size of the window's client area and of its board area, in pixels.
int32_t client_width();
int32_t client_height();
int32_t board_area_height();

// Creates the main window, captioned "Fendrel", with its status bar, its clock timer and
// its back buffer, not yet shown, and makes the calling thread the window's thread that
// reader threads hand their work to.
void create_main_window();

// Composes the board picture in the back buffer and copies it to the window in one go.
void paint_board();

// The end of the run: tells the engines to quit, releases every reader thread waiting on
// the window, and ends the event loop (and any nested one) with exit code 0.
void close_main_window();
