// The exchange log of a game (engine/exchange.h has its form): the lines the referee sends
// each engine and the lines each engine writes, each with its moment and its engine. Only
// fendrel-match keeps one, with --logs; while none is open, sending and reading cost one
// test more.
//
// Threads: lines to an engine are logged by whoever sends them (the window's part), lines
// from it by its reader; each line is stamped and added under the log's own lock, so the log
// is in the order of its moments. The file is written in large blocks, not line by line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

class EngineProcess;

// Opens the log at `path`, created or emptied, and counts its moments from now; false when
// it cannot be created.
bool open_exchange_log(const char* path);

// Whether a log is open; without a lock, so that it costs next to nothing while none is.
bool exchange_log_open();

// The moment the open log counts from, in monotonic_us() (os/process.h).
uint64_t exchange_log_start_us();

// Holds the log's lock while the referee sends lines, so that they are logged with whether
// they went before any answer to them is logged.
std::unique_lock<std::mutex> hold_exchange_log();

// The moment now, in microseconds since the log's start: taken before lines are sent, so
// that it comes before anything the engine (or its bridge) does with them.
uint64_t exchange_moment();

// Logs each line of a text (one or more whole lines) sent to the engine at `moment` while the
// lock is held: as sent, or as dropped when the engine's writer refused them.
void log_sent_lines(const std::unique_lock<std::mutex>& held, const EngineProcess& engine,
                    uint64_t moment, const char* text, size_t size, bool sent);

// Logs a line the engine wrote, without its line feed.
void log_engine_line(const EngineProcess& engine, const char* line);

// Writes out what is left and closes the log; lines logged afterwards are dropped.
void close_exchange_log();

// Merges the side file of the bridge that played `side` (engine/exchange.h) into the closed
// log at `log_path`, and removes the side file; false when either cannot be read or the log
// cannot be written again.
bool merge_bridge_side_file(const std::string& log_path, const std::string& side_file,
                            uint64_t start_us, const char* name, int side);
