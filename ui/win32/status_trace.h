// A hook on every status text the window sets. The shipped program links the empty one
// (status_trace_off.cpp); the end-to-end tests' build links one that appends each text to
// a file, so a test can read what the status bar was given.
#pragma once

// Called with every text set in a status part, on the thread that sets it.
void trace_status_text(int part, const char* text);
