// The referee's window seam on Win32. The clock timer, the repaint request and the boxes
// are used only on the window's thread; status texts and work for the window's thread may
// come from reader threads too, and go by SendMessageA, so the window's thread carries them
// out while the sender waits.
#include "referee/window.h"

#include "referee/clock.h"
#include "ui/win32/main_window.h"
#include "ui/win32/status_trace.h"

#include <windows.h>

#include <commctrl.h>

void window_stop_clock_timer() {
    KillTimer(main_window, CLOCK_TIMER_ID);
}

void window_arm_clock_timer(uint32_t delay_ms) {
    SetTimer(main_window, CLOCK_TIMER_ID, delay_ms, nullptr);
}

void window_set_status_text(int part, const char* text) {
    trace_status_text(part, text);
    SendMessageA(status_bar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text));
}

void window_request_repaint() {
    RedrawWindow(main_window, nullptr, nullptr, RDW_INVALIDATE);
}

void window_show_message(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

bool window_run_and_wait(void (*fn)(void*), void* arg) {
    if (GetWindowThreadProcessId(main_window, nullptr) == GetCurrentThreadId()) {
        fn(arg);
        return true;
    }
    // Fails at once, without waiting, when the window is gone: the handler never runs and
    // the result is 0.
    WindowWork work{fn, arg};
    return SendMessageA(main_window, WM_RUN_ON_WINDOW_THREAD, 0, reinterpret_cast<LPARAM>(&work)) ==
           1;
}

void window_report_line(const LineReport&) {
    // A person watches this window: the boxes and the status bar tell what happened.
}

uint32_t tick_count() {
    return GetTickCount();
}
