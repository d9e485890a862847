// Reading a whole file, the one way every part of the system does it.
#pragma once

#include <cstdio>
#include <string>

// The file's bytes, all of them, into `content`; false (content empty) when it cannot be
// read.
bool read_whole_file(const std::string& path, std::string& content);

// The file's bytes; empty when it cannot be read.
std::string whole_file(const std::string& path);

// Opens a file for writing in text mode, created or emptied, that no program started later
// inherits; nullptr when it cannot be. Platform half (os_posix.cpp, os_win32.cpp).
std::FILE* create_private_text_file(const char* path);
