// The test engines' side of the pipes, and the files beside each engine program. An engine
// copied to Engine1.exe finds its files as Engine1.<suffix> in the program's own folder, not
// in its working directory:
//   Engine1.script, Engine1.mode, Engine1.seed   what to do (read by the engine);
//   Engine1.transcript                            every byte the engine received;
//   Engine1.output                                every byte it wrote, both streams.
// Both records are appended to and flushed at once, so they are complete even when the
// engine is killed.
#pragma once

#include <string>
#include <string_view>

// The path of the file beside the program with the given suffix (".script").
std::string side_file_path(const char* suffix);

// From now on the records are kept per process, as PROGRAM.PID.transcript and
// PROGRAM.PID.output: for engines that play many games from one folder.
void keep_records_per_process();

// The whole content of a file beside the program; empty when it does not exist.
std::string read_side_file(const char* suffix);

// The next line of standard input, without its "\n"; false at the end of input. A final
// text without "\n" is not a line.
bool next_input_line(std::string& line);

// Writes text to standard output (stream 1) or standard error (2) in one write and records
// it; false when the write failed.
bool write_stream(int stream, std::string_view text);

// Writes text to standard output in one write; false when the write failed.
bool write_output(std::string_view text);
