// The referee's window seam (referee/window.h) on Win32; its other definitions: the Qt window
// (ui/qt/window_seam_qt.cpp), the windowless game (referee/windowless/windowless_game.cpp)
// and the tests' recording window (tests/support/fake_window.cpp). The clock timer, the repaint
// request and the boxes are used only on the window's thread; status texts and work for the
// window's thread may come from reader threads too, and go through the hand-off, so the window's
// thread carries them out while the reader waits, in the order they came.
#include "referee/window.h"

#include "referee/clock.h"
#include "ui/handoff.h"
#include "ui/win32/main_window.h"
#include "ui/win32/status_trace.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// Sets a status part's text; on the window's thread.
void show_status_text(int part, const char* text) {
    trace_status_text(part, text);
    SendMessageA(status_bar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text));
}

} // namespace

void window_stop_clock_timer() {
    KillTimer(main_window, CLOCK_TIMER_ID);
}

void window_arm_clock_timer(uint32_t delay_ms) {
    SetTimer(main_window, CLOCK_TIMER_ID, delay_ms, nullptr);
}

void window_set_status_text(int part, const char* text) {
    handoff_status_text(part, text, show_status_text);
}

void window_request_repaint() {
    RedrawWindow(main_window, nullptr, nullptr, RDW_INVALIDATE);
}

void window_show_message(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

bool window_run_and_wait(void (*fn)(void*), void* arg) {
    return handoff_run_and_wait(fn, arg);
}

void window_report_line(const LineReport&) {
    // A person watches this window: the boxes and the status bar tell what happened.
}

uint32_t tick_count() {
    return GetTickCount();
}
