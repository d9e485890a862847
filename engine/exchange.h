// The exchange log's text, apart from any file so that it can be tested as text: every line
// between the referee and each engine, both ways, and for an engine played through
// fendrel-bridge what the bridge sent its engine and what came back. One line of the log is
//
//     MS.UUU MARKNAME(SIDE)[ QUALIFIER]: TEXT
//
// (the mark right before the name), in the shape of cutechess-cli's debug output: MS.UUU the
// milliseconds since the game started, to the microsecond; MARK ">" for a line the referee
// sent the engine, "<" for a line the engine wrote, ">>" for a line a bridge sent its engine,
// "<<" for a line its engine wrote to the bridge; NAME the engine's name and SIDE its side
// (1 or 2); the qualifier "dropped" for a line the referee did not send (the engine's input
// was closed, or it had stopped reading), "stderr" for a line a bridged engine wrote on its
// standard error; TEXT the line itself, without its line feed.
//
// A bridge keeps its own part in a side file of records "TICK MARK TEXT", TICK the
// microseconds of monotonic_us() (os/process.h), MARK ">>", "<<" or "<<2" (standard
// error); the match merges them into the game's log by their moments when the game is over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The marks and qualifiers of a log line.
constexpr const char EXCHANGE_TO_ENGINE[] = ">";
constexpr const char EXCHANGE_FROM_ENGINE[] = "<";
constexpr const char EXCHANGE_BRIDGE_TO_ENGINE[] = ">>";
constexpr const char EXCHANGE_ENGINE_TO_BRIDGE[] = "<<";
constexpr const char EXCHANGE_DROPPED[] = "dropped";
constexpr const char EXCHANGE_STDERR[] = "stderr";

// The marks of a bridge's side file.
constexpr const char BRIDGE_RECORD_SENT[] = ">>";
constexpr const char BRIDGE_RECORD_OUTPUT[] = "<<";
constexpr const char BRIDGE_RECORD_STDERR[] = "<<2";

// Appends one line of the log to `out`: `since_start_us` microseconds into the game, the mark,
// the engine's name and side, the qualifier (none when empty) and the text of `length` bytes.
void append_exchange_line(std::string& out, uint64_t since_start_us, const char* mark,
                          const char* name, int side, const char* qualifier, const char* text,
                          size_t length);

// Appends one record of a bridge's side file to `out`.
void append_bridge_record(std::string& out, uint64_t tick_us, const char* mark, const char* text,
                          size_t length);

// The log with a bridge's side file merged in: each record becomes a line of the engine
// `name` of side `side`, its moment counted from `start_us` (the game's start on the same
// clock), and goes before the first line of the log that is later (at the same moment, a line
// the bridge sent after the log's, one it read before). Both are in the order of their
// moments. A record that cannot be read (the last one of a bridge killed while writing it) is
// left out.
std::string merge_bridge_records(const std::string& log, const std::string& records,
                                 uint64_t start_us, const char* name, int side);
