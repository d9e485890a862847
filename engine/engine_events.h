// What an engine's reader thread makes of the engine's lines, reported to whoever owns the
// engines: the one seam by which the engine link reaches upward. The referee defines these
// (referee/engine_events.cpp), for every program and test: the engine link's own tests run
// the reader thread against the referee's, with the recording window.
//
// Threads: each is called on the engine's reader thread, one line at a time, and returns
// before the reader reads the next line, so the text it is given stays valid until then.
#pragma once

#include <cstdint>

class EngineProcess;

// The engine's first line, whatever it says: its name.
void engine_named(EngineProcess& engine, const char* name);

// A later line "move X Y" with two integers that fit in 32 bits.
void engine_moved(EngineProcess& engine, int32_t x, int32_t y);

// A later line that begins "move " but lacks two such integers.
void engine_sent_bad_move(EngineProcess& engine, const char* line);

// Any other later line, the empty line included: a message for the user.
void engine_said(EngineProcess& engine, const char* line);

// The engine's output has ended (it exited or closed it); nothing follows.
void engine_output_ended(EngineProcess& engine);
