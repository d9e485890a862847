// The status-text hook (ui/win32/status_trace.h) of the shipped program: nothing. Its other
// definition, for the end-to-end tests' build: tests/e2e/win32/status_trace_file.cpp.
#include "ui/win32/status_trace.h"

void trace_status_text(int, const char*) {}
