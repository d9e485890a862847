#include "ui/win32/status_trace.h"

void trace_status_text(int, const char*) {}
