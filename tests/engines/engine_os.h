// What the test engines need of the operating system: where their own program file is, and
// unbuffered, untranslated access to their standard streams. One .cpp per platform.
#pragma once

#include <string>

// The full path of the running program.
std::string own_program_path();

// One read of at most size bytes of standard input; 0 at its end or on an error.
int read_standard_input(char* buffer, int size);

// Writes all size bytes to standard output (stream 1) or standard error (stream 2) in one
// system write; false when the write failed. Zero bytes make an empty write on Windows and
// nothing on POSIX, where a pipe has no such thing.
bool write_standard_stream(int stream, const char* data, int size);
