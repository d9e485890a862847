// Status texts recorded for the end-to-end tests: "status-trace.txt" in the current
// directory gets one line "PART TEXT" per text, byte for byte, flushed at once. The
// status-text hook (ui/win32/status_trace.h); its other definition, the shipped program's:
// ui/win32/status_trace_off.cpp.
#include "ui/win32/status_trace.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex trace_lock;
std::FILE* trace_file;

} // namespace

void trace_status_text(int part, const char* text) {
    std::lock_guard guard(trace_lock);
    if (!trace_file)
        trace_file = std::fopen("status-trace.txt", "wb");
    if (!trace_file)
        return;
    std::fprintf(trace_file, "%d %s\n", part, text);
    std::fflush(trace_file);
}
