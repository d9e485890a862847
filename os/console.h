// A program's own standard streams and its own file: what the engines and the tools read
// and write there. Defined with the rest of the system's side in os_posix.cpp and
// os_win32.cpp.
#pragma once

#include "os/process.h"

#include <cstdint>
#include <string>

// The standard streams as handles for read_handle and write_handle: 0 input, 1 output,
// 2 error.
OsHandle standard_stream(int number);

// Makes the C library's standard input and output binary, so that a "\n" is written as it
// is and no byte ends the input early (Win32's text mode turns "\n" into "\r\n" and stops
// at Ctrl-Z); nothing to do on POSIX.
void use_binary_console();

// Whether the handle is a terminal, where a progress line can be redrawn.
bool is_terminal(OsHandle handle);

// The full path of the running program, and its process id.
std::string own_program_path();
uint32_t own_process_id();

// A text-mode stream of the C library writes each "\n" as this.
const char* text_mode_line_end();
