// The window seam (referee/window.h) for the Qt window; its other definitions: the Win32
// window (ui/win32/window_seam_win32.cpp), the windowless game
// (referee/windowless/windowless_game.cpp) and the tests' recording window
// (tests/support/fake_window.cpp). Moves and everything they touch run on the window's
// thread; reader threads reach it only through the hand-off, which also carries their
// status texts, so that each text is shown in the order it was set and the reader waits
// until it is, as with a message sent to a Win32 window.
#include "referee/window.h"

#include "os/process.h"
#include "ui/handoff.h"

#include "ui/qt/engine_text.h"
#include "ui/qt/main_window.h"
#include "ui/qt/message_boxes.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

#include <chrono>

namespace {

// Sets a status part's text on the window's thread, decoded for display.
void show_status_text(int part, const char* text) {
    status_part[part]->setText(QString::fromStdString(displayable_text(text)));
}

} // namespace

void window_stop_clock_timer() {
    clock_timer->stop();
}

void window_arm_clock_timer(uint32_t delay_ms) {
    clock_timer->start(std::chrono::milliseconds(delay_ms));
}

void window_set_status_text(int part, const char* text) {
    handoff_status_text(part, text, show_status_text);
}

void window_request_repaint() {
    main_window->update();
}

void window_show_message(const char* text, const char* caption) {
    show_message_box(text, caption);
}

bool window_run_and_wait(void (*fn)(void*), void* arg) {
    return handoff_run_and_wait(fn, arg);
}

void window_report_line(const LineReport&) {
    // A person watches this window: the boxes and the status bar tell what happened.
}

uint32_t tick_count() {
    return monotonic_ms();
}
