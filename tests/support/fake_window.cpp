// The window seam (referee/window.h) as the tests' recording window; its other definitions:
// the Qt window (ui/qt/window_seam_qt.cpp), the Win32 window (ui/win32/window_seam_win32.cpp)
// and the windowless game (referee/windowless/windowless_game.cpp).
#include "fake_window.h"

#include "referee/window.h"

#include <cstdio>
#include <mutex>

namespace {

std::recursive_mutex window_thread; // held while "the window's thread" runs something
std::mutex record_lock;
std::vector<std::string> recorded;
std::vector<LineReport> reported;
std::string parts[6];
bool armed = false;
bool closed = false;
uint32_t delay = 0;
uint32_t current_tick = 0;
std::FILE* score_trace = nullptr;

// The caller holds record_lock, so that an event and the state it changes are seen together.
void record(std::string event) {
    recorded.push_back(std::move(event));
}

} // namespace

namespace fake_window {

void set_tick(uint32_t t) {
    std::lock_guard lock(record_lock);
    current_tick = t;
}

uint32_t tick() {
    std::lock_guard lock(record_lock);
    return current_tick;
}

std::vector<std::string> events() {
    std::lock_guard lock(record_lock);
    return recorded;
}

void clear_events() {
    std::lock_guard lock(record_lock);
    recorded.clear();
    reported.clear();
}

std::vector<LineReport> reports() {
    std::lock_guard lock(record_lock);
    return reported;
}

std::string status_text(int part) {
    std::lock_guard lock(record_lock);
    return parts[part];
}

void trace_score_texts(const std::string& path) {
    std::lock_guard lock(record_lock);
    score_trace = std::fopen(path.c_str(), "wb");
}

bool timer_armed() {
    std::lock_guard lock(record_lock);
    return armed;
}

uint32_t timer_delay() {
    std::lock_guard lock(record_lock);
    return delay;
}

void close() {
    std::lock_guard lock(record_lock);
    closed = true;
}

void reset() {
    std::lock_guard lock(record_lock);
    recorded.clear();
    reported.clear();
    for (auto& p : parts)
        p.clear();
    armed = false;
    closed = false;
    delay = 0;
    current_tick = 0;
    if (score_trace)
        std::fclose(score_trace);
    score_trace = nullptr;
}

} // namespace fake_window

void window_stop_clock_timer() {
    std::lock_guard lock(record_lock);
    armed = false;
    record("stop_timer");
}

void window_arm_clock_timer(uint32_t delay_ms) {
    std::lock_guard lock(record_lock);
    armed = true;
    delay = delay_ms;
    record("arm_timer " + std::to_string(delay_ms));
}

void window_set_status_text(int part, const char* text) {
    std::lock_guard lock(record_lock);
    parts[part] = text;
    record("status " + std::to_string(part) + " " + text);
    if (score_trace && part == STATUS_SCORE) {
        std::fprintf(score_trace, "%d %s\n", part, text);
        std::fflush(score_trace);
    }
}

void window_request_repaint() {
    std::lock_guard lock(record_lock);
    record("repaint");
}

void window_show_message(const char* text, const char* caption) {
    std::lock_guard lock(record_lock);
    record(std::string("box ") + caption + ": " + text);
}

bool window_run_and_wait(void (*fn)(void*), void* arg) {
    {
        std::lock_guard lock(record_lock);
        if (closed)
            return false;
    }
    std::lock_guard lock(window_thread);
    fn(arg);
    return true;
}

void window_report_line(const LineReport& report) {
    std::lock_guard lock(record_lock);
    reported.push_back(report);
}

uint32_t tick_count() {
    return fake_window::tick();
}
